#include "core/security/Compression.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

struct LengthPrefixCompressor::Stream {
    z_stream zs{};
    bool ready = false;
};

LengthPrefixCompressor::LengthPrefixCompressor(int level) : stream_(std::make_unique<Stream>()) {
    stream_->ready = deflateInit(&stream_->zs, level) == Z_OK;
}

LengthPrefixCompressor::~LengthPrefixCompressor() {
    if (stream_->ready) deflateEnd(&stream_->zs);
}

std::vector<uint8_t> LengthPrefixCompressor::compress(const std::vector<uint8_t>& plain) {
    if (!stream_->ready || plain.size() > std::numeric_limits<uint32_t>::max()) return {};
    z_stream& zs = stream_->zs;
    if (deflateReset(&zs) != Z_OK) return {};
    uLong bound = deflateBound(&zs, static_cast<uLong>(plain.size()));
    std::vector<uint8_t> out(4 + bound);
    uint32_t n = static_cast<uint32_t>(plain.size());
    out[0] = uint8_t(n);
    out[1] = uint8_t(n >> 8);
    out[2] = uint8_t(n >> 16);
    out[3] = uint8_t(n >> 24);
    static const Bytef kNothing = 0;
    zs.next_in = const_cast<Bytef*>(plain.empty() ? &kNothing : plain.data());
    zs.next_out = out.data() + 4;
    zs.avail_in = zs.avail_out = 0;
    // zlib counts in 32 bits: more than 4 GB of output room goes in turns.
    constexpr size_t kTurn = std::numeric_limits<uInt>::max();
    size_t inLeft = plain.size(), outLeft = bound;
    int rc = Z_OK;
    do {
        if (zs.avail_in == 0) {
            zs.avail_in = static_cast<uInt>(std::min(inLeft, kTurn));
            inLeft -= zs.avail_in;
        }
        if (zs.avail_out == 0) {
            zs.avail_out = static_cast<uInt>(std::min(outLeft, kTurn));
            outLeft -= zs.avail_out;
        }
        rc = deflate(&zs, inLeft > 0 ? Z_NO_FLUSH : Z_FINISH);
    } while (rc == Z_OK);
    if (rc != Z_STREAM_END) return {};
    out.resize(4 + zs.total_out);
    return out;
}

std::vector<uint8_t> compressWithLengthPrefix(const std::vector<uint8_t>& plain) {
    return LengthPrefixCompressor(Z_DEFAULT_COMPRESSION).compress(plain);
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
