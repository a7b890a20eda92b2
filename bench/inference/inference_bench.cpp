// Wall time and peak memory of TOLVEN_Inference over a large feature file.
//
// usage: inference_bench TOOL MODEL [ROWS]
// Writes ROWS random rows (default 100,000) under the 96 required columns plus four others, runs
// the tool on them three times and on a one-row file (the baseline: program, ONNX Runtime and
// model), and prints the best wall time, the peak resident memory and the memory per row.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "required_columns.h"

namespace {

struct Measure {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

Measure RunOnce(const std::string& tool, const std::string& input, const std::string& output,
                const std::string& model) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        ::execl(tool.c_str(), tool.c_str(), input.c_str(), output.c_str(), model.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    Measure measure;
    measure.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measure.peakKiB = usage.ru_maxrss;
    measure.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return measure;
}

void WriteFeatures(const std::string& path, long rows) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fputs("case,group", file);
    for (const tolven::RequiredColumn& column : tolven::kRequiredColumns) {
        std::fprintf(file, ",%.*s", static_cast<int>(column.name.size()), column.name.data());
    }
    std::fputs(",note,weight\n", file);
    std::mt19937 random(12345);
    std::normal_distribution<float> normal;
    for (long r = 0; r < rows; ++r) {
        std::fprintf(file, "%ld,A", r);
        for (const tolven::RequiredColumn& column : tolven::kRequiredColumns) {
            std::fprintf(file, ",%.7g", column.mean + column.scale * normal(random));
        }
        std::fputs(",x,1\n", file);
    }
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: inference_bench TOOL MODEL [ROWS]\n");
        return 2;
    }
    const std::string tool = argv[1];
    const std::string model = argv[2];
    const long rows = argc > 3 ? std::atol(argv[3]) : 100'000;

    const auto folder =
        std::filesystem::temp_directory_path() / ("inference-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string large = folder / "large.txt";
    const std::string single = folder / "single.txt";
    const std::string output = folder / "output.txt";
    WriteFeatures(large, rows);
    WriteFeatures(single, 1);

    const Measure baseline = RunOnce(tool, single, output, model);
    Measure best;
    for (int run = 0; run < 3; ++run) {
        const Measure measure = RunOnce(tool, large, output, model);
        if (measure.status != 0 || baseline.status != 0) {
            std::fprintf(stderr, "TOLVEN_Inference failed (status %d)\n", measure.status);
            return 1;
        }
        if (run == 0 || measure.seconds < best.seconds) best.seconds = measure.seconds;
        best.peakKiB = std::max(best.peakKiB, measure.peakKiB);
    }
    const double perRow = (best.peakKiB - baseline.peakKiB) * 1024.0 / static_cast<double>(rows);
    std::printf("model            %s\n", model.c_str());
    std::printf("rows             %ld (%.1f MiB of text)\n", rows,
                std::filesystem::file_size(large) / 1048576.0);
    std::printf("wall time        %.3f s (best of 3); one row: %.3f s\n", best.seconds,
                baseline.seconds);
    std::printf("peak memory      %.1f MiB; one row: %.1f MiB\n", best.peakKiB / 1024.0,
                baseline.peakKiB / 1024.0);
    std::printf("memory per row   %.0f bytes above the one-row run\n", perRow);
    std::filesystem::remove_all(folder);
    return 0;
}
