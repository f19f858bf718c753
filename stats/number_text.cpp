#include "stats/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

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
    char buffer[64];
    const double rounded = RoundHalfEven(x, decimals);
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded == 0 ? 0.0 : rounded);
    return buffer;
}

std::string JsonNumber(std::optional<double> x) {
    const std::string text = x ? FullNumber(*x) : std::string();
    return text.empty() ? "null" : text;
}

}  // namespace taviro::stats
