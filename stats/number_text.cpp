#include "stats/number_text.h"

#include <charconv>
#include <cmath>

#include "core/numbers.h"

namespace taviro::stats {

std::string FullNumber(double x) {
    if (!std::isfinite(x)) return {};
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, result.ptr);
}

std::string RoundedNumber(double x, int decimals) {
    if (!std::isfinite(x)) return {};
    return FormatNumber(RoundHalfEven(x, decimals));
}

std::string FixedNumber(double x, int decimals) {
    if (!std::isfinite(x)) return {};
    // to_chars, not printf: the decimal point must not follow the locale (the windows and the
    // picture writer set it from the environment).
    char buffer[400];
    const double rounded = RoundHalfEven(x, decimals);
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded == 0 ? 0.0 : rounded,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string JsonNumber(std::optional<double> x) {
    const std::string text = x ? FullNumber(*x) : std::string();
    return text.empty() ? "null" : text;
}

}  // namespace taviro::stats
