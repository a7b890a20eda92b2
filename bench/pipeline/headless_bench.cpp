// The headless path at scale: peak memory and time of kvr show and kvr merge on made-up sets of
// n sequences (short random sequences, identities drawn at random; the session and the shards are
// written directly), with every text output, with the streamed outputs only, and with the tree;
// kvr's own peak and that of the programs it ran (the tree program), and what each command wrote
// in the work folder. The outputs go to a null device made in the benchmark's own folder (kvr
// gathers a device's bytes in a temporary file first, as for any device).
//   bench_headless [--tree] [--limit-gb G] [SEQUENCES...]
// Default sizes: 2000 5000 20000 without the tree; with --tree: 1000 2000 5000 (the tree
// program alone takes minutes at 5000). Every command runs under an address-space limit of G GB
// (default 16), so that a run that would outgrow the machine fails instead.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/program_folder.h"
#include "model/pair_order.h"
#include "pipeline/external_programs.h"
#include "support/seconds.h"
#include "support/synthetic_shards.h"

namespace {

using namespace kvr;

// The kvr measured: the one built beside the benchmark, or $KVR_BENCH_PROGRAM (a copy of an
// older build, to compare).
std::string Kvr() {
    const char* other = std::getenv("KVR_BENCH_PROGRAM");
    return other != nullptr && *other != 0 ? other : std::string(KVR_BIN_DIR) + "/kvr";
}

struct Measure {
    double seconds = 0;
    double ownPeak = 0;  // MiB: kvr's own peak (VmHWM), read while it runs
    double peak = 0;     // MiB: the largest of kvr and the programs it ran (the tree program)
    int status = -1;
};

// kvr's peak resident memory so far, in KiB; 0 once it has gone.
long PeakKibibytes(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// Runs a command line that execs kvr, in a child of its own, so that its peak memory is its own
// (MiB, as the table's 4 bytes a pair are printed).
Measure Run(const std::string& command, double limitGigabytes) {
    Measure measure;
    measure.seconds = bench::Seconds([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            const auto bytes = static_cast<rlim_t>(limitGigabytes * 1024 * 1024 * 1024);
            const rlimit limit{bytes, bytes};
            ::setrlimit(RLIMIT_AS, &limit);
            ::execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        long own = 0;
        while (::wait4(child, &status, WNOHANG, &usage) == 0) {
            own = std::max(own, PeakKibibytes(child));
            ::usleep(20000);
        }
        measure.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        measure.ownPeak = static_cast<double>(own) / 1024.0;
        measure.peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
    });
    return measure;
}

// The bytes of the files in a folder and below it written since a time.
double WrittenMegabytes(const std::string& folder, std::filesystem::file_time_type since) {
    std::error_code error;
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file(error) && entry.last_write_time(error) >= since)
            bytes += entry.file_size(error);
    return static_cast<double>(bytes) / 1e6;
}

struct MadeSet {
    std::string fasta;
    std::string session;
    std::string shards;  // the shard files, quoted, each after a space
};

// n sequences of 40 random bases, their session and eight shards of random identities.
MadeSet MakeSet(const std::string& folder, int n) {
    std::mt19937 random(static_cast<unsigned>(n));
    std::string fasta;
    std::vector<std::size_t> lengths;
    std::vector<std::string> residues;
    for (int i = 0; i < n; ++i) {
        std::string r;
        for (int k = 0; k < 40; ++k) r += "ACGT"[random() % 4];
        fasta += ">seq_" + std::to_string(i + 1) + "\n" + r + "\n";
        lengths.push_back(r.size());
        residues.push_back(std::move(r));
    }
    MadeSet set{folder + "/set.fasta", folder + "/set.kvr", {}};
    WriteWholeFile(set.fasta, fasta);

    std::uniform_int_distribution<int> compared(20, 40);
    const auto identity = [&] {
        const int g = compared(random);
        const int m = g - static_cast<int>(random() % static_cast<unsigned>(g / 2));
        return static_cast<float>(static_cast<double>(m) / g);
    };

    std::ofstream session(set.session, std::ios::binary);
    for (int k = 0; k < n; ++k)
        session << (k == 0 ? "[[[" : "") << ">seq_" << k + 1 << "\r\n"
                << residues[k] << (k == n - 1 ? "]]]" : "") << "\r\n";
    for (int i = 1; i < n; ++i)
        for (int j = 0; j < i; ++j) session << PlainSingle(identity()) << "\r\n";

    set.shards = bench::WriteSyntheticShards(folder, fasta, lengths, 8, identity);
    return set;
}

void Report(const char* what, int n, const Measure& m, double workFolderGrowth) {
    const double pairs = static_cast<double>(PairCount(n));
    std::printf(
        "%-44s n=%6d  %8.1f s  peak %6.0f MiB (with the programs it ran %6.0f MiB)  table "
        "%5.0f MiB  work folder %.2f MB written  status %d\n",
        what, n, m.seconds, m.ownPeak, m.peak, pairs * 4 / 1048576.0, workFolderGrowth, m.status);
    std::fflush(stdout);
}

void Measures(const std::string& folder, const std::string& null, int n, bool tree, double limit) {
    const MadeSet set = MakeSet(folder, n);
    const std::string every = " --quiet --scores " + null + " --session " + null +
                              " --matrix-text " + null + " --plot-data " + null + " --sequences " +
                              null;
    const std::string merge = ShellQuote(Kvr()) + " merge " + ShellQuote(set.fasta) + set.shards;
    const std::string work = WorkFolder(std::filesystem::path(Kvr()).parent_path().string());
    const auto measured = [&](const char* what, const std::string& command) {
        const auto before = std::filesystem::file_time_type::clock::now();
        const Measure m =
            Run(command + " >" + null + " 2>" + ShellQuote(folder + "/err.txt"), limit);
        Report(what, n, m, WrittenMegabytes(work, before));
        if (m.status != 0 && m.status != 1) {
            const auto err = ReadWholeFile(folder + "/err.txt");
            std::printf("  %s\n", err ? err->substr(0, 400).c_str() : "");
        }
    };
    if (tree) {
        measured("kvr merge, every text output, --tree", merge + every + " --tree");
    } else {
        measured("kvr show, every text output",
                 ShellQuote(Kvr()) + " show " + ShellQuote(set.session) + every);
        measured("kvr merge, every text output", merge + every);
        measured("kvr merge, --scores and --plot-data only",
                 merge + " --quiet --scores " + null + " --plot-data " + null);
    }
    for (const std::string& path : {set.fasta, set.session, folder + "/err.txt"})
        DeleteFileQuietly(path);
    for (int k = 1; k <= 8; ++k) DeleteFileQuietly(folder + "/shard" + std::to_string(k) + ".tsv");
}

}  // namespace

int main(int argc, char** argv) {
    bool tree = false;
    double limit = 16;
    std::vector<int> sizes;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--tree")
            tree = true;
        else if (arg == "--limit-gb" && a + 1 < argc)
            limit = std::atof(argv[++a]);
        else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos)
            sizes.push_back(std::atoi(arg.c_str()));
        else {
            std::fprintf(stderr, "usage: bench_headless [--tree] [--limit-gb G] [SEQUENCES...]\n");
            return 2;
        }
    }
    if (sizes.empty())
        sizes = tree ? std::vector<int>{1000, 2000, 5000} : std::vector{2000, 5000, 20000};

    char folderName[] = "/tmp/kvr-bench-headless-XXXXXX";
    const std::string folder = ::mkdtemp(folderName);
    const std::string null = folder + "/null";
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) {
        std::perror("mknod (a null device for the outputs needs root)");
        return 1;
    }
    for (const int n : sizes) Measures(folder, ShellQuote(null), n, tree, limit);
    DeleteFileQuietly(null);
    ::rmdir(folder.c_str());
    return 0;
}
