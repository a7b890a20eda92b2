// kvr run with picture outputs: the real program on the five-sequence golden input, with an
// "aligner" that copies the pair file, so that the identities are known.
#include <gtest/gtest.h>

#include <QImage>
#include <QXmlStreamReader>
#include <cmath>
#include <sstream>

#include "engine/external_programs.h"
#include "matrix/matrix_canvas.h"
#include "matrix/matrix_picture.h"
#include "state/file_io.h"
#include "support/emf_reader.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::ReadEmf;
using testing::TempFolder;

// kvr run --quiet on the golden input with the words of arguments, in folder.
testing::ProgramResult Kvr(const TempFolder& folder, const std::string& arguments) {
    std::vector<std::string> words = {"run", "--quiet", DataFile("kvr_run/families.fasta")};
    std::istringstream in(arguments);
    for (std::string word; in >> word;) words.push_back(word);
    return testing::RunProgram(
        "kvr", words, {.folder = folder.Path(), .environment = {"KVR_MUSCLE=cp {in} {out}"}});
}

TEST(KvrRunPictures, WritesEveryPictureWithoutADisplay) {
    TempFolder folder;
    const auto run = Kvr(folder,
                         "--mode three --cutoffs 40,30 --matrix-emf m.emf --plot-emf p.emf "
                         "--matrix-image m.png --plot-image p.BMP");
    ASSERT_EQ(run.status, 0) << run.err;

    // Five sequences, names up to ">A_2_": L = round(5 x 8.5) = 42.
    const auto matrix = ReadEmf(folder.File("m.emf"));
    ASSERT_TRUE(matrix.has_value());
    EXPECT_EQ(matrix->FrameWidth(), MatrixPictureFrame(5, 5).width);
    EXPECT_EQ(matrix->Count(testing::kEmrRectangle), 15u + 22);
    // A_1 and C_1 (0.7) in the red band above the cut-offs, which the smallest identity (0.5)
    // raised to 50 and 50: (70 - 50) / 50 x 21 + 42 = 50.4 -> index 50.
    EXPECT_EQ(matrix->OfType(testing::kEmrCreateBrushIndirect)[1].Colour(), (Rgb{255, 72, 72}));
    EXPECT_EQ(matrix->Texts()[0], "A_1");

    const auto plot = ReadEmf(folder.File("p.emf"));
    ASSERT_TRUE(plot.has_value());
    EXPECT_LT(plot->FrameHeight(), 27000) << "the frame ends a margin below the drawing";
    EXPECT_EQ(plot->Texts()[2], " 50") << "the axis starts at the smallest identity";

    const QImage image(QString::fromStdString(folder.File("m.png")), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 258);  // wider than 5 x 400 + 450 + 1425 twips: the key's title
    // The key's 22 boxes from half-way down the triangle plus 300: 1250 + 2376 + 60 twips.
    EXPECT_EQ(image.height(), 246);
    const QImage plotImage(QString::fromStdString(folder.File("p.BMP")), "BMP");
    EXPECT_EQ(plotImage.size(), QSize(1160, 757));
}

TEST(KvrRunPictures, RefusesWrongPictureOptionsBeforeAligning) {
    struct Case {
        std::string arguments;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {"--mode colour", 2, "kvr run: --mode needs full or three\n"},
        {"--cutoffs 78,94", 2,
         "kvr run: the cut-offs must be whole percentages from 0 to 100, the first not below the "
         "second\n"},
        {"--plot-image plot.jpg", 2,
         "kvr run: cannot tell the image format of plot.jpg: the name must end in .png or .bmp\n"},
        {"--matrix-emf /nonexistent-folder/m.emf", 1,
         "kvr run: cannot write /nonexistent-folder/m.emf: no folder /nonexistent-folder\n"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const auto run = Kvr(folder, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_TRUE(run.err.starts_with(c.error)) << run.err;
    }
}

// Names are the user's: control characters, XML's own marks and bytes that are not UTF-8 leave
// every picture readable.
TEST(KvrRunPictures, HostileNamesLeaveEveryPictureReadable) {
    TempFolder folder;
    const std::string input = folder.Write(
        "hostile.fasta",
        ">a\x01b\nACGTACGTAAGG\n>esc\x1b[31mred\nACGTACGTAAGC\n>x<&>\"'\xff\nACGAACGTTAGC\n");
    const auto run = testing::RunProgram(
        "kvr", {"run", "--quiet", input, "--matrix-svg", "m.svg", "--matrix-pdf", "m.pdf",
                "--matrix-emf", "m.emf", "--matrix-image", "m.png", "--plot-svg", "p.svg"},
        {.folder = folder.Path()});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* svg : {"m.svg", "p.svg"}) {
        const auto text = ReadWholeFile(folder.File(svg));
        ASSERT_TRUE(text.has_value()) << svg;
        QXmlStreamReader xml(QByteArray::fromStdString(*text));
        while (!xml.atEnd()) xml.readNext();
        EXPECT_FALSE(xml.hasError()) << svg << ": " << xml.errorString().toStdString();
    }
    const auto svg = ReadWholeFile(folder.File("m.svg"));
    ASSERT_TRUE(svg.has_value());
    EXPECT_EQ(svg->find_first_of("\x01\x1b"), std::string::npos);
    EXPECT_NE(svg->find("\xef\xbf\xbd"), std::string::npos) << "U+FFFD in place of a control";
    const auto pdf = ReadWholeFile(folder.File("m.pdf"));
    ASSERT_TRUE(pdf.has_value());
    EXPECT_TRUE(pdf->starts_with("%PDF-") && pdf->find("%%EOF") != std::string::npos);
    EXPECT_TRUE(ReadEmf(folder.File("m.emf")).has_value());
    EXPECT_FALSE(QImage(QString::fromStdString(folder.File("m.png")), "PNG").isNull());
}

}  // namespace
}  // namespace kvr
