#include "core/run_simulation.h"

#include "core/game_loop.h"
#include "core/recorders.h"

namespace taviro {

void RunSimulation(SimulationState& s, UniformSource& source) {
    if (s.KeepsHistory) {
        HistoryRecorder recorder(s);
        PlayGames(s, source, recorder);
    } else {
        NoHistory recorder;
        PlayGames(s, source, recorder);
    }
}

}  // namespace taviro
