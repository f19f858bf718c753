#include "run_simulation.h"

#include "game_loop.h"
#include "recorders.h"

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
