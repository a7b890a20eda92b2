#include "app/cli/help_text.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace kvr::cli {

namespace {

constexpr std::size_t kWidth = 79;   // the help fits a terminal of 80 columns
constexpr std::size_t kColumn = 24;  // where an option's help starts

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + separator.size();
    }
}

// Appends text word by word, after `column` characters already on the line; a word that would
// pass the width starts a new line at `indent`.
void AppendWrapped(std::string& out, const std::string& text, std::size_t column,
                   std::size_t indent) {
    std::istringstream words(text);
    bool lineStarted = false;
    for (std::string word; words >> word;) {
        if (lineStarted && column + 1 + word.size() > kWidth) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
            lineStarted = false;
        }
        if (lineStarted) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStarted = true;
    }
    out += '\n';
}

// "-o, --out FILE".
std::string OptionLabel(const OptionRow& row) {
    std::string label;
    for (const std::string& name : Split(row.names, ","))
        label += (label.empty() ? "" : ", ") + name;
    return row.value.empty() ? label : label + " " + row.value;
}

void AppendRow(std::string& out, const std::string& label, const std::string& help) {
    out += "  " + label;
    std::size_t column = 2 + label.size();
    if (column + 2 > kColumn) {
        out += "\n";
        column = 0;
    }
    out += std::string(kColumn - column, ' ');
    AppendWrapped(out, help, kColumn, kColumn);
}

std::string Synopsis(const CommandTable& table) {
    std::string synopsis;
    bool optional = false;
    for (const OperandRow& operand : table.operands) synopsis += " " + operand.name;
    for (const OptionGroup& group : table.groups)
        for (const OptionRow& row : group.rows) {
            if (row.required) {
                synopsis += " " + LongName(row) + " " + row.value;
            } else if (!row.hidden) {
                optional = true;
            }
        }
    return synopsis + (optional ? " [options]" : "");
}

const OptionRow kHelpRow{"-h,--help", "", "This help."};

// troff: backslashes and the minus signs of options kept, no line taken for a request.
std::string Roff(const std::string& text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        const bool wordStart = k == 0 || text[k - 1] == ' ' || text[k - 1] == '-' ||
                               text[k - 1] == '(' || text[k - 1] == '\'' || text[k - 1] == '"' ||
                               text[k - 1] == '\n';
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-' && wordStart) {
            out += "\\-";
        } else {
            out += c;
        }
        if (c == '\n' && k + 1 < text.size() && (text[k + 1] == '.' || text[k + 1] == '\''))
            out += "\\&";
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

std::string RoffLabel(const OptionRow& row) {
    std::string label;
    for (const std::string& name : Split(row.names, ","))
        label += (label.empty() ? "" : ", ") + ("\\fB" + Roff(name) + "\\fR");
    return row.value.empty() ? label : label + " \\fI" + Roff(row.value) + "\\fR";
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string TitleLine(const std::string& name, const ManPageSource& source) {
    return ".TH " + Roff(Upper(name)) + " \"1\" " + Quoted(source.date) + " " +
           Quoted("kvr " + source.version) + " \"User Commands\"\n";
}

// Paragraphs of text; a paragraph's lines of the form "WHAT: text" become tagged paragraphs.
std::string RoffText(const std::string& text) {
    std::string out;
    for (const std::string& paragraph : Split(text, "\n\n")) {
        const std::vector<std::string> lines = Split(paragraph, "\n");
        if (lines.size() == 1) {
            out += ".PP\n" + Roff(paragraph) + "\n";
            continue;
        }
        for (const std::string& line : lines) {
            const auto colon = line.find(": ");
            if (colon != std::string::npos && colon <= 16) {
                out += ".TP\n.B " + Roff(line.substr(0, colon)) + "\n" +
                       Roff(line.substr(colon + 2)) + "\n";
            } else {
                out += ".PP\n" + Roff(line) + "\n";
            }
        }
    }
    return out;
}

// The sections of a help2man include file: "[NAME]" lines, each followed by its troff.
std::vector<std::pair<std::string, std::string>> ExtraSections(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> sections;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!sections.empty()) {
            sections.back().second += line + "\n";
        }
    }
    for (auto& section : sections) {
        std::string& body = section.second;
        while (body.size() > 1 && body[body.size() - 2] == '\n') body.pop_back();
    }
    return sections;
}

void AppendSections(std::string& out, const std::vector<HelpSection>& sections) {
    for (const HelpSection& section : sections) {
        out += "\n" + section.title + ":\n";
        for (const std::string& paragraph : Split(section.text, "\n\n")) {
            // The lines of a list ("0: done") hang; a paragraph's lines align.
            const std::vector<std::string> lines = Split(paragraph, "\n");
            for (const std::string& line : lines) {
                out += "  ";
                AppendWrapped(out, line, 2, lines.size() > 1 ? 4 : 2);
            }
        }
    }
}

}  // namespace

std::string FormatUsage(const CommandTable& table) {
    return "usage: kvr " + table.name + Synopsis(table) + "\n";
}

std::string FormatHelp(const CommandTable& table) {
    std::string out = FormatUsage(table);
    for (const std::string& paragraph : Split(table.description, "\n\n")) {
        out += "\n";
        AppendWrapped(out, paragraph, 0, 0);
    }
    if (!table.operands.empty()) {
        out += "\narguments:\n";
        for (const OperandRow& operand : table.operands) AppendRow(out, operand.name, operand.help);
    }
    std::vector<OptionGroup> groups = table.groups;
    if (groups.empty()) groups.push_back({"options", {}});
    groups.back().rows.push_back(kHelpRow);
    for (const OptionGroup& group : groups) {
        out += "\n" + group.title + ":\n";
        for (const OptionRow& row : group.rows)
            if (!row.hidden) AppendRow(out, OptionLabel(row), row.help);
    }
    AppendSections(out, table.sections);
    return out;
}

std::string FormatOverview(const std::vector<CommandTable>& tables,
                           const std::vector<HelpSection>& sections) {
    std::string out = "usage: kvr COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const CommandTable& table : tables) {
        std::string label = table.name;
        for (const OperandRow& operand : table.operands) label += " " + operand.name;
        AppendRow(out, label, table.summary);
    }
    out += "\n";
    AppendWrapped(out,
                  "'kvr help COMMAND' or 'kvr COMMAND --help' describes a command; 'kvr "
                  "--version' prints the version; 'kvr --citation' says how to cite kvr and the "
                  "programs it runs.",
                  0, 0);
    AppendSections(out, sections);
    return out;
}

std::string FormatManPage(const CommandTable& table, const ManPageSource& source) {
    const std::string page = "kvr-" + table.name;
    std::string out = TitleLine(page, source);
    out += ".SH NAME\n" + Roff(page) + " \\- " + Roff(table.summary) + "\n";
    out += ".SH SYNOPSIS\n.B kvr " + table.name + "\n" + Roff(Synopsis(table).substr(1)) + "\n";
    out += ".SH DESCRIPTION\n" + RoffText(table.description);
    out += ".SH OPTIONS\n";
    for (const OperandRow& operand : table.operands)
        out += ".TP\n.I " + Roff(operand.name) + "\n" + Roff(operand.help) + "\n";
    std::vector<OptionGroup> groups = table.groups;
    if (groups.empty()) groups.push_back({"options", {}});
    groups.back().rows.push_back(kHelpRow);
    for (const OptionGroup& group : groups) {
        std::string title = group.title;
        title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
        out += ".SS " + Quoted(title) + "\n";
        for (const OptionRow& row : group.rows)
            if (!row.hidden) out += ".TP\n" + RoffLabel(row) + "\n" + Roff(row.help) + "\n";
    }
    for (const HelpSection& section : table.sections)
        out += ".SH " + Quoted(Upper(section.title)) + "\n" + RoffText(section.text);
    out += ".SH \"SEE ALSO\"\n.BR kvr (1)\n";
    return out;
}

std::string FormatOverviewManPage(const std::vector<CommandTable>& tables,
                                  const std::vector<HelpSection>& sections,
                                  const ManPageSource& source) {
    const auto extras = ExtraSections(source.extraSections);
    std::string out = TitleLine("kvr", source);
    out += ".SH NAME\nkvr \\- pairwise identity of nucleotide sequences, without a window\n";
    out += ".SH SYNOPSIS\n.B kvr\n\\fICOMMAND\\fR [\\fIARGUMENTS\\fR]\n";
    for (const auto& [name, body] : extras)
        if (name == "DESCRIPTION") out += ".SH DESCRIPTION\n" + body;
    out += ".SH COMMANDS\n";
    for (const CommandTable& table : tables)
        out += ".TP\n\\fBkvr " + Roff(table.name) + "\\fR " + Roff(Synopsis(table).substr(1)) +
               "\n" + Roff(table.summary) + "; see\n.BR kvr\\-" + Roff(table.name) + " (1).\n";
    out +=
        ".SH OPTIONS\n.TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR, \\fBhelp\\fR [\\fICOMMAND\\fR]\n"
        "The commands, or the help of one.\n.TP\n\\fB\\-\\-version\\fR, \\fBversion\\fR\n"
        "The version of kvr.\n.TP\n\\fB\\-\\-citation\\fR\n"
        "How to cite kvr and the programs it runs.\n";
    for (const HelpSection& section : sections)
        out += ".SH " + Quoted(Upper(section.title)) + "\n" + RoffText(section.text);
    for (const auto& [name, body] : extras)
        if (name != "DESCRIPTION") out += ".SH " + Quoted(name) + "\n" + body;
    out += ".SH \"SEE ALSO\"\n";
    for (const CommandTable& table : tables) out += ".BR kvr\\-" + Roff(table.name) + " (1),\n";
    out += ".BR muscle (1),\n.BR mafft (1),\n.BR clustalw (1)\n";
    return out;
}

}  // namespace kvr::cli
