#include "data_file.h"

#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "cp932.h"
#include "numbers.h"

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
        Put(std::string_view(digits.data(),
                             std::to_chars(digits.begin(), digits.end(), value).ptr));
    }
    void PutBalance(double value) {
        std::array<char, kNumberTextCapacity> text{};
        Put(std::string_view(text.data(), FormatNumberTo(text.data(), value)));
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

void PutGame(BufferedWriter& out, EventTexts& events, const SimulationState& s, std::int32_t game) {
    out.PutInteger(game);
    out.Put(',');
    out.PutBalance(s.Balance[static_cast<std::size_t>(game)]);
    out.Put(',');
    out.PutText(events.Of(s.GameLog.Code(static_cast<std::size_t>(game))));
}

void PutLabel(BufferedWriter& out, std::string_view utf8) {
    out.PutText(ToCodePage932(utf8));
}

}  // namespace

std::string DataFileName(std::string_view settingText) {
    return "Taviro" + FormatNumber(ParseNumber(settingText)) + ".csv";
}

bool WriteDataFile(OutputFile& file, const SimulationState& s, const DataFileTexts& texts) {
    BufferedWriter out(file);
    EventTexts events;
    const std::int64_t bigs = std::int64_t{s.CntNBIG} + s.CntHBIG;

    PutLabel(out, "プレイ数");
    out.Put(',');
    PutLabel(out, "仮想出玉");
    out.Put(',');
    PutLabel(out, "ボーナス種類");
    out.Put(",,");
    PutLabel(out, "設定");
    out.Put(',');
    PutLabel(out, texts.setting);
    out.Put(',');
    PutLabel(out, "仮想出玉");
    out.Put(',');
    PutLabel(out, texts.virtualOut);
    out.Put(',');
    PutLabel(out, "PAYOUT");
    out.Put(',');
    PutLabel(out, texts.payout);
    out.EndLine();

    PutGame(out, events, s, 1);
    out.Put(",,");
    PutLabel(out, "BIG");
    out.Put(',');
    out.PutInteger(bigs);
    out.Put(',');
    PutLabel(out, texts.bigFrequency);
    out.Put(",,");
    PutLabel(out, "REG");
    out.Put(',');
    out.PutInteger(s.CntREG);
    out.Put(',');
    PutLabel(out, texts.regFrequency);
    out.EndLine();

    PutGame(out, events, s, 2);
    out.Put(",,");
    PutLabel(out, "HBIG");
    out.Put(',');
    out.PutInteger(s.CntHBIG);
    out.Put(',');
    PutLabel(out, "NBIG");
    out.Put(',');
    out.PutInteger(s.CntNBIG);
    out.Put(",,");
    PutLabel(out, "総AR");
    out.Put(',');
    out.PutInteger(s.CntARGames);
    out.EndLine();

    for (std::int32_t game = 3; game <= s.GameCount && out.Ok(); ++game) {
        PutGame(out, events, s, game);
        out.EndLine();
    }
    return out.Flush();
}

void ExportDataFile(SimulationState& s, const DataFileTexts& texts, FileSystem& files,
                    MessageBox& messages) {
    s.DataFileName = DataFileName(texts.setting);
    if (s.GameCount < 3) {
        messages.Show("シミュレートゲーム数が少なすぎます");
        return;
    }
    if (files.IsRegularFile(s.DataFileName)) {
        s.Answer =
            messages.Show("ファイルの上書きをしますか？", MessageBox::Buttons::OkCancel, "注意");
        if (s.Answer == MessageBox::kCancel) return;
    }

    std::string error;
    bool saved = false;
    if (auto file = files.Create(s.DataFileName, error)) {
        const bool written = WriteDataFile(*file, s, texts);
        if (!written) error = file->Error();
        const bool closed = file->Close();
        if (written && !closed) error = file->Error();
        saved = written && closed;
    }
    if (!saved) {
        messages.Show("データファイルを保存できませんでした。\n" + s.DataFileName + ": " + error);
        return;
    }
    messages.Show("保存終了しました。");
}

}  // namespace taviro
