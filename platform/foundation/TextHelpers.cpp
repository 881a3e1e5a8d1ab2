#include "platform/foundation/TextHelpers.h"

#include <cctype>
#include <cstring>

std::string trimmedText(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::string lowercasedText(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isValidUTF8(const uint8_t* s, size_t n) {
    size_t i = 0;
    while (i < n) {
        // ASCII runs eight bytes at a time.
        while (i + 8 <= n) {
            uint64_t chunk;
            std::memcpy(&chunk, s + i, 8);
            if (chunk & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= n) break;
        uint8_t c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        uint32_t min;
        uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            min = 0x80;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            min = 0x800;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            min = 0x10000;
            cp = c & 0x07;
        } else
            return false;
        if (n - i < len) return false;
        for (size_t k = 1; k < len; ++k) {
            uint8_t cc = s[i + k];
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

bool isValidUTF8(const std::string& text) {
    return isValidUTF8(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string repairedUTF8(const std::string& text) {
    if (isValidUTF8(text)) return text;
    std::string out;
    out.reserve(text.size() + 8);
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    size_t i = 0;
    while (i < text.size()) {
        // The longest well-formed character at i (1 to 4 bytes), else one bad byte.
        size_t len = 0;
        for (size_t k = 1; k <= 4 && i + k <= text.size(); ++k)
            if (isValidUTF8(s + i, k)) {
                len = k;
                break;
            }
        if (len) {
            out.append(text, i, len);
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}
