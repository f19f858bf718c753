// Number conversions shared by every part of the program. All of them are exact and none
// depends on the process locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace taviro {

// Reads the longest leading decimal number of `text`: leading blanks, an optional sign, digits,
// an optional point with digits, an optional exponent. Anything else reads as 0. A number beyond
// the double range reads as plus or minus infinity.
double ParseNumber(std::string_view text);

// The number when `text` is exactly one decimal number of that grammar (blanks around it
// allowed); nothing otherwise.
std::optional<double> ParseWholeNumber(std::string_view text);

// Rounds the exact binary value of x to n decimal places; an exact tie goes to the even
// neighbour. n must be 0 to 15.
double RoundHalfEven(double x, int n);

// The greatest integer not above x.
double Floor(double x);

// x rounded to the nearest 32-bit integer, a tie going to the even neighbour; nothing when the
// rounded value lies outside the 32-bit range (or x is not a number).
std::optional<std::int32_t> ToLong(double x);

// The general form: 15 significant digits for a double, 7 for a float, "." as decimal point,
// no trailing zeros, exponent form "1E+16" for very large or small magnitudes. Negative zero is
// written "0"; a value that is not finite is written as the empty text.
std::string FormatNumber(double x);
std::string FormatNumber(float x);

// FormatNumber of a double written into `buffer`, without allocating; returns the text's end.
inline constexpr std::size_t kNumberTextCapacity = 32;
char* FormatNumberTo(char* buffer, double x);
std::string FormatNumber(std::int32_t x);

}  // namespace taviro
