#include "ui/TextLimits.h"

namespace {
// Length in bytes of the UTF-8 sequence led by byte c (1 for stray bytes).
size_t sequenceLength(unsigned char c) {
    if (c >= 0xF0 && c < 0xF8) return 4;
    if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
    if (c >= 0xC0) return 2;
    return 1;
}
}  // namespace

size_t utf8OffsetOfUtf16(const std::string& text, size_t utf16Offset) {
    size_t bytes = 0, units = 0;
    while (bytes < text.size()) {
        size_t len = sequenceLength(static_cast<unsigned char>(text[bytes]));
        if (bytes + len > text.size()) len = text.size() - bytes;
        size_t u = len == 4 ? 2 : 1;
        if (units + u > utf16Offset) break;
        units += u;
        bytes += len;
    }
    return bytes;
}

std::string utf16Prefix(const std::string& text, size_t units) {
    return text.substr(0, utf8OffsetOfUtf16(text, units));
}

std::string replaceWithinLimit(const std::string& text, NSRange range, const std::string& replacement, int maxLength) {
    size_t from = utf8OffsetOfUtf16(text, range.location);
    size_t to = utf8OffsetOfUtf16(text, range.location + range.length);
    if (to < from) to = from;
    std::string head = text.substr(0, from), tail = text.substr(to);
    if (maxLength <= 0) return head + replacement + tail;
    size_t kept = utf16Length(head) + utf16Length(tail);
    size_t room = kept >= static_cast<size_t>(maxLength) ? 0 : static_cast<size_t>(maxLength) - kept;
    return head + utf16Prefix(replacement, room) + tail;
}
