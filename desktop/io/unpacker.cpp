#include "io/unpacker.h"

#include <algorithm>

#include "io/unpack_formats.h"

namespace kvr {

namespace {

bool IsBzip2(std::string_view head) {
    return head.starts_with(kBzip2Magic) && head.size() > 3 && head[3] >= '1' && head[3] <= '9';
}

}  // namespace

std::optional<std::size_t> Unpacker::Unpack(std::string_view& in, std::span<char> out, bool last) {
    std::span<char> free = out;
    while (!free.empty()) {
        if (trailing_) {
            in = {};
            break;
        }
        const std::string_view magic = Magic();
        if (ended_ && !magic.empty()) {
            // After a stream: a further one, or bytes that are ignored (gzip's trailing zeros).
            if (in.empty()) break;
            const std::size_t wanted = std::min(magic.size() - held_.size(), in.size());
            held_.append(in.substr(0, wanted));
            in.remove_prefix(wanted);
            if (held_.size() < magic.size() && !last) break;  // the rest comes with more input
            if (held_ != magic) {
                trailing_ = true;
                continue;
            }
            if (!Restart()) return std::nullopt;
            ended_ = false;
            // The magic bytes are a header's first bytes: taken whole, giving no output.
            std::string_view head = held_;
            if (Decode(head, free, false) == Step::Damaged || !head.empty()) return std::nullopt;
            held_.clear();
            continue;
        }
        if (ended_ && in.empty()) break;
        const std::size_t before = in.size() + free.size();
        const Step step = Decode(in, free, last);
        if (step == Step::Damaged) return std::nullopt;
        // A call that neither took nor gave anything would only be repeated.
        if (step == Step::Stuck || (step == Step::Going && in.size() + free.size() == before))
            break;
        ended_ = step == Step::StreamEnd;
        // Room left with all input taken: the library has given all it holds.
        if (step == Step::Going && in.empty() && !free.empty()) break;
    }
    return out.size() - free.size();
}

bool IsCompressed(std::string_view head) {
    return head.starts_with(kGzipMagic) || head.starts_with(kXzMagic) || IsBzip2(head) ||
           head.starts_with(kZstdMagic);
}

std::unique_ptr<Unpacker> UnpackerFor(std::string_view head) {
    if (head.starts_with(kGzipMagic)) return MakeGzipUnpacker();
    if (head.starts_with(kXzMagic)) return MakeXzUnpacker();
    if (IsBzip2(head)) return MakeBzip2Unpacker();
    if (head.starts_with(kZstdMagic)) return MakeZstdUnpacker();
    return nullptr;
}

}  // namespace kvr
