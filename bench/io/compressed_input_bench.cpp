// Reading input files as the loader does (ReadInputFile: plain, or gzip, bzip2, xz or zstd
// unpacked as it is read): the median seconds of several reads of each file, the text's size and
// a checksum of it, so that two builds can be compared on the same files.
//   bench_compressed_input [--runs N] FILE...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "io/checksum.h"
#include "io/input_file.h"
#include "support/seconds.h"

int main(int argc, char** argv) {
    int runs = 5;
    std::vector<std::string> files;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--runs" && k + 1 < argc)
            runs = std::max(1, std::atoi(argv[++k]));
        else
            files.push_back(arg);
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: bench_compressed_input [--runs N] FILE...\n");
        return 2;
    }
    for (const std::string& file : files) {
        std::vector<double> seconds;
        kvr::InputText input;
        for (int r = 0; r < runs; ++r)
            seconds.push_back(kvr::bench::Seconds([&] { input = kvr::ReadInputFile(file); }));
        if (!input.text) {
            std::printf("%s: %s\n", file.c_str(), input.problem.c_str());
            continue;
        }
        std::sort(seconds.begin(), seconds.end());
        const double median = seconds[seconds.size() / 2];
        std::printf(
            "%s: %.1f MB of text, median %.3f s of %d (%.3f to %.3f), %.0f MB/s, sha256 %.16s\n",
            file.c_str(), input.text->size() / 1e6, median, runs, seconds.front(), seconds.back(),
            input.text->size() / 1e6 / median, kvr::Sha256Hex(*input.text).c_str());
    }
    return 0;
}
