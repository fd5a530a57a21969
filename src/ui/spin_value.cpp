#include "ui/spin_value.h"

int32_t SpinValueOf(const std::string& text, int32_t minimum, int32_t maximum,
                    int32_t if_no_number) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return if_no_number;
  // Past the range the digits cannot change the clamped result.
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < (int64_t{1} << 40)) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value < minimum) return minimum;
  if (value > maximum) return maximum;
  return static_cast<int32_t>(value);
}
