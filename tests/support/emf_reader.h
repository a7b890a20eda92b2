// Reads an enhanced metafile back into its records, for tests of the pictures the program writes:
// record types in order, and the few fields the tests look at.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "io/file_io.h"
#include "platform/drawing_surface.h"

namespace kvr::testing {

enum EmfType : std::uint32_t {
    kEmrHeader = 1,
    kEmrEof = 14,
    kEmrSetBkMode = 18,
    kEmrMoveToEx = 27,
    kEmrSelectObject = 37,
    kEmrCreatePen = 38,
    kEmrCreateBrushIndirect = 39,
    kEmrDeleteObject = 40,
    kEmrRectangle = 43,
    kEmrLineTo = 54,
    kEmrExtCreateFontIndirectW = 82,
    kEmrExtTextOutA = 83,
};

struct EmfRecord {
    std::uint32_t type = 0;
    std::string bytes;  // the whole record

    std::int32_t Int(std::size_t offset) const {
        std::int32_t v = 0;
        std::memcpy(&v, bytes.data() + offset, sizeof v);
        return v;
    }
    // Rectangle box, text reference point, MoveToEx and LineTo point: from byte 8 on.
    std::int32_t X() const { return Int(type == kEmrExtTextOutA ? 36 : 8); }
    std::int32_t Y() const { return Int(type == kEmrExtTextOutA ? 40 : 12); }
    std::int32_t Right() const { return Int(16); }
    std::int32_t Bottom() const { return Int(20); }
    std::string Text() const {  // ExtTextOutA
        return bytes.substr(static_cast<std::size_t>(Int(48)), static_cast<std::size_t>(Int(44)));
    }
    Rgb Colour() const {  // CreateBrushIndirect, CreatePen
        const std::size_t at = type == kEmrCreatePen ? 24 : 16;
        return Rgb{static_cast<std::uint8_t>(bytes[at]), static_cast<std::uint8_t>(bytes[at + 1]),
                   static_cast<std::uint8_t>(bytes[at + 2])};
    }
    // ExtCreateFontIndirectW: LOGFONTW from byte 12.
    std::int32_t FontHeight() const { return Int(12); }
    std::int32_t FontEscapement() const { return Int(20); }
    std::string FontFace() const {
        std::string face;
        for (std::size_t at = 40; at + 1 < bytes.size() && bytes[at] != 0; at += 2)
            face += bytes[at];
        return face;
    }
};

struct EmfFile {
    std::vector<EmfRecord> records;

    const EmfRecord& Header() const { return records.front(); }
    std::int32_t FrameWidth() const { return Header().Int(32) - Header().Int(24); }
    std::int32_t FrameHeight() const { return Header().Int(36) - Header().Int(28); }
    std::int32_t DeviceWidthMm() const { return Header().Int(80); }

    std::vector<EmfRecord> OfType(std::uint32_t type) const {
        std::vector<EmfRecord> found;
        for (const EmfRecord& r : records)
            if (r.type == type) found.push_back(r);
        return found;
    }
    std::size_t Count(std::uint32_t type) const { return OfType(type).size(); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const EmfRecord& r : OfType(kEmrExtTextOutA)) texts.push_back(r.Text());
        return texts;
    }
};

// The records of a well-formed EMF file; nothing when the file is missing or malformed.
inline std::optional<EmfFile> ReadEmf(const std::string& path) {
    const auto data = ReadWholeFile(path);
    if (!data || data->size() < 88) return std::nullopt;
    EmfFile file;
    std::size_t at = 0;
    while (at + 8 <= data->size()) {
        std::uint32_t type = 0, size = 0;
        std::memcpy(&type, data->data() + at, 4);
        std::memcpy(&size, data->data() + at + 4, 4);
        if (size < 8 || size % 4 != 0 || at + size > data->size()) return std::nullopt;
        file.records.push_back({type, data->substr(at, size)});
        at += size;
        if (type == kEmrEof) break;
    }
    if (at != data->size() || file.records.front().type != kEmrHeader ||
        file.records.back().type != kEmrEof || file.Header().Int(40) != 0x464D4520 ||
        static_cast<std::size_t>(file.Header().Int(48)) != data->size() ||
        static_cast<std::size_t>(file.Header().Int(52)) != file.records.size())
        return std::nullopt;
    return file;
}

}  // namespace kvr::testing
