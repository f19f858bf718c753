// The figures of every setting as a text table, CSV or JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stats/options.h"
#include "stats/summary.h"

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

// The columns a terminal gives `utf8`: 2 for East Asian wide characters, 1 for the others.
std::size_t DisplayWidth(std::string_view utf8);

}  // namespace taviro::stats
