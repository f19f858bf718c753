// The command line of the window programs: --help and --version print their text and end the
// program, anything else unknown is refused. Read before the application object exists, so that
// both work without a display.
#pragma once

#include <optional>
#include <string_view>

namespace taviro {

struct ProgramDescription {
    std::string_view command;  // the installed name, e.g. "taviro"
    std::string_view summary;  // what the program does, in one or two sentences
};

// The --help text, in the style of every Taviro program.
std::string ProgramUsage(const ProgramDescription& program);

// The exit status when the program is to end at once (after --help or --version: 0, or 1 when the
// text could not be written; after an option it does not know: 2, with a one-line message on
// standard error); nothing when it runs.
// Qt's own options (-platform, -style...) are left to the application object.
std::optional<int> HandleCommandLine(int argc, char* argv[], const ProgramDescription& program);

}  // namespace taviro
