// Numbers as the reports write them: rounded for the eye in the text table, at full precision in
// CSV and JSON.
#pragma once

#include <optional>
#include <string>

namespace taviro::stats {

// The shortest text that reads back as exactly `x`; the empty text when x is not finite.
std::string FullNumber(double x);

// `x` rounded half to even to `decimals` places, in the program's number form; the empty text
// when x is not finite.
std::string RoundedNumber(double x, int decimals);

// `x` rounded half to even to `decimals` places, with exactly that many decimals (for columns).
std::string FixedNumber(double x, int decimals);

// JSON: the full-precision number, or null when there is none or it is not finite.
std::string JsonNumber(std::optional<double> x);

}  // namespace taviro::stats
