// The data file: the per-game history of the last run with a few summary values, as
// comma-separated text in code page 932, one line per game, CR LF after every line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/message_box.h"
#include "core/run_control.h"
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

// Writes the whole file (the run must have at least 3 games, and its history). Returns false as
// soon as the file reports a failure, or when `control` asks it to stop; with a control it
// publishes the games written every RunControl::kChunkGames games.
bool WriteDataFile(OutputFile& file, const SimulationState& s, const DataFileTexts& texts,
                   RunControl* control = nullptr);

// The fewest bytes a file of `games` games can take: every line holds at least its game number,
// two commas, a balance of one digit, an event's two quotes and CR LF.
std::uint64_t LeastDataFileBytes(std::int64_t games);

// The checks before writing: sets `DataFileName` and `Answer` of the state, refuses a run of fewer
// than 3 games and asks before replacing a file. True when the file is to be written.
bool ConfirmDataFile(SimulationState& s, const DataFileTexts& texts, const FileSystem& files,
                     MessageBox& messages);

struct SaveResult {
    enum class Status { Saved, Failed, Stopped } status;
    std::string error;  // the system's reason for a failure
};

// Writes the file `s.DataFileName` in place of any file of that name: it is replaced only by a
// complete file, so that a failure or a stop leaves it as it was and no partial file behind.
SaveResult SaveDataFile(const SimulationState& s, const DataFileTexts& texts, FileSystem& files,
                        RunControl* control = nullptr);

// Writes the whole file to `file` for a place that holds at most `limit` bytes (a download kept
// in memory): a run whose games alone need more (LeastDataFileBytes) is refused before a byte is
// written, any other at the write that would pass the limit; the reason is then `tooLarge`.
SaveResult WriteBoundedDataFile(OutputFile& file, const SimulationState& s,
                                const DataFileTexts& texts, std::uint64_t limit,
                                std::string_view tooLarge, RunControl* control = nullptr);

// Tells how the save ended: saved, or why it failed; nothing after a stop the user asked for.
void ReportSave(const SaveResult& result, std::string_view fileName, MessageBox& messages);

// The data-file command `Command1_Click` without its window: the checks, the writing and the
// closing message.
void ExportDataFile(SimulationState& s, const DataFileTexts& texts, FileSystem& files,
                    MessageBox& messages);

}  // namespace taviro
