// gzip through zlib, one member a call; members one after another (bgzip) make one text.
#include <zlib.h>

#include <algorithm>

#include "io/unpack_formats.h"

namespace kvr {

namespace {

class GzipUnpacker final : public Unpacker {
  public:
    bool Start() { return started_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK; }
    ~GzipUnpacker() override {
        if (started_) inflateEnd(&stream_);
    }
    const char* Name() const override { return "gzip"; }

  protected:
    Step Decode(std::string_view& in, std::span<char>& out, bool) override {
        // zlib counts in 32-bit units: larger input goes in pieces.
        const auto given = static_cast<uInt>(std::min<std::size_t>(in.size(), 1u << 30));
        const auto room = static_cast<uInt>(std::min<std::size_t>(out.size(), 1u << 30));
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        stream_.avail_in = given;
        stream_.next_out = reinterpret_cast<Bytef*>(out.data());
        stream_.avail_out = room;
        const int status = inflate(&stream_, Z_NO_FLUSH);
        in.remove_prefix(given - stream_.avail_in);
        out = out.subspan(room - stream_.avail_out);
        if (status == Z_STREAM_END) return Step::StreamEnd;
        if (status == Z_BUF_ERROR) return Step::Stuck;
        return status == Z_OK ? Step::Going : Step::Damaged;
    }
    std::string_view Magic() const override { return kGzipMagic; }
    bool Restart() override { return inflateReset(&stream_) == Z_OK; }

  private:
    z_stream stream_{};
    bool started_ = false;
};

}  // namespace

std::unique_ptr<Unpacker> MakeGzipUnpacker() {
    auto unpacker = std::make_unique<GzipUnpacker>();
    if (!unpacker->Start()) return nullptr;
    return unpacker;
}

}  // namespace kvr
