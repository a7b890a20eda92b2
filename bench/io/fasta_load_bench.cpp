// Loading a large FASTA file: 100,000 records of 1,000 residues (about 100 MB), once through the
// recording window and once through the real Qt window (offscreen). Prints seconds per load.
//   bench_fasta_load [RECORDS] [LENGTH]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <QApplication>

#include "fakes/recording_window.h"
#include "io/fasta.h"
#include "io/file_io.h"
#include "platform/qt/qt_main_window.h"
#include "support/seconds.h"
#include "ui/window_progress.h"

namespace {

using kvr::bench::Seconds;

std::string MakeFasta(int records, int length) {
    std::mt19937 random(7);
    const char bases[] = "ACGT";
    std::string text;
    text.reserve(static_cast<std::size_t>(records) * (length + length / 60 + 24));
    for (int r = 0; r < records; ++r) {
        text += ">sequence_" + std::to_string(r) + " sample (" + std::to_string(r % 97) + ")\n";
        for (int i = 0; i < length; ++i) {
            text += bases[random() % 4];
            if (i % 60 == 59) text += '\n';
        }
        text += '\n';
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int length = argc > 2 ? std::atoi(argv[2]) : 1000;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    const std::string path = "/tmp/kvr-bench-load.fasta";
    const std::string text = MakeFasta(records, length);
    kvr::WriteWholeFile(path, text);
    std::printf("file: %d records of %d residues, %.1f MB\n", records, length, text.size() / 1e6);

    kvr::RunState fakeState;
    kvr::RecordingWindow fake;
    const double fakeSeconds = Seconds([&] { kvr::LoadFasta(fakeState, fake.progress, path); });
    std::printf("LoadFasta, recording window: %.2f s (%d sequences, %zu progress updates)\n",
                fakeSeconds, fakeState.seqCount,
                fake.valueHistory[kvr::Control::ProgressBar1].size());

    kvr::RunState qtState;
    kvr::QtMainWindow window;
    kvr::WindowProgress qtProgress(window);
    const double qtSeconds = Seconds([&] { kvr::LoadFasta(qtState, qtProgress, path); });
    std::printf("LoadFasta, Qt window:        %.2f s (%s)\n", qtSeconds,
                window.Caption(kvr::Control::lblProgress).c_str());
    kvr::DeleteFileQuietly(path);
    return 0;
}
