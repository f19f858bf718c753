// The command line of taviro-stats.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chart_layout/picture_request.h"
#include "core/output_format.h"
#include "estimation/estimate.h"
#include "sessions/sessions_plan.h"

namespace taviro::stats {

struct StatsOptions {
    SessionsPlan plan;  // its curves are followed when a picture is asked for
    OutputFormat format = OutputFormat::Text;
    std::optional<PictureRequest> plot;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    std::optional<StatsOptions> options;
    std::string error;  // one line, when options is empty
};

// Reads the arguments (without the program name). `clockSeed` and `cores` are the defaults of
// --seed and --threads.
ParsedOptions ParseStatsOptions(std::span<const std::string_view> args, std::uint64_t clockSeed,
                                unsigned cores);

const std::string& StatsUsage();

// The refusal of sessions that need `needed` bytes of memory where `available` are left.
std::string MemoryRefusal(std::int64_t sessions, std::uint64_t needed, std::uint64_t available);

// `taviro-stats estimate`: the counts a player read off the machine.
struct EstimateOptions {
    EstimateInput input;
    unsigned threads = 1;
    OutputFormat format = OutputFormat::Text;
    std::optional<PictureRequest> plot;
    bool help = false;
    bool version = false;
};

struct ParsedEstimate {
    std::optional<EstimateOptions> options;
    std::string error;  // one line, when options is empty
};

// Reads the arguments after "estimate" and checks that the counts can happen together.
ParsedEstimate ParseEstimateOptions(std::span<const std::string_view> args, std::uint64_t clockSeed,
                                    unsigned cores);

const std::string& EstimateUsage();

}  // namespace taviro::stats
