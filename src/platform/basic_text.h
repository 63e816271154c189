// The form run time's text and number conversions the program uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel::platform {

// Reads the number at the front of a text: blanks (spaces, tabs, line feeds)
// are skipped wherever they stand, then an optional sign, digits and one
// decimal point; reading stops at the first character that cannot continue
// the number. A text without a number at its front gives 0.
double Val(std::string_view text);

// Number to text: a leading blank for a number that is not negative.
std::string Str(long long number);

// Removes leading and trailing spaces.
std::string Trim(std::string_view text);

// Whole number conversion: rounds to the nearest, halves to the even
// neighbour. Returns false when the result does not fit 16 bits.
bool RoundToInt16(double number, std::int16_t& result);

}  // namespace quorvel::platform
