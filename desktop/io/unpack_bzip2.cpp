// bzip2 through libbz2, one stream a call; streams one after another (pbzip2) make one text.
#include <bzlib.h>

#include <algorithm>

#include "io/unpack_formats.h"

namespace kvr {

namespace {

class Bzip2Unpacker final : public Unpacker {
  public:
    bool Start() { return started_ = BZ2_bzDecompressInit(&stream_, 0, 0) == BZ_OK; }
    ~Bzip2Unpacker() override {
        if (started_) BZ2_bzDecompressEnd(&stream_);
    }
    const char* Name() const override { return "bzip2"; }

  protected:
    Step Decode(std::string_view& in, std::span<char>& out, bool) override {
        // libbz2 counts in 32-bit units: larger input goes in pieces.
        const auto given = static_cast<unsigned>(std::min<std::size_t>(in.size(), 1u << 30));
        const auto room = static_cast<unsigned>(std::min<std::size_t>(out.size(), 1u << 30));
        stream_.next_in = const_cast<char*>(in.data());
        stream_.avail_in = given;
        stream_.next_out = out.data();
        stream_.avail_out = room;
        const int status = BZ2_bzDecompress(&stream_);
        in.remove_prefix(given - stream_.avail_in);
        out = out.subspan(room - stream_.avail_out);
        if (status == BZ_STREAM_END) return Step::StreamEnd;
        return status == BZ_OK ? Step::Going : Step::Damaged;
    }
    std::string_view Magic() const override { return kBzip2Magic; }
    bool Restart() override {
        BZ2_bzDecompressEnd(&stream_);
        return started_ = BZ2_bzDecompressInit(&stream_, 0, 0) == BZ_OK;
    }

  private:
    bz_stream stream_{};
    bool started_ = false;
};

}  // namespace

std::unique_ptr<Unpacker> MakeBzip2Unpacker() {
    auto unpacker = std::make_unique<Bzip2Unpacker>();
    if (!unpacker->Start()) return nullptr;
    return unpacker;
}

}  // namespace kvr
