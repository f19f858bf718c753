// What the start command can end in, and the message the window shows for each.
#pragma once

#include <string_view>

namespace taviro {

enum class StartOutcome {
    Ran,                // a run took place; the results display follows
    NoGames,            // the game count reads as 0: parameters loaded, nothing played
    NumberTooLarge,     // refused, state unchanged
    GameCountTooLarge,  // refused, state unchanged
    OutOfMemory,        // refused, state unchanged
};

enum class Edition { Full, Lite };

// The message the start command shows for an outcome; empty for Ran. The light edition's
// message for a count of 0 has no closing full stop.
std::string_view StartMessage(StartOutcome outcome, Edition edition);

}  // namespace taviro
