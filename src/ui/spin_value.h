#ifndef TRAMO_UI_SPIN_VALUE_H_
#define TRAMO_UI_SPIN_VALUE_H_

#include <cstdint>
#include <string>

// The value of a spin box whose edit may hold anything the user typed: the
// leading decimal number (optional sign, blanks before it), clamped to
// minimum..maximum. No number at all (a field left empty) reads as
// if_no_number, the last value the field held.
int32_t SpinValueOf(const std::string& text, int32_t minimum, int32_t maximum,
                    int32_t if_no_number);

#endif  // TRAMO_UI_SPIN_VALUE_H_
