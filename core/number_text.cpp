#include "core/number_text.h"

#include <cmath>

#include "core/concat.h"
#include "core/decimal_chars.h"
#include "core/numbers.h"

namespace taviro {

std::string FullNumber(double x) {
    if (!std::isfinite(x)) return {};
    char buffer[32];
    return std::string(buffer, ShortestChars(buffer, buffer + sizeof buffer, x));
}

std::string RoundedNumber(double x, int decimals) {
    if (!std::isfinite(x)) return {};
    return FormatNumber(RoundHalfEven(x, decimals));
}

std::string FixedNumber(double x, int decimals) {
    if (!std::isfinite(x)) return {};
    // Not printf: the decimal point must not follow the locale (the windows and the picture
    // writer set it from the environment).
    char buffer[400];
    const double rounded = RoundHalfEven(x, decimals);
    return std::string(
        buffer, FixedChars(buffer, buffer + sizeof buffer, rounded == 0 ? 0.0 : rounded, decimals));
}

std::string JsonNumber(std::optional<double> x) {
    const std::string text = x ? FullNumber(*x) : std::string();
    return text.empty() ? "null" : text;
}

std::string Percent(double share) {
    return std::isfinite(share) ? Concat(FixedNumber(share * 100, 1), "%") : "-";
}

std::string OneIn(double x) {
    return std::isfinite(x) ? Concat("1/", FixedNumber(x, 1)) : "1/∞";
}

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = lead < 0x80   ? lead
                        : lead < 0xE0 ? lead & 0x1F
                        : lead < 0xF0 ? lead & 0x0F
                                      : lead & 0x07;
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        const bool wide =
            (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
            (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
            (code >= 0xFF00 && code <= 0xFF60) || (code >= 0xFFE0 && code <= 0xFFE6);
        width += wide ? 2 : 1;
        i += length;
    }
    return width;
}

std::string PadLeft(const std::string& text, std::size_t width) {
    const std::size_t used = DisplayWidth(text);
    return std::string(width > used ? width - used : 0, ' ') + text;
}

std::string PadRight(const std::string& text, std::size_t width) {
    const std::size_t used = DisplayWidth(text);
    return text + std::string(width > used ? width - used : 0, ' ');
}

}  // namespace taviro
