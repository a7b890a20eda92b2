#include "app/cli/option_table.h"

#include <CLI/CLI.hpp>
#include <algorithm>

namespace kvr::cli {

namespace {

// What a row's value problem says when the table gives none: "--out needs FILE".
std::string ValueProblem(const OptionRow& row) {
    return row.problem.empty() ? LongName(row) + " needs " + row.value : row.problem;
}

bool IsFlagNamed(const CommandTable& table, const std::string& name) {
    for (const OptionGroup& group : table.groups)
        for (const OptionRow& row : group.rows)
            if (row.value.empty() && LongName(row) == name) return true;
    return false;
}

// The operands in their rows, in order: each single row takes one word, a row of many the rest.
Result<void> TakeOperands(const CommandTable& table, const std::vector<std::string>& words) {
    std::size_t next = 0;
    for (const OperandRow& row : table.operands) {
        // A row that says nothing when it is missing may be left out, and so may those after it.
        if (next >= words.size()) {
            if (row.missing.empty()) return {};
            return Problem{row.missing};
        }
        if (row.values != nullptr) {
            row.values->assign(words.begin() + static_cast<std::ptrdiff_t>(next), words.end());
            next = words.size();
        } else {
            *row.value = words[next++];
        }
    }
    if (next < words.size()) {
        if (next == 0) return Problem{"no operand expected, got '" + words[next] + "'"};
        return Problem{"one " + table.operands.back().what + " expected, got '" + words[next - 1] +
                       "' and '" + words[next] + "'"};
    }
    return {};
}

}  // namespace

std::string LongName(const OptionRow& row) {
    std::string first;
    std::size_t start = 0;
    while (start <= row.names.size()) {
        std::size_t end = row.names.find(',', start);
        if (end == std::string::npos) end = row.names.size();
        const std::string name = row.names.substr(start, end - start);
        if (name.starts_with("--")) return name;
        if (first.empty()) first = name;
        start = end + 1;
    }
    return first;
}

Result<void> ParseCommandLine(const CommandTable& table, const Arguments& args) {
    // The words after "--" are operands whatever they look like ("-" starts no option there).
    const auto end = std::find(args.begin(), args.end(), "--");
    const Arguments options(args.begin(), end);
    std::vector<std::string> afterEnd(end == args.end() ? end : end + 1, args.end());

    // "--tree=yes" would be read as a true flag: a flag takes no value, so it is refused here.
    for (const std::string& arg : options) {
        const auto equals = arg.find('=');
        if (arg.starts_with("--") && equals != std::string::npos &&
            IsFlagNamed(table, arg.substr(0, equals)))
            return Problem{arg.substr(0, equals) + " takes no value: '" + arg + "'"};
    }

    CLI::App app;
    app.set_help_flag();  // the table's own -h, --help below, so that the help is ours
    app.allow_extras();   // unknown options are named in our words after the parse
    bool help = false;
    app.add_flag_function("-h,--help", [&help](std::int64_t) { help = true; })
        ->disable_flag_override();
    struct Bound {
        const OptionRow* row;
        CLI::Option* option;
    };
    std::vector<Bound> bound;
    for (const OptionGroup& group : table.groups) {
        for (const OptionRow& row : group.rows) {
            CLI::Option* option =
                row.value.empty()
                    ? app.add_flag(row.names)->disable_flag_override()
                    // An option without its value is ours to name: "--scores needs a file name".
                    : app.add_option(row.names)->expected(0, 1)->multi_option_policy(
                          CLI::MultiOptionPolicy::TakeAll);
            bound.push_back({&row, option});
        }
    }
    std::vector<std::string> words;
    app.add_option("operands", words);

    std::vector<std::string> reversed(options.rbegin(), options.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        return Problem{error.what()};
    }
    if (table.help != nullptr) *table.help = help;
    if (help) return {};
    if (const auto extras = app.remaining(); !extras.empty())
        return Problem{"unknown option '" + extras.front() + "'"};

    for (const Bound& b : bound) {
        const OptionRow& row = *b.row;
        if (b.option->count() == 0) {
            if (row.required) return Problem{LongName(row) + " " + row.value + " is needed"};
            continue;
        }
        if (row.value.empty()) {
            row.take({});
            continue;
        }
        // One value an option: of two, the first would be dropped without a word (two
        // --scores would write one file).
        if (b.option->results().size() > 1)
            return Problem{LongName(row) + " is given more than once"};
        for (const std::string& value : b.option->results())
            if (value.empty() || !row.take(value)) return Problem{ValueProblem(row)};
    }
    words.insert(words.end(), afterEnd.begin(), afterEnd.end());
    return TakeOperands(table, words);
}

}  // namespace kvr::cli
