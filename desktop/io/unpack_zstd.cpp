// zstd through libzstd, which reads frames one after another itself.
#include <zstd.h>

#include "io/unpack_formats.h"

namespace kvr {

namespace {

class ZstdUnpacker final : public Unpacker {
  public:
    bool Start() {
        stream_ = ZSTD_createDStream();
        return stream_ != nullptr && !ZSTD_isError(ZSTD_initDStream(stream_));
    }
    ~ZstdUnpacker() override { ZSTD_freeDStream(stream_); }
    const char* Name() const override { return "zstd"; }

  protected:
    Step Decode(std::string_view& in, std::span<char>& out, bool) override {
        ZSTD_inBuffer input{in.data(), in.size(), 0};
        ZSTD_outBuffer output{out.data(), out.size(), 0};
        const std::size_t status = ZSTD_decompressStream(stream_, &output, &input);
        in.remove_prefix(input.pos);
        out = out.subspan(output.pos);
        if (ZSTD_isError(status)) return Step::Damaged;
        // 0: a frame is decoded and flushed whole.
        return status == 0 ? Step::StreamEnd : Step::Going;
    }

  private:
    ZSTD_DStream* stream_ = nullptr;
};

}  // namespace

std::unique_ptr<Unpacker> MakeZstdUnpacker() {
    auto unpacker = std::make_unique<ZstdUnpacker>();
    if (!unpacker->Start()) return nullptr;
    return unpacker;
}

}  // namespace kvr
