// TOLVEN_Inference [feature file] [output file] [model file] | --version
// Reads and standardises the feature table, runs the model over all rows at once, and writes
// three values per row. Errors go to standard error with "Error: " and exit status 1.
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "feature_table.h"
#include "kvr_version.h"
#include "model_run.h"
#include "output_file.h"
#include "printable_text.h"
#include "state/file_io.h"

namespace {

int Fail(const std::string& message) {
    // Paths and fields may hold any byte: none reaches the terminal as a control character.
    std::cerr << "Error: " + tolven::PrintableText(message) + "\n";
    return 1;
}

int RunTool(int argc, char** argv) {
    // Alone, it asks for the version; a feature file of that name can be given as ./--version.
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "TOLVEN_Inference " << kvr::kVersion << '\n';
        return 0;
    }
    kvr::RemoveTemporaryFileOnStopSignals();
    const std::string inputPath = argc > 1 ? argv[1] : "NN_inputs.txt";
    const std::string outputPath = argc > 2 ? argv[2] : "NN_output.txt";
    const std::string modelPath = argc > 3 ? argv[3] : "TOLVEN_Revise.onnx";

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
