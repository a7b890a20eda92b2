#include "app/printable_stream.h"

#include <string_view>

namespace kvr::cli {

namespace {

constexpr std::string_view kRewriteLine = "\r\033[K";

bool IsControl(unsigned char c) {
    return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7f;
}

}  // namespace

PrintableStreamBuffer::~PrintableStreamBuffer() {
    FlushHeld();
    target_->pubsync();
}

void PrintableStreamBuffer::Escape(unsigned char c) {
    constexpr char kHex[] = "0123456789abcdef";
    const char escaped[] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    target_->sputn(escaped, sizeof escaped);
}

void PrintableStreamBuffer::FlushHeld() {
    for (const char c : held_) Escape(static_cast<unsigned char>(c));
    held_.clear();
}

PrintableStreamBuffer::int_type PrintableStreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const auto byte = static_cast<unsigned char>(traits_type::to_char_type(c));
    if (!held_.empty() || byte == '\r') {
        held_ += static_cast<char>(byte);
        if (held_ == kRewriteLine) {
            target_->sputn(held_.data(), static_cast<std::streamsize>(held_.size()));
            held_.clear();
        } else if (kRewriteLine.substr(0, held_.size()) != held_) {
            // Not the sequence: escape what was held except the byte just added, then look at
            // that byte afresh.
            held_.pop_back();
            FlushHeld();
            return overflow(c);
        }
        return c;
    }
    if (IsControl(byte)) {
        Escape(byte);
        return c;
    }
    return target_->sputc(static_cast<char>(byte));
}

int PrintableStreamBuffer::sync() {
    return target_->pubsync();
}

}  // namespace kvr::cli
