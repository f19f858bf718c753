// Numbers as the reports write them: rounded for the eye in the text table, at full precision in
// CSV and JSON.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace taviro {

// The shortest text that reads back as exactly `x`; the empty text when x is not finite.
std::string FullNumber(double x);

// `x` rounded half to even to `decimals` places, in the program's number form; the empty text
// when x is not finite.
std::string RoundedNumber(double x, int decimals);

// `x` rounded half to even to `decimals` places, with exactly that many decimals (for columns).
std::string FixedNumber(double x, int decimals);

// JSON: the full-precision number, or null when there is none or it is not finite.
std::string JsonNumber(std::optional<double> x);

// A share as a percentage with one decimal, "12.3%"; "-" when it is not a finite number.
std::string Percent(double share);

// A frequency of 1 in `x` with one decimal, "1/250.0"; "1/∞" when it is not finite.
std::string OneIn(double x);

// The columns a terminal gives `utf8`: 2 for East Asian wide characters, 1 for the others.
std::size_t DisplayWidth(std::string_view utf8);

// `text` with spaces before or after it to fill `width` columns of a terminal.
std::string PadLeft(const std::string& text, std::size_t width);
std::string PadRight(const std::string& text, std::size_t width);

}  // namespace taviro
