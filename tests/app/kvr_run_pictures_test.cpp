// kvr run with picture outputs: the real program on the five-sequence golden input, with an
// "aligner" that copies the pair file, so that the identities are known.
#include <gtest/gtest.h>

#include <QImage>
#include <QXmlStreamReader>
#include <cmath>
#include <sstream>

#include "io/file_io.h"
#include "pictures/matrix_canvas.h"
#include "pictures/matrix_picture.h"
#include "pipeline/external_programs.h"
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

// --outline-groups on the real pictures: the families at 80 % are A_1, A(2), A_3 and C_1, C_2,
// which the input order (no tree) splits into runs of one row each: three squares and three blocks
// between runs for the A's, two squares and one block for the C's. Each frame is four black
// bands over the picture drawn without them.
TEST(KvrRunPictures, OutlinesTheGroupsSplitByTheDisplayOrder) {
    TempFolder folder;
    const std::string pictures =
        "--groups-at 80 --matrix-emf {}.emf --matrix-image {}.png "
        "--matrix-svg {}.svg";
    const auto named = [&](const std::string& stem) {
        std::string words = pictures;
        for (auto at = words.find("{}"); at != std::string::npos; at = words.find("{}"))
            words.replace(at, 2, stem);
        return words;
    };
    ASSERT_EQ(Kvr(folder, named("plain")).status, 0);
    const auto run = Kvr(folder, named("framed") + " --outline-groups");
    ASSERT_EQ(run.status, 0) << run.err;
    // The blocks (first and last column, first and last row), and the box of each one's top band.
    const int blocks[9][4] = {{0, 0, 0, 0}, {0, 0, 2, 2}, {0, 0, 4, 4}, {2, 2, 2, 2}, {2, 2, 4, 4},
                              {4, 4, 4, 4}, {1, 1, 1, 1}, {1, 1, 3, 3}, {3, 3, 3, 3}};

    // EMF: 22 x 20 unit cells from 52 (names of 5 characters: L = 42), bands of three units.
    const auto plainEmf = ReadEmf(folder.File("plain.emf"));
    const auto framedEmf = ReadEmf(folder.File("framed.emf"));
    ASSERT_TRUE(plainEmf && framedEmf);
    const auto plainBoxes = plainEmf->OfType(testing::kEmrRectangle);
    const auto framedBoxes = framedEmf->OfType(testing::kEmrRectangle);
    ASSERT_EQ(framedBoxes.size(), plainBoxes.size() + 36);
    for (int b = 0; b < 9; ++b) {
        const testing::EmfRecord& top = framedBoxes[15 + 4 * b];  // after the 15 cells
        EXPECT_EQ(top.X(), 52 + 22 * blocks[b][0]) << b;
        EXPECT_EQ(top.Y(), 20 * blocks[b][2]) << b;
        EXPECT_EQ(top.Right(), 52 + 22 * (blocks[b][1] + 1)) << b;
        EXPECT_EQ(top.Bottom(), 20 * blocks[b][2] + 3) << b;
    }

    // SVG: the screen drawing's 400 x 380 twip cells, bands of two pixels (30 twips).
    const auto rects = [](const std::string& text) {
        std::vector<std::string> found;
        for (auto at = text.find("<rect "); at != std::string::npos;
             at = text.find("<rect ", at + 1))
            found.push_back(text.substr(at, text.find("/>", at) - at));
        return found;
    };
    const auto plainSvg = ReadWholeFile(folder.File("plain.svg"));
    const auto framedSvg = ReadWholeFile(folder.File("framed.svg"));
    ASSERT_TRUE(plainSvg && framedSvg);
    const std::vector<std::string> before = rects(*plainSvg), after = rects(*framedSvg);
    ASSERT_EQ(after.size(), before.size() + 36);
    std::size_t firstFrame = 0;
    while (firstFrame < before.size() && before[firstFrame] == after[firstFrame]) ++firstFrame;
    const auto number = [](const std::string& rect, const std::string& name) {
        const auto at = rect.find(" " + name + "=\"");
        return at == std::string::npos ? -1 : std::stoi(rect.substr(at + name.size() + 3));
    };
    const int left = number(after[firstFrame], "x");
    for (int b = 0; b < 9; ++b) {
        const std::string& top = after[firstFrame + 4 * static_cast<std::size_t>(b)];
        EXPECT_EQ(number(top, "x"), left + 400 * blocks[b][0]) << top;
        EXPECT_EQ(number(top, "y"), 380 * blocks[b][2]) << top;
        EXPECT_EQ(number(top, "width"), 400 * (blocks[b][1] - blocks[b][0] + 1)) << top;
        EXPECT_EQ(number(top, "height"), 30) << top;
    }

    // PNG: the same picture where no frame runs; every pixel that changed is black.
    const QImage plainImage(QString::fromStdString(folder.File("plain.png")), "PNG");
    const QImage framedImage(QString::fromStdString(folder.File("framed.png")), "PNG");
    ASSERT_EQ(plainImage.size(), framedImage.size());
    int changed = 0;
    for (int y = 0; y < plainImage.height(); ++y)
        for (int x = 0; x < plainImage.width(); ++x) {
            if (plainImage.pixel(x, y) == framedImage.pixel(x, y)) continue;
            ++changed;
            EXPECT_EQ(framedImage.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
        }
    EXPECT_GT(changed, 9 * 4 * 20);
}

// --picture-tree on the real tree (PHYLIP's neighbor): the EMF and the SVG gain the tree left of
// the names, its five leaves at the rows' middles, and the session keeps it for kvr show; the
// pictures without the option are those of a run without it.
TEST(KvrRunPictures, DrawsTheTreeBesideTheNamesWhenAskedTo) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto kvr = [&](std::vector<std::string> args) {
        return testing::RunProgram("kvr", args, {.folder = folder.Path()});
    };
    ASSERT_EQ(kvr({"run", input, "--aligner", "builtin", "--quiet", "--tree", "--session", "s.kvr",
                   "--matrix-emf", "plain.emf", "--matrix-svg", "plain.svg"})
                  .status,
              0);
    const auto run = kvr({"show", "s.kvr", "--picture-tree", "--matrix-emf", "tree.emf",
                          "--matrix-svg", "tree.svg"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(kvr({"show", "s.kvr", "--matrix-emf", "again.emf"}).status, 0);
    EXPECT_EQ(ReadWholeFile(folder.File("again.emf")), ReadWholeFile(folder.File("plain.emf")));

    const auto plain = ReadEmf(folder.File("plain.emf"));
    const auto treed = ReadEmf(folder.File("tree.emf"));
    ASSERT_TRUE(plain && treed);
    EXPECT_GT(treed->FrameWidth(), plain->FrameWidth());
    EXPECT_EQ(treed->Texts(), plain->Texts());
    // Every leaf's branch ends at a row's middle (20-unit rows, from 10), left of the names.
    std::vector<int> leafRows;
    int fromX = 0, fromY = 0;
    for (const testing::EmfRecord& record : treed->records) {
        if (record.type == testing::kEmrMoveToEx) {
            fromX = record.X();
            fromY = record.Y();
        } else if (record.type == testing::kEmrLineTo && record.Y() == fromY && record.X() <= 152 &&
                   fromX >= 2 && fromY % 20 == 10) {
            leafRows.push_back(fromY / 20);
        }
    }
    std::sort(leafRows.begin(), leafRows.end());
    leafRows.erase(std::unique(leafRows.begin(), leafRows.end()), leafRows.end());
    EXPECT_EQ(leafRows, (std::vector<int>{0, 1, 2, 3, 4}));

    const auto plainSvg = ReadWholeFile(folder.File("plain.svg"));
    const auto treeSvg = ReadWholeFile(folder.File("tree.svg"));
    ASSERT_TRUE(plainSvg && treeSvg);
    const auto count = [](const std::string& text, const std::string& what) {
        std::size_t found = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++found;
        return found;
    };
    EXPECT_GE(count(*treeSvg, "<polyline") + count(*treeSvg, "<path"),
              count(*plainSvg, "<polyline") + count(*plainSvg, "<path") + 8)
        << "four leaves' and three joins' lines at the least";

    // Refused: without a tree to draw, and without a matrix picture to draw it on.
    const auto noTree = kvr({"run", input, "--quiet", "--picture-tree", "--matrix-svg", "x.svg"});
    EXPECT_EQ(noTree.status, 2);
    EXPECT_NE(noTree.err.find("--picture-tree needs --tree"), std::string::npos) << noTree.err;
    const auto noMatrix = kvr({"show", "s.kvr", "--picture-tree", "--plot-svg", "p.svg"});
    EXPECT_EQ(noMatrix.status, 2);
    EXPECT_NE(noMatrix.err.find("--picture-tree draws the tree"), std::string::npos);
    ASSERT_EQ(kvr({"run", input, "--quiet", "--session", "flat.kvr"}).status, 0);
    const auto notKept = kvr({"show", "flat.kvr", "--picture-tree", "--matrix-svg", "y.svg"});
    EXPECT_EQ(notKept.status, 1);
    EXPECT_NE(notKept.err.find("keeps no tree"), std::string::npos) << notKept.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("y.svg")));
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
        {"--outline-groups --plot-svg p.svg", 2,
         "kvr run: --outline-groups frames the groups on a matrix picture: give --matrix-emf, "
         "--matrix-image, --matrix-svg or --matrix-pdf\n"},
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
        "kvr",
        {"run", "--quiet", input, "--matrix-svg", "m.svg", "--matrix-pdf", "m.pdf", "--matrix-emf",
         "m.emf", "--matrix-image", "m.png", "--plot-svg", "p.svg"},
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
