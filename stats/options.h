// The command line of taviro-stats.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/parameters.h"
#include "stats/estimate.h"

namespace taviro::stats {

enum class OutputFormat { Text, Csv, Json };

// `--plot FILE`: a picture of the figures, PNG or SVG by the file's extension.
enum class PictureFormat { Png, Svg };
struct PictureRequest {
    std::string path;
    PictureFormat format = PictureFormat::Png;
    int width = 1600, height = 1000;  // pixels
    unsigned threads = 1;             // that may write it (--threads)
};
inline constexpr std::pair<int, int> kLeastPicture = {600, 400};
inline constexpr int kMostPictureSide = 8000;

struct StatsOptions {
    std::vector<int> settings = {1, 2, 3, 4, 5, 6};
    std::optional<std::string> big;  // overrides the preset's probability texts
    std::optional<std::string> reg;
    ParameterTexts parameters;  // games and coin texts; the probabilities come per setting
    std::int32_t games = 8000;
    std::int64_t sessions = 10000;
    double rate = 5;  // coins per 100 yen
    std::uint64_t seed = 0;
    unsigned threads = 1;
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

// The parameter texts of one setting under these options.
ParameterTexts TextsForSetting(const StatsOptions& options, int setting);

const std::string& StatsUsage();

// `taviro-stats estimate`: the counts a player read off the machine.
struct EstimateOptions {
    EstimateInput input;
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
