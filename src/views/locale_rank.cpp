#include "views/locale_rank.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/locale.h"

namespace {

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

// Locale keys of distinct texts (an optional lead character and a body),
// compared mostly on cheap key prefixes built on first use; a full key is
// built only for a text whose prefix agrees with another's.
class LocaleKeys {
 public:
  static constexpr size_t kPrefixCapacity = 64;

  explicit LocaleKeys(size_t count)
      : lead_(count),
        body_(count),
        length_(count, kNotBuilt),
        bytes_(new uint8_t[count * kPrefixCapacity]) {}

  // lead 0: none. The body must outlive the keys.
  void Set(uint32_t row, char lead, std::string_view body) {
    lead_[row] = lead;
    body_[row] = body;
  }

  // The prefix's first 8 * words bytes big-endian in numbers (zeros after
  // its end) and how many of them are the prefix's own.
  void Head(uint32_t row, size_t words, uint64_t* head, uint8_t* count) {
    size_t length;
    const uint8_t* p = Prefix(row, &length);
    const size_t n = std::min<size_t>(length, 8 * words);
    for (size_t w = 0; w < words; ++w) {
      uint64_t word = 0;
      for (size_t i = w * 8; i < w * 8 + 8; ++i) {
        word = (word << 8) | (i < n ? p[i] : 0);
      }
      head[w] = word;
    }
    *count = static_cast<uint8_t>(n);
  }

  int Compare(uint32_t a, uint32_t b) {
    size_t length_a, length_b;
    const uint8_t* pa = Prefix(a, &length_a);
    const uint8_t* pb = Prefix(b, &length_b);
    const size_t common = std::min(length_a, length_b);
    const int r = common == 0 ? 0 : std::memcmp(pa, pb, common);
    if (r != 0) return Sign(r);
    if (lead_[a] == lead_[b] && body_[a] == body_[b]) return 0;
    return Sign(FullKey(a).compare(FullKey(b)));
  }

 private:
  static constexpr uint32_t kNotBuilt = 0xFFFFFFFFu;

  void Compose(uint32_t row) {
    scratch_.clear();
    if (lead_[row] != '\0') scratch_.push_back(lead_[row]);
    scratch_.append(body_[row].data(), body_[row].size());
  }

  const uint8_t* Prefix(uint32_t row, size_t* length) {
    uint8_t* p = &bytes_[static_cast<size_t>(row) * kPrefixCapacity];
    if (length_[row] == kNotBuilt) {
      Compose(row);
      length_[row] = static_cast<uint32_t>(
          platform::LocaleSortKeyPrefix(scratch_, p, kPrefixCapacity));
    }
    *length = length_[row];
    return p;
  }

  const std::string& FullKey(uint32_t row) {
    auto found = full_.find(row);
    if (found == full_.end()) {
      Compose(row);
      found = full_.emplace(row, platform::LocaleSortKey(scratch_)).first;
    }
    return found->second;
  }

  std::vector<char> lead_;
  std::vector<std::string_view> body_;
  std::vector<uint32_t> length_;
  std::unique_ptr<uint8_t[]> bytes_;  // kPrefixCapacity bytes per row
  // Few texts need one; node-based, so references stay valid.
  std::unordered_map<uint32_t, std::string> full_;
  std::string scratch_;
};

// Orders two texts by the first bytes of their key prefixes when they
// differ within both; 0 when those bytes cannot tell.
constexpr size_t kHeadWords = 4;

struct PrefixHead {
  uint64_t word[kHeadWords];
  uint32_t index;
  uint8_t bytes;
};

int CompareHeads(const PrefixHead& a, const PrefixHead& b) {
  const uint8_t known = std::min(a.bytes, b.bytes);
  for (size_t w = 0; w < kHeadWords; ++w) {
    const uint64_t differ = a.word[w] ^ b.word[w];
    if (differ == 0) continue;
    const size_t first_byte = w * 8 + __builtin_clzll(differ) / 8;
    if (first_byte >= known) return 0;
    return a.word[w] < b.word[w] ? -1 : 1;
  }
  return 0;
}

}  // namespace

std::vector<uint32_t> RankTexts(const std::vector<char>& leads,
                                const std::vector<std::string_view>& bodies) {
  const size_t n = bodies.size();
  // Open addressing over text numbers + 1; tables at most half full. Bodies
  // that share their bytes' address (a pooled path on every row of its
  // program) are found by address first, and only new addresses are hashed
  // by their bytes.
  size_t slots = 16;
  while (slots < 2 * n) slots *= 2;
  std::vector<uint32_t> by_address(slots, 0);
  std::vector<uint32_t> table(slots, 0);
  std::vector<uint32_t> text_of_row(n);
  std::vector<std::pair<char, std::string_view>> texts;
  std::vector<size_t> first_row;  // per text number + 1 in by_address: its row
  for (size_t i = 0; i < n; ++i) {
    uint64_t address = reinterpret_cast<uintptr_t>(bodies[i].data());
    address = (address * 0x9E3779B97F4A7C15ull) ^ (bodies[i].size() << 8) ^
              static_cast<unsigned char>(leads[i]);
    address ^= address >> 29;
    size_t a = static_cast<size_t>(address) & (slots - 1);
    bool known = false;
    for (;;) {
      const uint32_t entry = by_address[a];
      if (entry == 0) break;
      const size_t row = first_row[entry - 1];
      if (leads[row] == leads[i] && bodies[row].data() == bodies[i].data() &&
          bodies[row].size() == bodies[i].size()) {
        text_of_row[i] = text_of_row[row];
        known = true;
        break;
      }
      a = (a + 1) & (slots - 1);
    }
    if (known) continue;
    first_row.push_back(i);
    by_address[a] = static_cast<uint32_t>(first_row.size());

    uint64_t hash = 14695981039346656037ull ^ static_cast<unsigned char>(leads[i]);
    for (char c : bodies[i]) {
      hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    size_t slot = static_cast<size_t>(hash ^ (hash >> 29)) & (slots - 1);
    for (;;) {
      const uint32_t entry = table[slot];
      if (entry == 0) {
        texts.emplace_back(leads[i], bodies[i]);
        table[slot] = static_cast<uint32_t>(texts.size());
        text_of_row[i] = static_cast<uint32_t>(texts.size() - 1);
        break;
      }
      const auto& text = texts[entry - 1];
      if (text.first == leads[i] && text.second == bodies[i]) {
        text_of_row[i] = entry - 1;
        break;
      }
      slot = (slot + 1) & (slots - 1);
    }
  }
  std::vector<uint32_t>().swap(by_address);
  std::vector<uint32_t>().swap(table);

  LocaleKeys keys(texts.size());
  std::vector<PrefixHead> heads(texts.size());
  for (uint32_t t = 0; t < texts.size(); ++t) {
    keys.Set(t, texts[t].first, texts[t].second);
    heads[t].index = t;
    keys.Head(t, kHeadWords, heads[t].word, &heads[t].bytes);
  }
  auto compare = [&keys](const PrefixHead& a, const PrefixHead& b) {
    const int c = CompareHeads(a, b);
    return c != 0 ? c : keys.Compare(a.index, b.index);
  };
  std::sort(heads.begin(), heads.end(),
            [&compare](const PrefixHead& a, const PrefixHead& b) {
              return compare(a, b) < 0;
            });
  std::vector<uint32_t> rank_of_text(texts.size());
  uint32_t rank = 0;
  for (size_t k = 0; k < heads.size(); ++k) {
    if (k > 0 && compare(heads[k - 1], heads[k]) != 0) ++rank;
    rank_of_text[heads[k].index] = rank;
  }
  for (uint32_t& r : text_of_row) r = rank_of_text[r];
  return text_of_row;
}
