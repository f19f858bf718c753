#include "numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace taviro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseNumber, ReadsTheLongestLeadingDecimalNumber) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"8000", 8000},
        {"-1.5603781019", -1.5603781019},
        {"  3", 3},
        {"\t3", 3},
        {"+4.5", 4.5},
        {"3abc", 3},
        {"03", 3},
        {"3.0", 3},
        {"7.", 7},
        {".5", 0.5},
        {"-.25", -0.25},
        {"1e5x", 100000},
        {"1E+2", 100},
        {"25e-1", 2.5},
        {"1e", 1},
        {"1e+", 1},
        {"2.5.3", 2.5},
        {"1 2", 1},
        {"", 0},
        {" ", 0},
        {"-", 0},
        {".", 0},
        {"+.e5", 0},
        {"abc", 0},
        {"inf", 0},
        {"nan", 0},
        {"Infinity", 0},
        {"0x10", 0},
        {"\xEF\xBC\x91\xEF\xBC\x92", 0},  // full-width "１２"
        {"\xE3\x80\x80"
         "3",
         0},  // a full-width space is not a blank
        {"1e-400", 0},
        {"0.00002288818359375", 0.00002288818359375},
        {"4e-320", 4e-320},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(ParseNumber, BeyondTheDoubleRangeReadsAsInfinity) {
    EXPECT_EQ(ParseNumber("1e400"), kInf);
    EXPECT_EQ(ParseNumber("-1e400"), -kInf);
    EXPECT_EQ(ParseNumber("0.0001e99999999999"), kInf);
    EXPECT_EQ(ParseNumber("0.001e-99999999999"), 0.0);
    const std::string manyDigits = "1" + std::string(400, '0');
    EXPECT_EQ(ParseNumber(manyDigits), kInf);
}

TEST(ParseNumber, IgnoresTheProcessLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no decimal-comma locale installed (the test script generates de_DE.UTF-8)";
    }
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    EXPECT_EQ(ParseNumber("1.5"), 1.5);
    EXPECT_EQ(ParseNumber("1,5"), 1.0);
    EXPECT_EQ(FormatNumber(1.5), "1.5");
    std::setlocale(LC_ALL, "C");
}

TEST(RoundHalfEven, RoundsTheExactBinaryValue) {
    struct Case {
        double x;
        int places;
        double expected;
    };
    const Case cases[] = {
        {2.5, 0, 2},
        {3.5, 0, 4},
        {-2.5, 0, -2},
        {0.5, 0, 0},
        {1.5, 0, 2},
        {29.3125, 3, 29.312},
        {29.3135, 3, 29.314},
        {2.675, 2, 2.67},
        {0.125, 2, 0.12},
        {0.375, 2, 0.38},
        {470.588235294, 3, 470.588},
        {-5284.12446583, 0, -5284},
        {1e16, 3, 1e16},
        {-0.4, 0, -0.0},
        {1.0000005, 6, 1.000001},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.x, c.places), c.expected) << c.x << " to " << c.places;
    }
    EXPECT_EQ(RoundHalfEven(kInf, 2), kInf);
}

TEST(FloorAndToLong, FollowTheirRoundingRules) {
    EXPECT_EQ(Floor(-2.5), -3);
    EXPECT_EQ(Floor(2.5), 2);
    EXPECT_EQ(ToLong(2.5), 2);
    EXPECT_EQ(ToLong(3.5), 4);
    EXPECT_EQ(ToLong(-2.5), -2);
    EXPECT_EQ(ToLong(0.4), 0);
    EXPECT_EQ(ToLong(2147483647.4), 2147483647);
    EXPECT_EQ(ToLong(-2147483648.5), -2147483648);  // tie to the even -2147483648
    EXPECT_EQ(ToLong(2147483647.5), std::nullopt);  // tie to the even 2147483648
    EXPECT_EQ(ToLong(-2147483649.0), std::nullopt);
    EXPECT_EQ(ToLong(3e9), std::nullopt);
    EXPECT_EQ(ToLong(kInf), std::nullopt);
    EXPECT_EQ(ToLong(std::nan("")), std::nullopt);
}

TEST(FormatNumber, WritesTheGeneralForm) {
    struct Case {
        double x;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0.5"},
        {-0.25, "-0.25"},
        {470.588, "470.588"},
        {400, "400"},
        {-12, "-12"},
        {-1.5603781019, "-1.5603781019"},
        {-3.1207562038, "-3.1207562038"},
        {47.98739660333333, "47.9873966033333"},
        {123456789012345, "123456789012345"},
        {1e15, "1E+15"},
        {1e16, "1E+16"},
        {0.0001, "0.0001"},
        {0.00001, "1E-05"},
        {1.5e-300, "1.5E-300"},
        {kInf, ""},
        {-kInf, ""},
        {std::nan(""), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.x), c.text) << c.x;
    }
}

TEST(FormatNumber, SingleAndIntegerForms) {
    EXPECT_EQ(FormatNumber(-1.5603781019f), "-1.560378");
    EXPECT_EQ(FormatNumber(25.0f), "25");
    EXPECT_EQ(FormatNumber(-0.0f), "0");
    EXPECT_EQ(FormatNumber(16777216.0f * 4), "6.710886E+07");
    EXPECT_EQ(FormatNumber(std::int32_t{-2147483647 - 1}), "-2147483648");
    EXPECT_EQ(FormatNumber(std::int32_t{0}), "0");
}

}  // namespace
}  // namespace taviro

namespace taviro {
namespace {

TEST(ParseWholeNumber, AcceptsExactlyOneNumber) {
    EXPECT_EQ(ParseWholeNumber("8000"), 8000);
    EXPECT_EQ(ParseWholeNumber(" 7.6 "), 7.6);
    EXPECT_EQ(ParseWholeNumber("1e3"), 1000);
    EXPECT_EQ(ParseWholeNumber("-2"), -2);
    for (const char* text : {"", " ", "abc", "8000x", "1e", "1 2", "0x10", "inf"}) {
        EXPECT_EQ(ParseWholeNumber(text), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace taviro
