// A command's options as one table: each row names an option, says what its value is called and
// what it does, and reads it into the command's state. The parser, the help text and the list of
// known names all come from the table, so an option cannot be known to one and missing from
// another.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/concat.h"

namespace taviro::stats {

template <class State>
struct OptionRow {
    std::string_view name;   // "--games"
    std::string_view value;  // what the value is called in the help ("N"); empty for a switch
    std::string_view help;   // one line
    // Reads `value` into `state`; false, with the line that tells why, when it is not valid.
    bool (*read)(State& state, std::string_view name, std::string_view value, std::string& error);
    std::string_view alias = {};  // a short name, for --help's -h
};

// Reads the arguments: each is a known option with its value ("--name value" or "--name=value"),
// or a switch alone. Returns the line that tells what is wrong, or nothing.
template <class State>
std::string ReadOptions(std::span<const std::string_view> args,
                        std::span<const OptionRow<State>> table, State& state) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> value;
        if (const auto eq = name.find('=');
            name.starts_with("--") && eq != std::string_view::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const OptionRow<State>* row = nullptr;
        for (const OptionRow<State>& r : table) {
            if (name == r.name || (!r.alias.empty() && name == r.alias)) row = &r;
        }
        if (row == nullptr) return Concat("不明なオプションです: \"", name, "\"（--help で一覧）");
        if (row->value.empty()) {
            if (value) return Concat(name, " には値を指定できません");
            value = std::string_view();
        } else if (!value) {
            if (i + 1 >= args.size()) return Concat(name, " には値が必要です");
            value = args[++i];
        }
        std::string error;
        if (!row->read(state, row->name, *value, error)) return error;
    }
    return {};
}

// The options' part of the help: a line for each, "  --name VALUE" and its help in a column.
template <class State>
std::string OptionsHelp(std::span<const OptionRow<State>> table) {
    constexpr std::size_t kColumn = 21;
    std::string help;
    for (const OptionRow<State>& r : table) {
        std::string left = r.alias.empty() ? std::string(r.name) : Concat(r.alias, ", ", r.name);
        if (!r.value.empty()) left = Concat(left, " ", r.value);
        const std::size_t pad = left.size() + 2 <= kColumn ? kColumn - left.size() : 2;
        help += Concat("  ", left, std::string(pad, ' '), r.help, "\n");
    }
    return help;
}

}  // namespace taviro::stats
