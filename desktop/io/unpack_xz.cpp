// xz through liblzma, which reads streams one after another (and the padding between them)
// itself; it knows the data is whole only when told that no input follows.
#include <lzma.h>

#include <cstdint>

#include "io/unpack_formats.h"

namespace kvr {

namespace {

class XzUnpacker final : public Unpacker {
  public:
    bool Start() {
        return started_ = lzma_stream_decoder(&stream_, UINT64_MAX, LZMA_CONCATENATED) == LZMA_OK;
    }
    ~XzUnpacker() override {
        if (started_) lzma_end(&stream_);
    }
    const char* Name() const override { return "xz"; }

  protected:
    Step Decode(std::string_view& in, std::span<char>& out, bool last) override {
        stream_.next_in = reinterpret_cast<const std::uint8_t*>(in.data());
        stream_.avail_in = in.size();
        stream_.next_out = reinterpret_cast<std::uint8_t*>(out.data());
        stream_.avail_out = out.size();
        const lzma_ret status = lzma_code(&stream_, last ? LZMA_FINISH : LZMA_RUN);
        in.remove_prefix(in.size() - stream_.avail_in);
        out = out.subspan(out.size() - stream_.avail_out);
        if (status == LZMA_STREAM_END) return Step::StreamEnd;
        if (status == LZMA_BUF_ERROR) return Step::Stuck;
        return status == LZMA_OK ? Step::Going : Step::Damaged;
    }

  private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
    bool started_ = false;
};

}  // namespace

std::unique_ptr<Unpacker> MakeXzUnpacker() {
    auto unpacker = std::make_unique<XzUnpacker>();
    if (!unpacker->Start()) return nullptr;
    return unpacker;
}

}  // namespace kvr
