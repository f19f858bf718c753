// Doubles to and from decimal characters, exactly as std::to_chars and std::from_chars write and
// read them, with any standard library: where one has no floating-point charconv (the web build's),
// the C library's printf and strtod, which convert exactly in the "C" locale that build always
// has, give the same characters. Nothing here depends on the process locale where charconv exists.
#pragma once

#include <cstddef>

namespace taviro {

// Each writes into [first, last), which must hold the text (400 characters hold any finite double
// with 20 decimals), and returns the text's end.

// The shortest text that reads back as exactly `x` (std::to_chars(first, last, x)); `x` finite.
char* ShortestChars(char* first, char* last, double x);
// `digits` significant digits in the general form (std::chars_format::general); `x` finite.
char* GeneralChars(char* first, char* last, double x, int digits);
// `decimals` places after the point (std::chars_format::fixed); `x` finite.
char* FixedChars(char* first, char* last, double x, int decimals);

// A decimal number without sign, as std::from_chars reads it with std::chars_format::general.
struct DecimalRead {
    double value = 0;
    const char* end = nullptr;  // `first` when there is no number
    bool outOfRange = false;    // too large or too small for a double; `value` is then 0
};
DecimalRead ReadDecimal(const char* first, const char* last);

// The same through printf and strtod alone, whatever the standard library: what the functions
// above do where charconv has no doubles, here so that a test compares the two.
namespace printf_path {
char* ShortestChars(char* first, char* last, double x);
char* GeneralChars(char* first, char* last, double x, int digits);
char* FixedChars(char* first, char* last, double x, int decimals);
DecimalRead ReadDecimal(const char* first, const char* last);
}  // namespace printf_path

}  // namespace taviro
