#include "core/decimal_chars.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <version>

namespace taviro {

namespace printf_path {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number in the exponent form of printf: "-d.ddde+XX".
struct Scientific {
    bool negative = false;
    std::string digits;  // without the point
    int exponent = 0;    // the power of ten of the first digit

    explicit Scientific(const char* text) {
        negative = *text == '-';
        for (; *text != 'e'; ++text) {
            if (IsDigit(*text)) digits += *text;
        }
        exponent = std::atoi(text + 1);
    }

    std::string Text() const {
        std::string text;
        if (negative) text.push_back('-');
        text.push_back(digits.front());
        if (digits.size() > 1) {
            text.push_back('.');
            text.append(digits, 1);
        }
        const int size = exponent < 0 ? -exponent : exponent;
        text.append(exponent < 0 ? "e-" : "e+");
        if (size < 10) text.push_back('0');
        text.append(std::to_string(size));
        return text;
    }

    // The next number of as many digits away from zero.
    Scientific Next() const {
        Scientific next = *this;
        std::size_t i = next.digits.size();
        while (i > 0 && next.digits[i - 1] == '9') next.digits[--i] = '0';
        if (i > 0) {
            ++next.digits[i - 1];
        } else {
            next.digits.insert(next.digits.begin(), '1');
            next.digits.pop_back();
            ++next.exponent;
        }
        return next;
    }
};

bool ReadsBackAs(const std::string& text, double x) {
    return std::strtod(text.c_str(), nullptr) == x;
}

// The fewest significant digits that read back as x, nearest to x of those that do. printf
// rounds the exact value to the nearest; only at a power of two, where the doubles below lie
// closer than those above, may the nearest fail while the next one up reads back.
Scientific ShortestScientific(double x) {
    int exponent = 0;
    const bool powerOfTwo = std::fabs(std::frexp(x, &exponent)) == 0.5;
    char text[32];
    for (int digits = 1; digits < 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*e", digits - 1, x);
        if (ReadsBackAs(text, x)) return Scientific(text);
        if (powerOfTwo && ReadsBackAs(Scientific(text).Next().Text(), x)) {
            return Scientific(text).Next();
        }
    }
    std::snprintf(text, sizeof text, "%.16e", x);
    return Scientific(text);
}

}  // namespace

char* ShortestChars(char* first, char* last, double x) {
    const Scientific shortest = ShortestScientific(x);
    const std::string scientific = shortest.Text();
    const std::string& digits = shortest.digits;
    const int exponent = shortest.exponent;
    const auto count = static_cast<int>(digits.size());
    // The plain form wins over the exponent form when it is not longer.
    const int plain = exponent >= count - 1 ? exponent + 1
                      : exponent >= 0       ? count + 1
                                            : count + 1 - exponent;
    if (plain + (shortest.negative ? 1 : 0) > static_cast<int>(scientific.size())) {
        std::memcpy(first, scientific.data(), scientific.size());
        return first + scientific.size();
    }
    if (exponent >= count - 1) {  // a whole number, written exactly as the closest text
        return first + std::snprintf(first, static_cast<std::size_t>(last - first), "%.0f", x);
    }
    char* out = first;
    if (shortest.negative) *out++ = '-';
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > exponent; --i) *out++ = '0';
        for (char d : digits) *out++ = d;
        return out;
    }
    for (int i = 0; i < count; ++i) {
        if (i == exponent + 1) *out++ = '.';
        *out++ = digits[static_cast<std::size_t>(i)];
    }
    return out;
}

char* GeneralChars(char* first, char* last, double x, int digits) {
    return first + std::snprintf(first, static_cast<std::size_t>(last - first), "%.*g", digits, x);
}

char* FixedChars(char* first, char* last, double x, int decimals) {
    return first +
           std::snprintf(first, static_cast<std::size_t>(last - first), "%.*f", decimals, x);
}

DecimalRead ReadDecimal(const char* first, const char* last) {
    // The grammar of from_chars: digits, a point and digits (one digit at least), and an exponent
    // only when it has digits.
    const char* end = first;
    bool nonZero = false;
    int mantissaDigits = 0;
    for (bool point = false; end != last; ++end) {
        if (IsDigit(*end)) {
            ++mantissaDigits;
            nonZero = nonZero || *end != '0';
        } else if (*end == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return {0, first, false};
    if (end != last && (*end == 'e' || *end == 'E')) {
        const char* exponent = end + 1;
        if (exponent != last && (*exponent == '+' || *exponent == '-')) ++exponent;
        if (exponent != last && IsDigit(*exponent)) {
            while (exponent != last && IsDigit(*exponent)) ++exponent;
            end = exponent;
        }
    }
    const std::string text(first, end);
    const double value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value) || (value == 0 && nonZero)) return {0, end, true};
    return {value, end, false};
}

}  // namespace printf_path

#if defined(__cpp_lib_to_chars)

char* ShortestChars(char* first, char* last, double x) {
    return std::to_chars(first, last, x).ptr;
}

char* GeneralChars(char* first, char* last, double x, int digits) {
    return std::to_chars(first, last, x, std::chars_format::general, digits).ptr;
}

char* FixedChars(char* first, char* last, double x, int decimals) {
    return std::to_chars(first, last, x, std::chars_format::fixed, decimals).ptr;
}

DecimalRead ReadDecimal(const char* first, const char* last) {
    DecimalRead read;
    const auto result = std::from_chars(first, last, read.value);
    read.end = result.ptr;
    read.outOfRange = result.ec == std::errc::result_out_of_range;
    if (read.outOfRange) read.value = 0;
    return read;
}

#else

char* ShortestChars(char* first, char* last, double x) {
    return printf_path::ShortestChars(first, last, x);
}

char* GeneralChars(char* first, char* last, double x, int digits) {
    return printf_path::GeneralChars(first, last, x, digits);
}

char* FixedChars(char* first, char* last, double x, int decimals) {
    return printf_path::FixedChars(first, last, x, decimals);
}

DecimalRead ReadDecimal(const char* first, const char* last) {
    return printf_path::ReadDecimal(first, last);
}

#endif

}  // namespace taviro
