// Input read as it comes: gzip members unpacked across any chunking of the bytes, trailing bytes
// ignored, a cut stream refused; binary data refused by its first bytes.
#include "state/input_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "support/gzip_data.h"

namespace kvr {
namespace {

using testing::GzipMember;

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

TEST(ReadInputDescriptor, UnpacksGzipMembersWhateverTheChunks) {
    // Highly compressible: a few bytes of input hold far more than one output buffer.
    std::string first;
    for (int k = 0; k < 200000; ++k) first += ">s" + std::to_string(k % 7) + "\nACGTACGTAC\n";
    const std::string second = ">last\nGGGG\n";
    const std::string members = GzipMember(first) + GzipMember(second);
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{7}, std::size_t{4096}, members.size()}) {
        const InputText whole = ThroughPipe(members + std::string(100, '\0'), piece);
        ASSERT_TRUE(whole.text) << piece << ": " << whole.problem;
        EXPECT_EQ(*whole.text, first + second) << piece;
    }
    const InputText cut = ThroughPipe(members.substr(0, members.size() / 2), 4096);
    EXPECT_EQ(cut.problem, "the compressed data is cut short");
    EXPECT_TRUE(cut.contentProblem);
    EXPECT_EQ(ExamineInput(members).text, first + second);
}

TEST(ReadInputDescriptor, RefusesBinaryDataByItsFirstBytes) {
    const struct {
        std::string bytes;
        bool text;
    } cases[] = {
        {">a\nACGT\n", true},
        {std::string(">a\nAC") + '\0' + "GT\n", false},
        {GzipMember(std::string(3u << 20, '\0')), false},
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
