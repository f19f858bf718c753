#include "datafile/data_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <variant>
#include <vector>

#include "core/numbers.h"
#include "datafile/bounded_file.h"
#include "datafile/text_encoding.h"

namespace taviro {

namespace {

// Collects the file's bytes and hands them to the file in large blocks.
class BufferedWriter {
  public:
    explicit BufferedWriter(OutputFile& file) : file_(file) { buffer_.reserve(kCapacity); }

    void Put(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kCapacity) Flush();
        buffer_.append(bytes);
    }
    void Put(char c) { Put(std::string_view(&c, 1)); }
    void PutInteger(std::int64_t value) {
        std::array<char, 24> digits{};
        const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
        Put(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
    }
    void PutBalance(double value) {
        std::array<char, kNumberTextCapacity> text{};
        const char* end = FormatNumberTo(text.data(), value);
        Put(std::string_view(text.data(), static_cast<std::size_t>(end - text.data())));
    }
    // A text field: between double quotes, its content unchanged.
    void PutText(std::string_view encoded) {
        Put('"');
        Put(encoded);
        Put('"');
    }
    void EndLine() { Put("\r\n"); }

    bool Flush() {
        if (ok_ && !buffer_.empty()) ok_ = file_.Write(buffer_);
        buffer_.clear();
        return ok_;
    }
    bool Ok() const { return ok_; }

  private:
    static constexpr std::size_t kCapacity = 1 << 18;
    OutputFile& file_;
    std::string buffer_;
    bool ok_ = true;
};

// The event texts in code page 932, converted once per kind of event.
class EventTexts {
  public:
    std::string_view Of(std::uint8_t code) {
        std::optional<std::string>& text = texts_[code];
        if (!text) text = ToCodePage932(EventText(code));
        return *text;
    }

  private:
    std::array<std::optional<std::string>, 256> texts_;
};

void PutGame(BufferedWriter& out, EventTexts& events, std::int64_t game, double balance,
             std::uint8_t code) {
    out.PutInteger(game);
    out.Put(',');
    out.PutBalance(balance);
    out.Put(',');
    out.PutText(events.Of(code));
}

// A summary field of the first three lines: a text (UTF-8, written quoted in code page 932), an
// integer, or nothing at all.
struct Empty {};
using SummaryField = std::variant<std::string_view, std::int64_t, Empty>;

// The fields after a line's leading columns, each preceded by its comma.
void PutSummary(BufferedWriter& out, std::initializer_list<SummaryField> fields) {
    for (const SummaryField& field : fields) {
        out.Put(',');
        if (const auto* text = std::get_if<std::string_view>(&field)) {
            out.PutText(ToCodePage932(*text));
        } else if (const auto* number = std::get_if<std::int64_t>(&field)) {
            out.PutInteger(*number);
        }
    }
    out.EndLine();
}

}  // namespace

std::string DataFileName(std::string_view settingText) {
    return "Taviro" + FormatNumber(ParseNumber(settingText)) + ".csv";
}

namespace {

enum class Written { Complete, Failed, Stopped };

Written WriteLines(OutputFile& file, const SimulationState& s, const DataFileTexts& texts,
                   RunControl* control) {
    BufferedWriter out(file);
    EventTexts events;
    const std::int64_t bigs = std::int64_t{s.CntNBIG} + s.CntHBIG;

    const Empty none;
    out.PutText(ToCodePage932("プレイ数"));
    PutSummary(out, {"仮想出玉", "ボーナス種類", none, "設定", texts.setting, "仮想出玉",
                     texts.virtualOut, "PAYOUT", texts.payout});
    // The games a batch at a time, counted in 64 bits up to the largest count.
    HistoryReader history(s.History, 0);
    constexpr std::int64_t kBatch = 4096;
    std::array<double, kBatch> balances;
    std::array<std::uint8_t, kBatch> codes;
    for (std::int64_t first = 1; first <= s.GameCount && out.Ok(); first += kBatch) {
        const std::int64_t count = std::min<std::int64_t>(kBatch, s.GameCount - first + 1);
        history.Read(balances.data(), codes.data(), count);
        for (std::int64_t j = 0; j < count && out.Ok(); ++j) {
            const std::int64_t game = first + j;
            if (control != nullptr && game % RunControl::kChunkGames == 0) {
                control->Publish(game - 1);
                if (control->StopRequested()) return Written::Stopped;
            }
            PutGame(out, events, game, balances[static_cast<std::size_t>(j)],
                    codes[static_cast<std::size_t>(j)]);
            if (game == 1) {
                PutSummary(out, {none, "BIG", bigs, texts.bigFrequency, none, "REG",
                                 std::int64_t{s.CntREG}, texts.regFrequency});
            } else if (game == 2) {
                PutSummary(out,
                           {none, "HBIG", std::int64_t{s.CntHBIG}, "NBIG", std::int64_t{s.CntNBIG},
                            none, "総AR", std::int64_t{s.CntARGames}});
            } else {
                out.EndLine();
            }
        }
    }
    if (!out.Flush()) return Written::Failed;
    if (control != nullptr) control->Publish(s.GameCount);
    return Written::Complete;
}

}  // namespace

bool WriteDataFile(OutputFile& file, const SimulationState& s, const DataFileTexts& texts,
                   RunControl* control) {
    return WriteLines(file, s, texts, control) == Written::Complete;
}

std::uint64_t LeastDataFileBytes(std::int64_t games) {
    std::uint64_t bytes = 0;
    std::int64_t first = 1;  // the first game number of `digits` digits
    for (std::uint64_t digits = 1; first <= games; ++digits) {
        const std::int64_t last = first <= games / 10 ? first * 10 - 1 : games;
        bytes += static_cast<std::uint64_t>(last - first + 1) * (digits + 7);
        first = last + 1;
    }
    return bytes;
}

bool ConfirmDataFile(SimulationState& s, const DataFileTexts& texts, const FileSystem& files,
                     MessageBox& messages) {
    s.DataFileName = DataFileName(texts.setting);
    if (s.GameCount < 3) {
        messages.Show("シミュレートゲーム数が少なすぎます");
        return false;
    }
    if (files.IsRegularFile(s.DataFileName)) {
        s.Answer =
            messages.Show("ファイルの上書きをしますか？", MessageBox::Buttons::OkCancel, "注意");
        if (s.Answer == MessageBox::kCancel) return false;
    }
    return true;
}

namespace {

// Writes the whole file and commits it; an unfinished file is discarded with `file`.
SaveResult WriteAndCommit(OutputFile& file, const SimulationState& s, const DataFileTexts& texts,
                          RunControl* control) {
    switch (WriteLines(file, s, texts, control)) {
        case Written::Complete:
            if (file.Commit()) return {SaveResult::Status::Saved, {}};
            break;
        case Written::Failed:
            break;
        case Written::Stopped:
            return {SaveResult::Status::Stopped, {}};
    }
    return {SaveResult::Status::Failed, file.Error()};
}

}  // namespace

SaveResult SaveDataFile(const SimulationState& s, const DataFileTexts& texts, FileSystem& files,
                        RunControl* control) {
    SaveResult failed{SaveResult::Status::Failed, {}};
    const std::unique_ptr<OutputFile> file = files.Create(s.DataFileName, failed.error);
    if (!file) return failed;
    return WriteAndCommit(*file, s, texts, control);
}

SaveResult WriteBoundedDataFile(OutputFile& file, const SimulationState& s,
                                const DataFileTexts& texts, std::uint64_t limit,
                                std::string_view tooLarge, RunControl* control) {
    if (LeastDataFileBytes(s.GameCount) > limit) {
        return {SaveResult::Status::Failed, std::string(tooLarge)};
    }
    BoundedFile bounded(file, limit, std::string(tooLarge));
    return WriteAndCommit(bounded, s, texts, control);
}

void ReportSave(const SaveResult& result, std::string_view fileName, MessageBox& messages) {
    switch (result.status) {
        case SaveResult::Status::Saved:
            messages.Show("保存終了しました。");
            return;
        case SaveResult::Status::Failed:
            messages.Show("データファイルを保存できませんでした。\n" + std::string(fileName) +
                          ": " + result.error);
            return;
        case SaveResult::Status::Stopped:
            return;
    }
}

void ExportDataFile(SimulationState& s, const DataFileTexts& texts, FileSystem& files,
                    MessageBox& messages) {
    if (!ConfirmDataFile(s, texts, files, messages)) return;
    ReportSave(SaveDataFile(s, texts, files), s.DataFileName, messages);
}

}  // namespace taviro
