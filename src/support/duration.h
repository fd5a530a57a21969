#ifndef TRAMO_SUPPORT_DURATION_H_
#define TRAMO_SUPPORT_DURATION_H_

#include <cstdint>
#include <string>

// Prefixes one "0" to a text shorter than two characters ("7" -> "07",
// "" -> "0"); longer texts are returned unchanged.
std::string PadTwo(const std::string& text);

// Text of a duration given in tenths of a second (tenths are dropped, never
// rounded): "MM:SS" below an hour, "H:MM:SS" below a day and
// "D dní HH:MM:SS" from one day on ("dní" is three code-page-1250 bytes).
std::string FormatDuration(uint32_t tenths);

// Sort key of a FormatDuration text: the text right-aligned on the template
// "000 dní 00:00:00", so that keys of durations below 1000 days compare as
// text in the order of the durations. A text of 16 bytes or more is its own
// key.
std::string DurationSortKey(const std::string& text);

#endif  // TRAMO_SUPPORT_DURATION_H_
