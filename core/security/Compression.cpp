#include "core/security/Compression.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

std::vector<uint8_t> compressWithLengthPrefix(const std::vector<uint8_t>& plain) {
    if (plain.size() > std::numeric_limits<uint32_t>::max()) return {};
    uLong bound = compressBound(static_cast<uLong>(plain.size()));
    std::vector<uint8_t> out(4 + bound);
    uint32_t n = static_cast<uint32_t>(plain.size());
    out[0] = uint8_t(n);
    out[1] = uint8_t(n >> 8);
    out[2] = uint8_t(n >> 16);
    out[3] = uint8_t(n >> 24);
    uLongf written = bound;
    static const Bytef kNothing = 0;
    if (compress2(out.data() + 4, &written, plain.empty() ? &kNothing : plain.data(), static_cast<uLong>(plain.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        return {};
    }
    out.resize(4 + written);
    return out;
}

std::optional<std::vector<uint8_t>> uncompressWithLengthPrefix(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 4) return std::nullopt;
    size_t declared = size_t(bytes[0]) | size_t(bytes[1]) << 8 | size_t(bytes[2]) << 16 | size_t(bytes[3]) << 24;
    if (declared > kMaxUncompressedSize) return std::nullopt;
    size_t inputSize = bytes.size() - 4;

    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return std::nullopt;
    // Start with what the input could plausibly give, grow while it does.
    std::vector<uint8_t> out(std::min(declared, std::max<size_t>(64 * 1024, inputSize * 8)));
    zs.next_in = const_cast<Bytef*>(bytes.data() + 4);
    size_t inLeft = inputSize;
    size_t produced = 0;
    int rc = Z_OK;
    while (true) {
        if (zs.avail_in == 0 && inLeft > 0) {
            uInt chunk = static_cast<uInt>(std::min<size_t>(inLeft, 1u << 30));
            zs.avail_in = chunk;
            inLeft -= chunk;
        }
        if (produced == out.size() && out.size() < declared) {
            out.resize(std::min(declared, out.size() * 2 + 1));
        }
        // Past the declared length one spare byte of room lets an overlong stream show itself.
        uint8_t spare = 0;
        bool usingSpare = produced == out.size();
        if (usingSpare) {
            zs.next_out = &spare;
            zs.avail_out = 1;
        } else {
            zs.next_out = out.data() + produced;
            zs.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - produced, 1u << 30));
        }
        size_t before = zs.avail_out;
        rc = inflate(&zs, Z_NO_FLUSH);
        size_t got = before - zs.avail_out;
        if (usingSpare && got > 0) {
            rc = Z_DATA_ERROR;  // more bytes than declared
            break;
        }
        produced += got;
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK) break;  // data error, memory error, or no progress possible (Z_BUF_ERROR)
    }
    bool trailing = zs.avail_in > 0 || inLeft > 0;
    inflateEnd(&zs);
    if (rc != Z_STREAM_END || produced != declared || trailing) return std::nullopt;
    out.resize(produced);
    return out;
}
