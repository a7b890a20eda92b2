// What kvr is asked to write: the text outputs, each one small writer registered in
// kTextOutputs, and the pictures. Shared by the command line, which fills it, and the output step.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/export_request.h"
#include "app/kvr_pictures.h"
#include "model/analysis.h"

namespace kvr::cli {

// One text output: its option, its help (whole sentences), and its writer.
struct TextOutput {
    std::string_view option;
    std::string_view help;
    void (*write)(std::ostream& out, const Analysis& analysis);
};

// Every text output, in the order of the help and of the writing.
extern const std::vector<TextOutput> kTextOutputs;

struct OutputRequest {
    std::vector<std::string> text = std::vector<std::string>(kTextOutputs.size());  // "": not asked
    PictureRequest pictures;
    ExportRequest exports;

    // The file of the text output with this option, "" when not asked.
    std::string& File(std::string_view option);
    const std::string& File(std::string_view option) const;
    std::vector<std::string> Paths() const;
    // One text output goes to standard output: the display order is then not printed.
    bool ToStandardOutput() const;
};

// The file name of a text output that goes to standard output.
inline constexpr const char* kStandardOutput = "-";

}  // namespace kvr::cli
