#include "core/run_simulation.h"

#include "core/game_loop.h"
#include "core/recorders.h"

namespace taviro {

bool RunSimulation(SimulationState& s, UniformSource& source, RunControl* control) {
    if (s.KeepsHistory) {
        HistoryRecorder recorder(s);
        return PlayGames(s, source, recorder, control);
    }
    NoHistory recorder;
    return PlayGames(s, source, recorder, control);
}

}  // namespace taviro
