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

}  // namespace taviro::stats
