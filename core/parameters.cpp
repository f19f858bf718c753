#include "core/parameters.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "core/numbers.h"

namespace taviro {

std::optional<PresetTexts> SettingPreset(std::string_view selectorText) {
    const double setting = ParseNumber(selectorText);
    for (std::size_t i = 0; i < kSettingPresets.size(); ++i) {
        if (setting == static_cast<double>(i + 1)) return kSettingPresets[i];
    }
    return std::nullopt;
}

std::int32_t ProbabilityWeight(double probability) {
    // Both branches give 0 to 65536, well inside the 32-bit range.
    if (probability >= 1) return *ToLong(RoundHalfEven(65536 / probability, 0));
    if (probability >= 0) return *ToLong(RoundHalfEven(probability * 65536, 0));
    return 0;
}

std::uint64_t DefaultHistoryLimit() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::uint64_t{1} << 30;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 2;
}

std::uint64_t HistoryBytes(std::int32_t gameCount, std::int32_t bonusThreshold) {
    const std::uint64_t elements = gameCount < 0 ? 1 : static_cast<std::uint64_t>(gameCount) + 1;
    // A game has an event when it draws a bonus, pays one or ends an AR; a bonus is paid once and
    // starts at most one AR, so at most three games per bonus drawn have one, and the last game.
    // The draws counted: their expectation and eight standard deviations more.
    const double share = std::clamp(static_cast<double>(bonusThreshold) / LOTTERY_SPACE, 0.0, 1.0);
    const double draws = share * static_cast<double>(elements - 1);
    const double events =
        std::min(static_cast<double>(elements), 3 * (draws + 8 * std::sqrt(draws) + 1) + 1);
    return GameHistory::BytesFor(elements, static_cast<std::uint64_t>(events));
}

LoadStatus LoadParameters(SimulationState& state, const ParameterTexts& texts,
                          std::uint64_t historyLimit) {
    // Read and check everything first, so that a refused start changes nothing.
    const double big = ParseNumber(texts.TexBIG);
    const double reg = ParseNumber(texts.TexREG);
    const double games = ParseNumber(texts.TexGAME);
    const std::array<double, 5> coins = {ParseNumber(texts.TexN_BASE),
                                         ParseNumber(texts.TexAR_BASE), ParseNumber(texts.TexNBIG),
                                         ParseNumber(texts.TexHBIG), ParseNumber(texts.TexREGOUT)};

    if (!std::isfinite(big) || !std::isfinite(reg)) return LoadStatus::NumberTooLarge;
    const std::optional<std::int32_t> gameCount = ToLong(games);
    if (!gameCount) return LoadStatus::GameCountTooLarge;
    for (double value : coins) {
        if (!std::isfinite(value)) return LoadStatus::NumberTooLarge;
    }

    const std::int32_t w = ProbabilityWeight(big);
    const std::int32_t thrREG = (w + ProbabilityWeight(reg)) * 116;
    GameHistory history;
    if (state.KeepsHistory) {
        if (HistoryBytes(*gameCount, thrREG) > historyLimit) return LoadStatus::OutOfMemory;
        const std::size_t elements = *gameCount < 0 ? 1 : static_cast<std::size_t>(*gameCount) + 1;
        try {
            history.Reset(elements);
        } catch (const std::bad_alloc&) {
            return LoadStatus::OutOfMemory;
        }
    }

    state.WeightBIG = w;
    state.ThrBIG = 58 * w;
    state.ThrBIG_AR150 = 57 * w + state.ThrBIG;
    state.ThrBIG_AR1000 = w + state.ThrBIG_AR150;
    state.ThrREG = thrREG;
    state.GameCount = *gameCount;
    state.BaseN = coins[0];
    state.BaseAR = coins[1];
    state.OutNBIG = coins[2];
    state.OutHBIG = coins[3];
    state.OutREG = coins[4];
    if (state.KeepsHistory) state.History = std::move(history);
    return LoadStatus::Loaded;
}

std::optional<SimulationState> PreparedState(const ParameterTexts& texts, bool history,
                                             std::uint64_t historyLimit) {
    SimulationState s;
    s.KeepsHistory = history;
    if (LoadParameters(s, texts, historyLimit) != LoadStatus::Loaded) return std::nullopt;
    return s;
}

}  // namespace taviro
