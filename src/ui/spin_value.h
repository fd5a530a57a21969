#ifndef TRAMO_UI_SPIN_VALUE_H_
#define TRAMO_UI_SPIN_VALUE_H_

#include <cstdint>
#include <string>

// The value of a spin box whose edit may hold anything the user typed: the
// leading decimal number (optional sign, blanks before it), clamped to
// minimum..maximum. No number at all reads as minimum.
int32_t SpinValueOf(const std::string& text, int32_t minimum, int32_t maximum);

#endif  // TRAMO_UI_SPIN_VALUE_H_
