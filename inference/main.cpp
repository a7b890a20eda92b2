// TOLVEN_Inference [feature file] [output file] [model file] | --help | --version
// Reads and standardises the feature table, runs the model over all rows at once, and writes
// three values per row. Errors go to standard error with "Error: " and exit status 1.
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <string_view>

#include "feature_table.h"
#include "io/file_io.h"
#include "io/text.h"
#include "kvr_version.h"
#include "model_run.h"
#include "output_file.h"

namespace {

constexpr const char* kUsage =
    "Usage: TOLVEN_Inference [FEATURE_FILE [OUTPUT_FILE [MODEL_FILE]]]\n"
    "\n"
    "Runs an ONNX model over a table of numeric features and writes the model's three values\n"
    "for each row.\n"
    "\n"
    "  FEATURE_FILE  comma-separated table whose header names the 96 required columns\n"
    "                (default NN_inputs.txt)\n"
    "  OUTPUT_FILE   one line of three values per accepted row (default NN_output.txt)\n"
    "  MODEL_FILE    the ONNX model (default TOLVEN_Revise.onnx)\n"
    "\n"
    "Options:\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "The model is not part of KVR: use the model file that comes with your feature tables. It\n"
    "takes a float input \"input\" of shape [rows, 96] and gives a float output \"Identity:0\"\n"
    "of shape [rows, 3]. Errors go to standard error, and the exit status is then 1.\n";

int Fail(const std::string& message) {
    // Paths and fields may hold any byte: none reaches the terminal as a control character.
    std::cerr << "Error: " + kvr::PrintableText(message) + "\n";
    return 1;
}

int RunTool(int argc, char** argv) {
    // First, they ask for the help or the version; a feature file of such a name is ./--help.
    if (argc > 1) {
        const std::string_view first = argv[1];
        if (first == "-h" || first == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (first == "--version") {
            std::cout << "TOLVEN_Inference " << kvr::kVersion << '\n';
            return 0;
        }
    }
    kvr::RemoveTemporaryFileOnStopSignals();
    const std::string inputPath = argc > 1 ? argv[1] : "NN_inputs.txt";
    const std::string outputPath = argc > 2 ? argv[2] : "NN_output.txt";
    const std::string modelPath = argc > 3 ? argv[3] : "TOLVEN_Revise.onnx";

    // The output replaces its file whole: naming the feature table or the model would lose it.
    for (const std::string& given : {inputPath, modelPath})
        if (kvr::ReplacesFile(outputPath, given))
            return Fail("the output file " + outputPath + " is the file " + given +
                        ", which it would replace");

    tolven::FeatureTableResult table = tolven::ReadFeatureTable(inputPath, std::cerr);
    if (!table.error.empty()) return Fail(table.error);
    const std::size_t rows = table.matrix.rowCount;

    // Declared after the table, so released before the matrix that its input tensor borrows.
    tolven::ModelRun model;
    if (std::string error = model.Run(modelPath, table.matrix.Values(), rows); !error.empty()) {
        return Fail(error);
    }
    if (std::string error = tolven::WriteOutputFile(outputPath, model.Outputs(), rows);
        !error.empty()) {
        return Fail(error);
    }
    std::cout << "Inference complete: " << rows << " rows -> " << outputPath << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return RunTool(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory: the feature file is too large for the memory of this machine");
    } catch (const std::exception& error) {
        return Fail(std::string("stopped by an unexpected error: ") + error.what());
    }
}
