// Matrix pictures of any size through kvr's picture writer: the PNG image, and the SVG and PDF
// files, of 5,000 sequences in related groups. Prints seconds, file sizes, the image's size and
// the peak memory of the process, to compare with the picture's own size.
//   bench_matrix_image [SEQUENCES] [VECTOR_SEQUENCES]
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>

#include <QImageReader>

#include "app/kvr_pictures.h"
#include "pictures/grouped_analysis.h"
#include "support/seconds.h"

namespace {

using kvr::bench::Seconds;

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

double Megabytes(const std::string& path) {
    return static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int vectorN = argc > 2 ? std::atoi(argv[2]) : 2000;
    const std::string folder = std::filesystem::temp_directory_path() / "kvr-bench-image";
    std::filesystem::create_directories(folder);

    kvr::RunState state = kvr::bench::GroupedAnalysis(n);
    const double tableMb = PeakMegabytes();
    kvr::cli::PictureRequest image;
    image.matrixImage = folder + "/matrix.png";
    const double imageSeconds = Seconds([&] { kvr::cli::WritePictures(state, image, std::cerr); });
    const QSize size = QImageReader(QString::fromStdString(image.matrixImage)).size();
    std::printf(
        "matrix image, %d sequences: %.2f s, %d x %d pixels (%.0f MB as 32-bit pixels), PNG "
        "%.1f MB; peak memory %.0f MB, of which %.0f MB before drawing (identity table)\n",
        n, imageSeconds, size.width(), size.height(), 4.0 * size.width() * size.height() / 1e6,
        Megabytes(image.matrixImage), PeakMegabytes(), tableMb);

    kvr::RunState smaller = kvr::bench::GroupedAnalysis(vectorN);
    kvr::cli::PictureRequest vector;
    vector.matrixSvg = folder + "/matrix.svg";
    vector.matrixPdf = folder + "/matrix.pdf";
    const double vectorSeconds =
        Seconds([&] { kvr::cli::WritePictures(smaller, vector, std::cerr); });
    std::printf("SVG and PDF, %d sequences: %.2f s, SVG %.1f MB, PDF %.1f MB\n", vectorN,
                vectorSeconds, Megabytes(vector.matrixSvg), Megabytes(vector.matrixPdf));
    return 0;
}
