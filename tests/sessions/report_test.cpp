#include "sessions/report.h"

#include "core/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace taviro::stats {
namespace {

TEST(Report, FormatsCarryTheSameFigures) {
    Report report{42, 8000, 2, 5, true, {1, 2, 3, 4, 5, 6}, {}};
    SettingFigures figures;
    figures.setting = 1, figures.sessions = 2;
    figures.payout = {97.72049, 96.1, 99.3};
    figures.meanBigs = 16.5, figures.meanRegs = 7.25, figures.meanArGames = 3.5;
    figures.netCoins.aheadShare = 0.25, figures.investment.mean = 4.5;
    figures.netResult.mean = std::numeric_limits<double>::infinity();  // beyond the number range
    figures.netCoins.p5 = -12345.678;                                  // wider than most figures
    report.figures = {figures, std::nullopt, figures, figures, figures, figures};
    const std::string text = FormatReport(report, OutputFormat::Text);
    const std::string csv = FormatReport(report, OutputFormat::Csv);
    const std::string json = FormatReport(report, OutputFormat::Json);
    EXPECT_NE(text.find(" 97.72 "), std::string::npos);  // rounded to 3 decimals: 97.720
    EXPECT_NE(text.find(" -12345.7 "), std::string::npos);
    // CSV and JSON at full precision.
    EXPECT_NE(csv.find("\n1,42,8000,2,5,1,2,97.72049,96.1,99.3,16.5,7.25,3.5,0,0,25,-12345.678,"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",,0,0,0,0,0,0,0,0,0,4.5,"), std::string::npos) << csv;  // net: none
    EXPECT_NE(json.find("\"sessions_requested\": 2,"), std::string::npos);
    EXPECT_NE(json.find("\"payout_percent\": 97.72049,"), std::string::npos);
    // Six settings side by side within 80 columns.
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        EXPECT_LE(DisplayWidth(text.substr(start, end - start)), 80u) << text;
    }
    EXPECT_NE(json.find("\"interrupted\": true,\n  \"settings\": [\n    {\"setting\": 1, "),
              std::string::npos);
    EXPECT_NE(json.find("},\n    {\"setting\": 2, \"sessions\": null"), std::string::npos);
    EXPECT_NE(text.find("中断しました"), std::string::npos);
    EXPECT_NE(json.find("\"net_kyen_mean\": null"), std::string::npos) << json;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 7);
    EXPECT_EQ(DisplayWidth("設定1ＰＡＹＯＵＴ(%)"), 20u);
}

}  // namespace
}  // namespace taviro::stats
