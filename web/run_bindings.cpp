// The simulator's runs for the web page (embind): for now the light edition's run that the page's
// benchmark times.
#include <emscripten/bind.h>

#include <cstdint>
#include <string>

#include "core/parameters.h"
#include "core/run_simulation.h"
#include "core/xoshiro_source.h"

namespace taviro::web {

namespace {

// Plays `games` games of the light edition at the default parameters from `seed`, as the
// native benchmark BM_LightRun does; the PAYOUT percent, so that the run is not optimised away.
double PlayLightRun(double games, double seed) {
    ParameterTexts texts;
    texts.TexGAME = std::to_string(static_cast<std::int64_t>(games));
    std::optional<SimulationState> state = PreparedState(texts, false);
    if (!state) return 0;
    XoshiroSource source(static_cast<std::uint64_t>(seed));
    RunSimulation(*state, source);
    return state->Payout;
}

}  // namespace

EMSCRIPTEN_BINDINGS(taviro_run) {
    emscripten::function("playLightRun", &PlayLightRun);
}

}  // namespace taviro::web
