#include "io/unpacker.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <memory>

namespace kvr {

namespace {

constexpr std::string_view kGzipMagic("\x1f\x8b", 2);
constexpr std::string_view kXzMagic(
    "\xfd"
    "7zXZ\0",
    6);
constexpr std::string_view kBzip2Magic("BZh", 3);  // then the block size, '1' to '9'
constexpr std::string_view kZstdMagic("\x28\xb5\x2f\xfd", 4);

bool IsBzip2(std::string_view head) {
    return head.starts_with(kBzip2Magic) && head.size() > 3 && head[3] >= '1' && head[3] <= '9';
}

// libarchive's filter for the format: pinned, so that only this one layer is unpacked.
int FilterFor(std::string_view head) {
    if (head.starts_with(kGzipMagic)) return ARCHIVE_FILTER_GZIP;
    if (head.starts_with(kXzMagic)) return ARCHIVE_FILTER_XZ;
    if (IsBzip2(head)) return ARCHIVE_FILTER_BZIP2;
    return ARCHIVE_FILTER_ZSTD;
}

// What libarchive reads: the head first, then what `more` gives.
struct Source {
    std::string_view head;
    const ReadMore* more = nullptr;
    bool headGiven = false;
    bool ended = false;   // the end of the data was handed to libarchive
    bool failed = false;  // reading failed
    int error = 0;
};

la_ssize_t ReadSource(archive* reader, void* data, const void** buffer) {
    auto& source = *static_cast<Source*>(data);
    if (!source.headGiven) {
        source.headGiven = true;
        if (!source.head.empty()) {
            *buffer = source.head.data();
            return static_cast<la_ssize_t>(source.head.size());
        }
    }
    const std::optional<std::string_view> piece = (*source.more)();
    if (!piece) {
        source.failed = true;
        source.error = errno;
        archive_set_error(reader, errno, "read failed");
        return -1;
    }
    source.ended = piece->empty();
    *buffer = piece->data();
    return static_cast<la_ssize_t>(piece->size());
}

struct ArchiveFree {
    void operator()(archive* reader) const { archive_read_free(reader); }
};

}  // namespace

bool IsCompressed(std::string_view head) {
    return head.starts_with(kGzipMagic) || head.starts_with(kXzMagic) || IsBzip2(head) ||
           head.starts_with(kZstdMagic);
}

UnpackEnd UnpackStream(std::string_view head, const ReadMore& more, const TakeText& take) {
    const std::unique_ptr<archive, ArchiveFree> reader(archive_read_new());
    if (!reader || archive_read_append_filter(reader.get(), FilterFor(head)) != ARCHIVE_OK ||
        archive_read_support_format_raw(reader.get()) != ARCHIVE_OK)
        return UnpackEnd::NoLibrary;
    Source source{head, &more};
    // Where the data failed: inside a stream when its end was already reached, else damaged.
    const auto failure = [&] {
        if (source.failed) {
            errno = source.error;
            return UnpackEnd::ReadFailed;
        }
        return source.ended ? UnpackEnd::CutShort : UnpackEnd::Damaged;
    };
    archive_entry* entry = nullptr;
    if (archive_read_open(reader.get(), &source, nullptr, ReadSource, nullptr) != ARCHIVE_OK ||
        archive_read_next_header(reader.get(), &entry) != ARCHIVE_OK) {
        // The raw reader finds no entry in an empty text: the streams held nothing.
        if (archive_errno(reader.get()) == EILSEQ && source.ended) return UnpackEnd::Whole;
        return failure();
    }
    while (true) {
        const void* block = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(reader.get(), &block, &size, &offset);
        if (status == ARCHIVE_EOF) return UnpackEnd::Whole;
        if (status != ARCHIVE_OK) return failure();
        if (!take(std::string_view(static_cast<const char*>(block), size)))
            return UnpackEnd::Stopped;
    }
}

}  // namespace kvr
