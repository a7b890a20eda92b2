// Input read as it comes: gzip, xz, bzip2 and zstd streams unpacked across any chunking of the
// bytes, a cut or damaged stream refused; binary data refused by its first bytes.
#include "io/input_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "support/compressed_data.h"

namespace kvr {
namespace {

using testing::Bzip2Stream;
using testing::GzipMember;
using testing::XzStream;
using testing::ZstdFrame;

// What ReadInputDescriptor makes of bytes written into a pipe `piece` bytes at a time.
InputText ThroughPipe(const std::string& bytes, std::size_t piece) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    std::thread writer([&] {
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            if (::write(ends[1], bytes.data() + at, std::min(piece, bytes.size() - at)) < 0) break;
        ::close(ends[1]);
    });
    InputText input = ReadInputDescriptor(ends[0]);
    writer.join();
    ::close(ends[0]);
    return input;
}

// One stream of text in each compressed format.
struct Format {
    const char* name;
    std::string (*pack)(const std::string& text);
    // What follows the last stream: ignored (as gzip and bzip2 do), or damage.
    bool ignoresTrailingBytes;
};
const Format kFormats[] = {
    {"gzip", [](const std::string& text) { return GzipMember(text); }, true},
    {"xz", XzStream, false},
    {"bzip2", Bzip2Stream, true},
    {"zstd", ZstdFrame, false},
};

TEST(ReadInputDescriptor, UnpacksStreamsOfEveryFormatWhateverTheChunks) {
    // Highly compressible: a few bytes of input hold far more than one output buffer.
    std::string first;
    for (int k = 0; k < 200000; ++k) first += ">s" + std::to_string(k % 7) + "\nACGTACGTAC\n";
    const std::string second = ">last\nGGGG\n";
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.name);
        // Two streams one after another, as bgzip, pbzip2 or zstd of joined files give them.
        const std::string streams = format.pack(first) + format.pack(second);
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{5}, std::size_t{4096}, streams.size()}) {
            const InputText whole = ThroughPipe(streams, piece);
            ASSERT_TRUE(whole.text) << piece << ": " << whole.problem;
            EXPECT_EQ(*whole.text, first + second) << piece;
        }
        EXPECT_EQ(ExamineInput(streams).text, first + second);
        // Zero bytes after the streams: gzip's trailing zeros, xz's stream padding.
        if (format.name != std::string("zstd")) {
            EXPECT_EQ(ThroughPipe(streams + std::string(100, '\0'), 7).text, first + second);
        }

        const InputText cut = ThroughPipe(streams.substr(0, streams.size() / 2), 4096);
        EXPECT_EQ(cut.problem, "the compressed data is cut short");
        EXPECT_TRUE(cut.contentProblem);
        const InputText cutInSecond = ExamineInput(streams.substr(0, streams.size() - 3));
        EXPECT_EQ(cutInSecond.problem, "the compressed data is cut short");

        // Bytes overwritten inside the first stream fail its checks.
        std::string damaged = streams;
        damaged.replace(damaged.size() / 4, 16, std::string(16, '\x55'));
        const InputText broken = ThroughPipe(damaged, 4096);
        EXPECT_EQ(broken.problem, "the compressed data is damaged");
        EXPECT_TRUE(broken.contentProblem);

        const InputText trailing = ThroughPipe(streams + "trailing text\n", 7);
        if (format.ignoresTrailingBytes) {
            EXPECT_EQ(trailing.text, first + second) << trailing.problem;
        } else {
            EXPECT_EQ(trailing.problem, "the compressed data is damaged");
        }
    }
}

// A gzip member's trailer holds the CRC-32 and the length of its text: bytes that still inflate
// but disagree with either are damage, not text (a changed residue would load unnoticed).
TEST(ReadInputDescriptor, RefusesGzipMembersWhoseTrailerDisagrees) {
    const std::string text = ">a\nACGTACGTACGTACGT\n>b\nACGTACGTACGTACGA\n";
    // Level 0: stored blocks, whose bytes are the text itself.
    const std::string member = GzipMember(text, 0);
    ASSERT_EQ(ThroughPipe(member, 4096).text, text);
    const std::size_t residue = member.find("ACGA");
    ASSERT_NE(residue, std::string::npos);
    const struct {
        const char* what;
        std::size_t at;
    } cases[] = {
        {"a residue", residue + 3},
        {"the CRC-32", member.size() - 8},
        {"the length", member.size() - 4},
    };
    for (const auto& c : cases) {
        std::string changed = member;
        changed[c.at] = static_cast<char>(changed[c.at] ^ 0x04);
        const InputText input = ThroughPipe(changed, 4096);
        EXPECT_EQ(input.problem, "the compressed data is damaged") << c.what;
        EXPECT_FALSE(input.text) << c.what;
    }
}

// An empty file compressed is empty text (the loader then says there are no sequences), and one
// layer of compression is unpacked: compressed data inside is not text.
TEST(ReadInputDescriptor, EmptyStreamsAreEmptyTextAndOneLayerIsUnpacked) {
    const std::string text = ">a\nACGTACGTACGTACGT\n>b\nACGTACGTACGTACGA\n";
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.name);
        const InputText empty = ThroughPipe(format.pack(""), 4096);
        EXPECT_EQ(empty.text, "") << empty.problem;
        const InputText twice = ThroughPipe(format.pack(format.pack(text)), 4096);
        EXPECT_FALSE(twice.text);
        EXPECT_NE(twice.problem.find("it is not a text file"), std::string::npos) << twice.problem;
    }
}

// Data too short to hold a format's magic bytes, or opening with only some of them, is text.
TEST(ReadInputDescriptor, ShortDataAndPartMagicAreText) {
    for (const std::string text : {">", ">a\nA\n", "BZh\n>a\nACGT\n", "\x28\xb5>a\nACGT\n"}) {
        const InputText input = ThroughPipe(text, 1);
        EXPECT_EQ(input.text, text) << input.problem;
    }
}

TEST(ReadInputDescriptor, RefusesBinaryDataByItsFirstBytes) {
    const struct {
        std::string bytes;
        bool text;
    } cases[] = {
        {">a\nACGT\n", true},
        {std::string(">a\nAC") + '\0' + "GT\n", false},
        {GzipMember(std::string(3u << 20, '\0')), false},
        {ZstdFrame(std::string(3u << 20, '\0')), false},
        {XzStream(std::string(70000, 'A') + '\x01'), true},
        {std::string(70000, 'A') + std::string(10, '\0'), false},  // found at the end too
    };
    for (const auto& c : cases) {
        const InputText input = ThroughPipe(c.bytes, 65536);
        EXPECT_EQ(input.text.has_value(), c.text) << input.problem;
        if (!c.text) {
            EXPECT_NE(input.problem.find("it is not a text file"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace kvr
