#include "core/numbers.h"

#include <array>
#include <cmath>
#include <limits>

#include "core/decimal_chars.h"

namespace taviro {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of a run of ASCII digits starting at `pos`.
std::size_t DigitRun(std::string_view s, std::size_t pos) {
    std::size_t end = pos;
    while (end < s.size() && IsDigit(s[end])) ++end;
    return end - pos;
}

// For a decimal literal that could not be read as a double: whether its magnitude is large
// (overflow) rather than tiny (underflow). The literal has the grammar of ParseNumber, so its
// decimal exponent is the position of the first non-zero digit plus the written exponent.
bool MagnitudeIsLarge(std::string_view literal) {
    std::size_t i = 0;
    if (i < literal.size() && (literal[i] == '+' || literal[i] == '-')) ++i;
    long long position = 0;  // power of ten of the first non-zero digit, plus one
    bool seenPoint = false, seenNonZero = false;
    long long integerDigits = 0, leadingFractionZeros = 0;
    for (; i < literal.size() && literal[i] != 'e' && literal[i] != 'E'; ++i) {
        const char c = literal[i];
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) {
            if (seenNonZero || c != '0') {
                seenNonZero = true;
                ++integerDigits;
            }
        } else if (!seenNonZero) {
            if (c == '0') {
                ++leadingFractionZeros;
            } else {
                seenNonZero = true;
            }
        }
    }
    position = integerDigits > 0 ? integerDigits : -leadingFractionZeros;
    long long exponent = 0;
    if (i < literal.size()) {
        ++i;
        bool negative = false;
        if (literal[i] == '+' || literal[i] == '-') negative = literal[i++] == '-';
        for (; i < literal.size(); ++i) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (literal[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    return position + exponent > 0;
}

// The general form with `digits` significant digits and an upper-case exponent; the buffer must
// hold kNumberTextCapacity characters.
template <typename T>
char* FormatFloatingTo(char* buffer, T x, int digits) {
    if (!std::isfinite(x)) return buffer;
    if (x == 0) {
        *buffer = '0';
        return buffer + 1;
    }
    char* end = GeneralChars(buffer, buffer + kNumberTextCapacity, x, digits);
    for (char* c = buffer; c != end; ++c) {
        if (*c == 'e') *c = 'E';
    }
    return end;
}

template <typename T>
std::string FormatFloating(T x, int digits) {
    std::array<char, kNumberTextCapacity> buffer{};
    return std::string(buffer.data(), FormatFloatingTo(buffer.data(), x, digits));
}

}  // namespace

namespace {

struct Literal {
    std::size_t start = 0;
    std::size_t end = 0;  // empty when the text has no leading number
};

// Finds the longest leading decimal number after leading blanks.
Literal ScanNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    std::size_t end = start;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
    const std::size_t integerDigits = DigitRun(text, end);
    end += integerDigits;
    std::size_t fractionDigits = 0;
    if (end < text.size() && text[end] == '.') {
        fractionDigits = DigitRun(text, end + 1);
        if (integerDigits > 0 || fractionDigits > 0) end += 1 + fractionDigits;
    }
    if (integerDigits == 0 && fractionDigits == 0) return {start, start};
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponentEnd = end + 1;
        if (exponentEnd < text.size() && (text[exponentEnd] == '+' || text[exponentEnd] == '-')) {
            ++exponentEnd;
        }
        const std::size_t exponentDigits = DigitRun(text, exponentEnd);
        if (exponentDigits > 0) end = exponentEnd + exponentDigits;
    }
    return {start, end};
}

}  // namespace

double ParseNumber(std::string_view text) {
    const Literal found = ScanNumber(text);
    if (found.end == found.start) return 0.0;
    std::string_view literal = text.substr(found.start, found.end - found.start);
    const bool negative = literal.front() == '-';
    std::string_view unsignedPart = literal;
    if (unsignedPart.front() == '+' || unsignedPart.front() == '-') unsignedPart.remove_prefix(1);
    const DecimalRead read =
        ReadDecimal(unsignedPart.data(), unsignedPart.data() + unsignedPart.size());
    double value = read.value;
    if (read.outOfRange) {
        value = MagnitudeIsLarge(literal) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::optional<double> ParseWholeNumber(std::string_view text) {
    const Literal found = ScanNumber(text);
    if (found.end == found.start) return std::nullopt;
    for (std::size_t i = found.end; i < text.size(); ++i) {
        if (text[i] != ' ' && text[i] != '\t') return std::nullopt;
    }
    return ParseNumber(text);
}

double RoundHalfEven(double x, int n) {
    if (!std::isfinite(x) || std::fabs(x) >= 0x1p53) return x;  // already whole
    // Exact decimal conversion rounds the exact binary value, ties to even.
    std::array<char, 64> buffer{};
    const char* written = FixedChars(buffer.data(), buffer.data() + buffer.size(), std::fabs(x), n);
    const double rounded = ReadDecimal(buffer.data(), written).value;
    return std::signbit(x) ? -rounded : rounded;
}

double Floor(double x) {
    return std::floor(x);
}

std::optional<std::int32_t> ToLong(double x) {
    if (std::isnan(x)) return std::nullopt;
    const double rounded = RoundHalfEven(x, 0);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::string FormatNumber(double x) {
    return FormatFloating(x, 15);
}

std::string FormatNumber(float x) {
    return FormatFloating(x, 7);
}

char* FormatNumberTo(char* buffer, double x) {
    return FormatFloatingTo(buffer, x, 15);
}

std::string FormatNumber(std::int32_t x) {
    return std::to_string(x);
}

}  // namespace taviro
