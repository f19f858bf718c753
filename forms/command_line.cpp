#include "forms/command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <string>

#include "core/version.h"

namespace taviro {

namespace {

// Options that Qt's application object takes (with a value where it needs one).
const QStringList kQtOptionsWithValue = {"platform",        "platformpluginpath",
                                         "platformtheme",   "plugin",
                                         "qwindowgeometry", "qwindowicon",
                                         "qwindowtitle",    "display",
                                         "geometry",        "style",
                                         "stylesheet",      "session",
                                         "title",           "visual"};
const QStringList kQtFlags = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

// False when the text could not be written whole (a full disk, a closed pipe).
bool Print(std::FILE* stream, const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return std::fflush(stream) == 0 && written;
}

}  // namespace

std::string ProgramUsage(const ProgramDescription& program) {
    std::string usage = "使い方: ";
    usage.append(program.command).append(" [オプション]\n");
    usage.append(program.summary).append("\n\n");
    usage.append("  --version            版を表示\n");
    usage.append("  --help               この説明\n\n");
    usage.append("表示のない環境では xvfb-run -a ")
        .append(program.command)
        .append(" で起動できます。\n");
    return usage;
}

std::optional<int> HandleCommandLine(int argc, char* argv[], const ProgramDescription& program) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    parser.addOption(help);
    parser.addOption(version);
    for (const QString& name : kQtOptionsWithValue) {
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    }
    for (const QString& name : kQtFlags) parser.addOption(QCommandLineOption(name));

    const std::string command(program.command);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const std::string what =
            unknown.isEmpty() ? "オプションの値がありません"
                              : "不明なオプションです: \"" + unknown.first().toStdString() + "\"";
        Print(stderr, command + ": " + what + "（--help で一覧）\n");
        return 2;
    }
    // A text that cannot be written is a failure, as for taviro-stats.
    if (parser.isSet(help)) return Print(stdout, ProgramUsage(program)) ? 0 : 1;
    if (parser.isSet(version))
        return Print(stdout, command + " " + std::string(kVersion) + "\n") ? 0 : 1;
    if (!parser.positionalArguments().isEmpty()) {
        Print(stderr, command + ": 不明な引数です: \"" +
                          parser.positionalArguments().first().toStdString() +
                          "\"（--help で一覧）\n");
        return 2;
    }
    return std::nullopt;
}

}  // namespace taviro
