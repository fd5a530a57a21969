#ifndef TRAMO_VIEWS_LOCALE_RANK_H_
#define TRAMO_VIEWS_LOCALE_RANK_H_

#include <cstdint>
#include <string_view>
#include <vector>

// The rank of each row's text (an optional lead character, 0 for none, and a
// body) in the user locale's case-blind order; texts that compare equal
// share a rank, and ranks count up from 0 without gaps. The distinct texts
// are sorted once, mostly on short locale sort-key prefixes, so rows that
// repeat a text (a search lists each path many times) cost a hash lookup.
// The bodies must stay valid during the call.
std::vector<uint32_t> RankTexts(const std::vector<char>& leads,
                                const std::vector<std::string_view>& bodies);

#endif  // TRAMO_VIEWS_LOCALE_RANK_H_
