#include "core/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <version>

#include "core/decimal_chars.h"
#include "core/number_text.h"

namespace taviro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseNumber, ReadsTheLongestLeadingDecimalNumber) {
    const std::pair<const char*, double> cases[] = {
        {"8000", 8000},  {"  3", 3},        {"\t3", 3},       {"+4.5", 4.5},       {"3abc", 3},
        {"7.", 7},       {".5", 0.5},       {"-.25", -0.25},  {"1e5x", 1e5},       {"1E+2", 100},
        {"25e-1", 2.5},  {"1e", 1},         {"1e+", 1},       {"2.5.3", 2.5},      {"1 2", 1},
        {"", 0},         {"-", 0},          {".", 0},         {"+.e5", 0},         {"inf", 0},
        {"nan", 0},      {"0x10", 0},       {"1e-400", 0},    {"\uFF11\uFF12", 0}, {"\u30003", 0},
        {"1e400", kInf}, {"-1e400", -kInf}, {"1e+400", kInf}, {"4e-320", 4e-320},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseNumber(text), value) << '"' << text << '"';
    EXPECT_EQ(ParseNumber("-1.5603781019"), -1.5603781019);
    EXPECT_EQ(ParseNumber("0.00002288818359375"), 0.00002288818359375);
    EXPECT_EQ(ParseNumber("0.0001e99999999999"), kInf);
    EXPECT_EQ(ParseNumber("0.001e-99999999999"), 0);
    EXPECT_EQ(ParseNumber("1" + std::string(400, '0')), kInf);
    EXPECT_EQ(ParseNumber("1" + std::string(400, '0') + "e-5"), kInf);
    EXPECT_EQ(ParseNumber("0." + std::string(400, '0') + "1e10"), 0);  // zeros after the point
}

TEST(ParseWholeNumber, AcceptsExactlyOneNumber) {
    EXPECT_EQ(ParseWholeNumber(" 7.6\t"), 7.6);
    EXPECT_EQ(ParseWholeNumber("-2"), -2);
    for (const char* text : {"", " ", "abc", "8000x", "1e", "1 2", "0x10", "inf"}) {
        EXPECT_EQ(ParseWholeNumber(text), std::nullopt) << text;
    }
}

TEST(Numbers, IgnoreTheProcessLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no decimal-comma locale installed (the test script generates de_DE.UTF-8)";
    }
    EXPECT_EQ(ParseNumber("1.5"), 1.5);
    EXPECT_EQ(ParseNumber("1,5"), 1.0);
    EXPECT_EQ(FormatNumber(1.5), "1.5");
    std::setlocale(LC_ALL, "C");
}

TEST(RoundHalfEven, RoundsTheExactBinaryValue) {
    const std::tuple<double, int, double> cases[] = {
        {2.5, 0, 2},
        {3.5, 0, 4},
        {-2.5, 0, -2},
        {0.5, 0, 0},
        {29.3125, 3, 29.312},
        {29.3135, 3, 29.314},
        {2.675, 2, 2.67},
        {0.375, 2, 0.38},
        {-5284.12446583, 0, -5284},
        {1e16, 3, 1e16},
        {1.0000005, 6, 1.000001},
        {kInf, 2, kInf},
    };
    for (const auto& [x, places, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(x, places), rounded) << x << " to " << places;
    }
}

TEST(ToLong, RoundsHalvesToEvenWithinThirtyTwoBits) {
    const std::pair<double, std::optional<std::int32_t>> cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {0.4, 0},
        {2147483647.4, 2147483647},
        {-2147483648.5, -2147483647 - 1},  // a tie to the even -2147483648
        {2147483647.5, std::nullopt},      // a tie to the even 2147483648
        {-2147483649.0, std::nullopt},
        {kInf, std::nullopt},
        {std::nan(""), std::nullopt},
    };
    for (const auto& [x, value] : cases) EXPECT_EQ(ToLong(x), value) << x;
    EXPECT_EQ(Floor(-2.5), -3);
}

TEST(FormatNumber, WritesTheGeneralForm) {
    const std::pair<double, const char*> doubles[] = {
        {0, "0"},           {-0.0, "0"},        {0.5, "0.5"},
        {-0.25, "-0.25"},   {400, "400"},       {1e15, "1E+15"},
        {0.0001, "0.0001"}, {0.00001, "1E-05"}, {1.5e-300, "1.5E-300"},
        {kInf, ""},         {std::nan(""), ""}, {-1.5603781019, "-1.5603781019"},
    };
    for (const auto& [x, text] : doubles) EXPECT_EQ(FormatNumber(x), text) << x;
    EXPECT_EQ(FormatNumber(47.98739660333333), "47.9873966033333");
    EXPECT_EQ(FormatNumber(123456789012345.0), "123456789012345");
    const std::pair<float, const char*> singles[] = {
        {-1.5603781019f, "-1.560378"}, {25.0f, "25"}, {-0.0f, "0"}, {67108864.0f, "6.710886E+07"}};
    for (const auto& [x, text] : singles) EXPECT_EQ(FormatNumber(x), text) << x;
    EXPECT_EQ(FormatNumber(std::int32_t{-2147483647 - 1}), "-2147483648");
}

TEST(NumberText, WritesFullRoundedAndFixedTexts) {
    const std::tuple<double, const char*, const char*, const char*> cases[] = {
        // x, FullNumber, FixedNumber(x, 2), Percent(x)
        {0.1, "0.1", "0.10", "10.0%"},
        {-0.0, "-0", "0.00", "0.0%"},
        {0.664412, "0.664412", "0.66", "66.4%"},
        {2.675, "2.675", "2.67", "267.5%"},
        {1e16, "1e+16", "10000000000000000.00", "1000000000000000000.0%"},
        {123456789012345680000.0, "123456789012345683968", "123456789012345683968.00", ""},
        {1.5e-7, "1.5e-07", "0.00", "0.0%"},
        {-1234.5, "-1234.5", "-1234.50", "-123450.0%"},
        {0.00125, "0.00125", "0.00", "0.1%"},
        {5e-324, "5e-324", "0.00", "0.0%"},
    };
    for (const auto& [x, full, fixed, percent] : cases) {
        EXPECT_EQ(FullNumber(x), full);
        EXPECT_EQ(FixedNumber(x, 2), fixed) << full;
        if (*percent != 0) {
            EXPECT_EQ(Percent(x), percent) << full;
        }
    }
    EXPECT_EQ(OneIn(250.04), "1/250.0");
    EXPECT_EQ(RoundedNumber(13529.5, 0), "13530");
    EXPECT_EQ(JsonNumber(kInf), "null");
}

#if defined(__cpp_lib_to_chars)
// The texts of printf and strtod that a library without floating-point charconv uses are those of
// charconv, for doubles of every size, for decimals as people type them and at the powers of two.
TEST(NumberText, PrintfPathWritesWhatCharconvWrites) {
    std::mt19937_64 bits(7);
    std::vector<double> values;
    for (int i = 0; i < 10000; ++i) {
        const double x = std::bit_cast<double>(bits());
        if (std::isfinite(x)) values.push_back(x);
        values.push_back(static_cast<double>(bits() % 2000000) / std::pow(10.0, i % 12));
    }
    for (int e = -1074; e < 1024; ++e) values.push_back(std::ldexp(1.0, e));
    char a[400], b[400];
    const auto same = [&](char* endA, char* endB) -> testing::AssertionResult {
        const std::string ours(a, endA), theirs(b, endB);
        if (ours == theirs) return testing::AssertionSuccess();
        return testing::AssertionFailure() << theirs << " in place of " << ours;
    };
    for (double x : values) {
        ASSERT_TRUE(same(ShortestChars(a, a + 400, x), printf_path::ShortestChars(b, b + 400, x)));
        ASSERT_TRUE(
            same(GeneralChars(a, a + 400, x, 15), printf_path::GeneralChars(b, b + 400, x, 15)));
        ASSERT_TRUE(same(FixedChars(a, a + 400, x, 3), printf_path::FixedChars(b, b + 400, x, 3)));
        const std::string text(
            a, std::to_chars(a, a + 400, std::fabs(x), std::chars_format::scientific, 16).ptr);
        const DecimalRead read = ReadDecimal(text.data(), text.data() + text.size());
        const DecimalRead printed =
            printf_path::ReadDecimal(text.data(), text.data() + text.size());
        ASSERT_EQ(read.value, printed.value) << text;
        ASSERT_EQ(read.end, printed.end) << text;
    }
    for (const char* text : {"1e-400", "1e400", "12.5e", "7.e+2x", ".5", "4e-320"}) {
        const char* end = text + std::strlen(text);
        const DecimalRead read = ReadDecimal(text, end),
                          printed = printf_path::ReadDecimal(text, end);
        EXPECT_EQ(read.value, printed.value) << text;
        EXPECT_EQ(read.end, printed.end) << text;
        EXPECT_EQ(read.outOfRange, printed.outOfRange) << text;
    }
}
#endif

}  // namespace
}  // namespace taviro
