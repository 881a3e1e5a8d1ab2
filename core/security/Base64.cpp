#include "core/security/Base64.h"

#include <openssl/evp.h>

#include <algorithm>

namespace {

// Value of an alphabet character, -1 for "=", -2 for anything else.
int sextet(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    if (c == '=') return -1;
    return -2;
}

}  // namespace

std::string base64Encode(const std::vector<uint8_t>& bytes) {
    std::string out;
    if (bytes.empty()) return out;
    // EVP_EncodeBlock takes an int length: encode in slices of whole triples.
    const size_t kSlice = 3 * (1u << 20);
    for (size_t pos = 0; pos < bytes.size(); pos += kSlice) {
        size_t n = std::min(kSlice, bytes.size() - pos);
        size_t start = out.size();
        out.resize(start + 4 * ((n + 2) / 3) + 1);
        int written =
            EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&out[start]), bytes.data() + pos, static_cast<int>(n));
        out.resize(start + static_cast<size_t>(written));
    }
    return out;
}

std::optional<std::vector<uint8_t>> base64Decode(const std::string& text) {
    if (text.empty()) return std::vector<uint8_t>{};
    if (text.size() % 4 != 0) return std::nullopt;
    size_t padding = 0;
    if (text[text.size() - 1] == '=') padding = text[text.size() - 2] == '=' ? 2 : 1;
    for (size_t i = 0; i < text.size() - padding; ++i) {
        if (sextet(static_cast<unsigned char>(text[i])) < 0) return std::nullopt;
    }
    if (padding > 0) {
        // The unused low bits of the last data character must be zero.
        int last = sextet(static_cast<unsigned char>(text[text.size() - padding - 1]));
        int unusedMask = padding == 2 ? 0x0f : 0x03;
        if (last & unusedMask) return std::nullopt;
    }

    std::vector<uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    // EVP_DecodeBlock takes an int length: decode in slices of whole quads.
    const size_t kSlice = 4 * (1u << 20);
    for (size_t pos = 0; pos < text.size(); pos += kSlice) {
        size_t n = std::min(kSlice, text.size() - pos);
        size_t start = out.size();
        out.resize(start + n / 4 * 3);
        int written = EVP_DecodeBlock(out.data() + start, reinterpret_cast<const unsigned char*>(text.data() + pos),
                                      static_cast<int>(n));
        if (written < 0 || static_cast<size_t>(written) != n / 4 * 3) return std::nullopt;
    }
    // EVP_DecodeBlock counts the padded positions as zero bytes.
    out.resize(out.size() - padding);
    return out;
}
