// The figures of every setting as a text table, CSV or JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/output_format.h"
#include "sessions/summary.h"

namespace taviro::stats {

struct Report {
    std::uint64_t seed = 0;
    std::int32_t games = 0;
    std::int64_t sessionsRequested = 0;
    double rate = 0;
    bool interrupted = false;
    std::vector<int> settings;
    std::vector<std::optional<SettingFigures>> figures;  // per setting; empty when none completed
};

std::string FormatReport(const Report& report, OutputFormat format);

// The text form's lines above the table (seed, sessions, games and rate, and a note when
// interrupted), and the table itself: a heading per figure and its texts for each setting ("-"
// where a setting has none).
struct ReportTable {
    std::vector<std::string> lines;
    std::vector<std::string> columns;  // 設定1 ...
    struct Row {
        std::string key;  // as in CSV and JSON
        std::string heading;
        std::vector<std::string> cells;
    };
    std::vector<Row> rows;
};
ReportTable TableOf(const Report& report);

}  // namespace taviro::stats
