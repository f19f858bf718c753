#include "datafile/data_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "core/game_loop.h"
#include "core/numbers.h"
#include "core/parameters.h"
#include "core/run_simulation.h"
#include "core/xoshiro_source.h"
#include "datafile/bounded_file.h"
#include "datafile/text_encoding.h"
#include "support/history_of.h"
#include "support/recording_message_box.h"

namespace taviro {
namespace {

using test_support::RecordingMessageBox;

std::string FromCodePage932(const std::string& bytes) {
    const std::string text = ConvertText(bytes, "CP932", "UTF-8");
    EXPECT_EQ(text.find('?'), std::string::npos) << "not valid code page 932";
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line must end with CR LF";
    return lines;
}

// The balances of a run whose games bring nothing but the normal-play expectation.
std::vector<double> PlainBalances(std::int32_t games, double base = -1.5603781019) {
    std::vector<double> balance(static_cast<std::size_t>(games) + 1, 0.0);
    for (std::size_t k = 1; k < balance.size(); ++k) balance[k] = balance[k - 1] + base;
    return balance;
}

SimulationState RunOf(const std::vector<double>& balances, const std::vector<std::uint8_t>& codes,
                      double base) {
    SimulationState s;
    s.KeepsHistory = true;
    s.GameCount = static_cast<std::int32_t>(balances.size()) - 1;
    s.History = test_support::HistoryOf(balances, codes, {base});
    return s;
}

SimulationState PlainRun(std::int32_t games, double base = -1.5603781019) {
    return RunOf(PlainBalances(games, base), {}, base);
}

// A file kept in memory; what it wrote replaces `target` only when committed.
class MemoryFile final : public OutputFile {
  public:
    MemoryFile(std::string& target, int failingWrite = -1, bool failCommit = false)
        : target_(target), failingWrite_(failingWrite), failCommit_(failCommit) {}
    bool Write(std::string_view data) override {
        if (onWrite) onWrite();
        if (writes_++ == failingWrite_) return false;
        bytes_.append(data);
        return true;
    }
    bool Commit() override {
        if (failCommit_) return false;
        target_ = bytes_;
        return true;
    }
    std::string Error() const override { return "No space left on device"; }
    std::function<void()> onWrite;

  private:
    std::string& target_;
    std::string bytes_;
    int failingWrite_;
    bool failCommit_;
    int writes_ = 0;
};

// Files kept in memory, by name.
class MemoryFileSystem final : public FileSystem {
  public:
    bool IsRegularFile(const std::string& name) const override { return files.count(name) > 0; }
    std::unique_ptr<OutputFile> Create(const std::string& name, std::string& error) override {
        if (refuseCreate) {
            error = "Permission denied";
            return nullptr;
        }
        return std::make_unique<MemoryFile>(files[name], failingWrite, failCommit);
    }
    std::map<std::string, std::string> files;
    bool refuseCreate = false;
    int failingWrite = -1;
    bool failCommit = false;
};

const DataFileTexts kExampleTexts = {"1", "-2741", "97.72", "1/333.333", "1/500"};

TEST(DataFile, SummaryLinesEventsBalancesAndQuotes) {
    std::vector<double> balance = PlainBalances(1000);
    std::vector<std::uint8_t> codes(balance.size(), 0);
    const double balances[] = {-0.25, -12, 1e16, 0.5, 0};
    for (std::size_t k = 0; k < 5; ++k) balance[k + 4] = balances[k];
    balance[1000] = 398.5292437962;
    codes[4] = event::kHeldReg | event::kArEnd;
    codes[1000] = event::PaidStock(kNormalBigAr150) | event::kRunEnd;
    SimulationState s = RunOf(balance, codes, -1.5603781019);
    s.CntNBIG = 2, s.CntHBIG = 1, s.CntREG = 4, s.CntARGames = 150;
    DataFileTexts texts = kExampleTexts;
    texts.virtualOut = R"(12"34)";
    std::string bytes;
    MemoryFile file(bytes);
    ASSERT_TRUE(WriteDataFile(file, s, texts));
    ASSERT_TRUE(file.Commit());
    const auto lines = Lines(FromCodePage932(bytes));
    ASSERT_EQ(lines.size(), 1001u);
    const std::pair<int, const char*> expected[] = {
        {0,
         R"("プレイ数","仮想出玉","ボーナス種類",,"設定","1","仮想出玉","12"34","PAYOUT","97.72")"},
        {1, R"(1,-1.5603781019,"",,"BIG",3,"1/333.333",,"REG",4,"1/500")"},
        {2, R"(2,-3.1207562038,"",,"HBIG",1,"NBIG",2,,"総AR",150)"},
        {3, R"(3,-4.6811343057,"")"},
        {4, R"(4,-0.25,"(REGストック）AR終了")"},
        {5, R"(5,-12,"")"},
        {6, R"(6,1E+16,"")"},
        {7, R"(7,0.5,"")"},
        {8, R"(8,0,"")"},
        {1000, R"(1000,398.5292437962,"NBIG AR150シミュレート終了")"},
    };
    for (const auto& [k, line] : expected) EXPECT_EQ(lines[k], line) << k;
}

TEST(DataFile, EveryGameLineHoldsTheOneGameLoopsBalanceAndEvent) {
    ParameterTexts texts;
    texts.TexGAME = "30000", texts.TexBIG = "60";  // events of every kind, many in AR
    SimulationState s = PreparedState(texts, true).value();
    XoshiroSource source(5);
    RunSimulation(s, source);
    std::string bytes;
    MemoryFile file(bytes);
    ASSERT_TRUE(WriteDataFile(file, s, kExampleTexts) && file.Commit());
    const auto lines = Lines(bytes);
    ASSERT_EQ(lines.size(), 30001u);

    std::vector<std::int32_t> draws(30000);
    XoshiroSource(5).FillDraws(draws);
    SimulationState one = PreparedState(texts, false).value();
    ResetRun(one);
    double balance = 0;
    for (std::int32_t game = 1; game <= 30000; ++game) {
        const GameOutcome outcome = PlayGame(one, draws[game - 1]);
        balance = balance + outcome.base;
        if (outcome.paid) balance += outcome.bonus;
        const std::uint8_t code = outcome.code | (game == 30000 ? event::kRunEnd : 0);
        const std::string line = std::to_string(game) + "," + FormatNumber(balance) + ",\"" +
                                 ToCodePage932(EventText(code)) + "\"";
        // Lines 2 and 3 go on with the summary.
        ASSERT_EQ(lines[game].substr(0, game <= 2 ? line.size() + 1 : std::string::npos),
                  game <= 2 ? line + "," : line);
    }
}

TEST(DataFile, NamesFollowTheSetting) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "Taviro1.csv"},   {"2.5", "Taviro2.5.csv"}, {"", "Taviro0.csv"},
        {"abc", "Taviro0.csv"}, {"-3", "Taviro-3.csv"},   {" 6 ", "Taviro6.csv"},
    };
    for (const auto& [setting, name] : cases) EXPECT_EQ(DataFileName(setting), name);
}

TEST(ExportDataFile, RefusesRunsOfFewerThanThreeGames) {
    for (std::int32_t games : {0, 1, 2}) {
        SimulationState s = PlainRun(games);
        MemoryFileSystem files;
        RecordingMessageBox messages;
        ExportDataFile(s, kExampleTexts, files, messages);
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"シミュレートゲーム数が少なすぎます"});
        EXPECT_EQ(s.DataFileName, "Taviro1.csv");
    }
}

TEST(ExportDataFile, OverwriteQuestion) {
    MemoryFileSystem files;
    files.files["Taviro1.csv"] = "old content";
    SimulationState s = PlainRun(5);
    RecordingMessageBox messages;
    messages.answer = MessageBox::kCancel;
    ExportDataFile(s, kExampleTexts, files, messages);
    ASSERT_EQ(messages.Texts(), std::vector<std::string>{"ファイルの上書きをしますか？"});
    EXPECT_EQ(messages.shown[0].caption, "注意");
    EXPECT_EQ(messages.shown[0].buttons, MessageBox::Buttons::OkCancel);
    EXPECT_EQ(s.Answer, 2);
    EXPECT_EQ(files.files["Taviro1.csv"], "old content");

    messages = {};
    ExportDataFile(s, kExampleTexts, files, messages);
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"ファイルの上書きをしますか？", "保存終了しました。"}));
    EXPECT_EQ(s.Answer, 1);
    EXPECT_EQ(Lines(files.files["Taviro1.csv"]).size(), 6u);
}

TEST(ExportDataFile, AFailureAtAnyStepIsReportedAndKeepsTheOldFile) {
    // A refused create, a failing first or later write, a failing flush or rename.
    const std::tuple<bool, int, bool> failures[] = {
        {true, -1, false}, {false, 0, false}, {false, 1, false}, {false, -1, true}};
    for (const auto& [refuse, write, commit] : failures) {
        MemoryFileSystem files;
        files.files["Taviro1.csv"] = "old content";
        files.refuseCreate = refuse, files.failingWrite = write, files.failCommit = commit;
        SimulationState s = PlainRun(100000);  // more than one block of bytes
        RecordingMessageBox messages;
        ExportDataFile(s, kExampleTexts, files, messages);
        EXPECT_EQ(messages.Texts().back(),
                  std::string("データファイルを保存できませんでした。\nTaviro1.csv: ") +
                      (refuse ? "Permission denied" : "No space left on device"))
            << write;
        EXPECT_EQ(files.files["Taviro1.csv"], "old content") << write;
    }
}

TEST(BoundedFile, TakesTheWholeFileUpToItsLimitAndRefusesOneByteMore) {
    const SimulationState s = PlainRun(100000);  // more than one block of bytes
    std::string whole;
    MemoryFile plain(whole);
    ASSERT_TRUE(WriteDataFile(plain, s, kExampleTexts) && plain.Commit());
    for (const std::size_t limit : {whole.size(), whole.size() - 1}) {
        std::string target = "old content";
        MemoryFile memory(target);
        BoundedFile bounded(memory, limit, "too large");
        const bool written = WriteDataFile(bounded, s, kExampleTexts) && bounded.Commit();
        EXPECT_EQ(written, limit == whole.size()) << limit;
        EXPECT_EQ(target, written ? whole : "old content") << limit;
        if (written) continue;
        EXPECT_EQ(bounded.Error(), "too large");
        EXPECT_FALSE(bounded.Write("x")) << "a refused file takes nothing more";
        EXPECT_FALSE(bounded.Commit());
        ASSERT_TRUE(
            memory.Commit());  // what reached the file beneath: the file's start, in the limit
        EXPECT_LE(target.size(), limit);
        EXPECT_EQ(target, whole.substr(0, target.size()));
    }
}

TEST(DataFile, LeastBytesNeverExceedTheFile) {
    const std::pair<std::int64_t, std::uint64_t> cases[] = {
        {0, 0}, {3, 24}, {9, 72}, {10, 81}, {100000, 1188895}, {2147483647, 35396110898}};
    for (const auto& [games, least] : cases) EXPECT_EQ(LeastDataFileBytes(games), least) << games;
    for (const std::int32_t games : {3, 10, 12345}) {
        std::string file;
        MemoryFile memory(file);
        ASSERT_TRUE(WriteDataFile(memory, PlainRun(games, 0.0), kExampleTexts) && memory.Commit());
        EXPECT_LE(LeastDataFileBytes(games), file.size()) << games;
    }
}

TEST(WriteBoundedDataFile, RefusesBeforeWritingOrAtTheLimitAndOtherwiseWritesTheWholeFile) {
    const SimulationState s = PlainRun(100000);
    std::string whole;
    MemoryFile plain(whole);
    ASSERT_TRUE(WriteDataFile(plain, s, kExampleTexts) && plain.Commit());
    using Status = SaveResult::Status;
    const struct {
        std::uint64_t limit;
        Status status;
        bool written;  // whether any byte reached the file
    } cases[] = {{LeastDataFileBytes(100000) - 1, Status::Failed, false},
                 {whole.size() - 1, Status::Failed, true},
                 {whole.size(), Status::Saved, true}};
    for (const auto& c : cases) {
        std::string target;
        int writes = 0;
        MemoryFile memory(target);
        memory.onWrite = [&] { ++writes; };
        const SaveResult result =
            WriteBoundedDataFile(memory, s, kExampleTexts, c.limit, "too large");
        EXPECT_EQ(result.status, c.status) << c.limit;
        EXPECT_EQ(result.error, c.status == Status::Failed ? "too large" : "") << c.limit;
        EXPECT_EQ(writes > 0, c.written) << c.limit;
        EXPECT_EQ(target, c.status == Status::Saved ? whole : "") << c.limit;
    }
}

TEST(SaveDataFile, AStopDiscardsTheFileAndReportsNothing) {
    MemoryFileSystem files;
    files.files["Taviro1.csv"] = "old content";
    SimulationState s = PlainRun(200000);
    s.DataFileName = "Taviro1.csv";
    RunControl control;
    control.RequestStop();
    const SaveResult stopped = SaveDataFile(s, kExampleTexts, files, &control);
    EXPECT_EQ(stopped.status, SaveResult::Status::Stopped);
    EXPECT_EQ(files.files["Taviro1.csv"], "old content");
    RecordingMessageBox messages;
    ReportSave(stopped, s.DataFileName, messages);
    EXPECT_TRUE(messages.shown.empty());

    // Followed, it tells the games written every chunk of games, and all of them at the end.
    RunControl followed;
    std::string bytes;
    MemoryFile file(bytes);
    std::vector<std::int64_t> told;
    file.onWrite = [&] { told.push_back(followed.GamesPlayed()); };
    ASSERT_TRUE(WriteDataFile(file, s, kExampleTexts, &followed));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(followed.GamesPlayed(), 200000);
    EXPECT_EQ(Lines(bytes).size(), 200001u);
    EXPECT_GT(told.back(), 0);
    for (std::int64_t games : told)
        if (games > 0) {
            EXPECT_EQ((games + 1) % RunControl::kChunkGames, 0) << games;
        }
}

// The real file system, in a folder of the test's own that holds the file of a 3-game run.
class PosixDataFile : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        directory_ = std::filesystem::temp_directory_path() /
                     ("taviro_data_file_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory_);
        std::filesystem::current_path(directory_);
        SimulationState old = PlainRun(3);
        ExportDataFile(old, kExampleTexts, files_, messages_);
        oldBytes_ = Read("Taviro1.csv");
        EXPECT_EQ(Lines(oldBytes_).size(), 4u);
        messages_ = {};
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(directory_);
    }
    static std::string Read(const char* name) {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static std::ptrdiff_t Entries(const char* folder = ".") {
        return std::distance(std::filesystem::directory_iterator(folder), {});
    }
    PosixFileSystem files_;
    RecordingMessageBox messages_;
    std::string oldBytes_;
    std::filesystem::path previous_;
    std::filesystem::path directory_;
};

TEST_F(PosixDataFile, ALongerAndThenAShorterRunReplaceTheFileCompletely) {
    for (std::int32_t games : {50, 3}) {
        SimulationState s = PlainRun(games);
        ExportDataFile(s, kExampleTexts, files_, messages_);
        EXPECT_EQ(Lines(Read("Taviro1.csv")).size(), games + 1u);
    }
    EXPECT_EQ(messages_.Texts(),
              (std::vector<std::string>{"ファイルの上書きをしますか？", "保存終了しました。",
                                        "ファイルの上書きをしますか？", "保存終了しました。"}));
}

TEST_F(PosixDataFile, TheNewFileIsWrittenBesideItsTargetAndKeptOnlyWhenCommitted) {
    std::filesystem::create_directory("sub");
    for (const auto& [name, folder] : {std::pair("Taviro1.csv", "."), {"sub/new.csv", "sub"}}) {
        const std::ptrdiff_t before = Entries(folder);
        for (bool commit : {false, true}) {
            std::string error;
            auto file = files_.Create(name, error);
            ASSERT_TRUE(file);
            ASSERT_TRUE(file->Write("new"));
            EXPECT_EQ(Entries(folder), before + 1) << name;
            EXPECT_EQ(commit && file->Commit(), commit);
        }
        EXPECT_EQ(Read(name), "new");
    }
    EXPECT_EQ(Entries(), 2);
    EXPECT_EQ(Entries("sub"), 1);
}

TEST_F(PosixDataFile, ADirectoryOfThatNameIsAFailure) {
    std::filesystem::remove("Taviro1.csv");
    std::filesystem::create_directory("Taviro1.csv");
    SimulationState s = PlainRun(5);
    ExportDataFile(s, kExampleTexts, files_, messages_);
    EXPECT_EQ(messages_.Texts(),  // a directory is not asked about
              std::vector<std::string>{
                  "データファイルを保存できませんでした。\nTaviro1.csv: Is a directory"});
}

TEST_F(PosixDataFile, ALinkKeepsPointingAtItsTargetWhichGetsTheNewContent) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "this system has no /dev/full";
    std::filesystem::create_directory("elsewhere");
    std::filesystem::rename("Taviro1.csv", "elsewhere/data.csv");
    // A device is written directly.
    const std::pair<const char*, const char*> targets[] = {
        {"elsewhere/data.csv", "保存終了しました。"},
        {"/dev/null", "保存終了しました。"},
        {"/dev/full",
         "データファイルを保存できませんでした。\nTaviro1.csv: No space left on device"}};
    for (const auto& [target, message] : targets) {
        std::filesystem::remove("Taviro1.csv");
        std::filesystem::create_symlink(target, "Taviro1.csv");
        SimulationState s = PlainRun(5);
        ExportDataFile(s, kExampleTexts, files_, messages_);
        EXPECT_EQ(messages_.Texts().back(), message);
        EXPECT_TRUE(std::filesystem::is_symlink("Taviro1.csv"));
    }
    EXPECT_EQ(Lines(Read("elsewhere/data.csv")).size(), 6u);
    EXPECT_EQ(Entries("elsewhere"), 1);
}

// A real write that fails half-way: past the file-size limit.
TEST_F(PosixDataFile, AFailureBeyondTheFileSizeLimitKeepsTheOldFile) {
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);  // the failing write reports instead
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    SimulationState s = PlainRun(50000);  // about 1 MB
    ExportDataFile(s, kExampleTexts, files_, messages_);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(messages_.Texts().back(),
              "データファイルを保存できませんでした。\nTaviro1.csv: File too large");
    EXPECT_EQ(Read("Taviro1.csv"), oldBytes_);
    EXPECT_EQ(Entries(), 1) << "a temporary file was left behind";
}

TEST_F(PosixDataFile, AFailedRenameKeepsTheOldFile) {
    std::string error;
    auto file = files_.Create("Taviro1.csv", error);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write("new"));
    // Another program puts a folder in the file's place: the rename cannot replace it.
    std::filesystem::rename("Taviro1.csv", "kept.csv");
    std::filesystem::create_directories("Taviro1.csv/inside");
    EXPECT_FALSE(file->Commit());
    EXPECT_FALSE(file->Error().empty());
    file.reset();
    EXPECT_EQ(Read("kept.csv"), oldBytes_);
    EXPECT_EQ(Entries(), 2);
}

}  // namespace
}  // namespace taviro
