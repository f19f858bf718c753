// The data file: the per-game history of the last run with a few summary values, as
// comma-separated text in code page 932, one line per game, CR LF after every line.
#pragma once

#include <string>
#include <string_view>

#include "core/message_box.h"
#include "core/simulation_state.h"
#include "datafile/file_system.h"

namespace taviro {

// The window texts the file copies, as they stand when it is written (UTF-8).
struct DataFileTexts {
    std::string setting;       // Combo1
    std::string virtualOut;    // TexOUT
    std::string payout;        // TexPAY
    std::string bigFrequency;  // LabP_BIG
    std::string regFrequency;  // LabP_REG
};

// "Taviro", the setting as a number, ".csv".
std::string DataFileName(std::string_view settingText);

// Writes the whole file (the run must have at least 3 games). Returns false as soon as the file
// reports a failure.
bool WriteDataFile(OutputFile& file, const SimulationState& s, const DataFileTexts& texts);

// The data-file command `Command1_Click` without its window: checks, the overwrite question,
// writing, and the closing message. Sets `DataFileName` and `Answer` of the state.
void ExportDataFile(SimulationState& s, const DataFileTexts& texts, FileSystem& files,
                    MessageBox& messages);

}  // namespace taviro
