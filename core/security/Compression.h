#pragma once
// Compressed replies: a length prefix, then a zlib stream (RFC 1950).
//
// Layout:
//   offset 0   uint32 little-endian   L: number of bytes after decompression
//   offset 4   ...                    zlib stream of those L bytes, to the end of the buffer
//
// uncompressWithLengthPrefix refuses (nullopt) a buffer shorter than 4 bytes,
// a declared L above kMaxUncompressedSize (64 MiB), a broken or unfinished
// stream, a stream giving more or fewer than L bytes, and bytes after the end
// of the stream. Memory grows with the data actually inflated, never with
// the declared length alone.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

constexpr size_t kMaxUncompressedSize = 64u * 1024u * 1024u;

// Data above 4 GiB cannot be described by the prefix: an empty result then.
// zlib's default level.
std::vector<uint8_t> compressWithLengthPrefix(const std::vector<uint8_t>& plain);

// The same, for a stream of buffers: the zlib stream is made once and reset
// for each buffer (making one allocates and clears some 270 KB, which costs
// more than compressing a small reply). One compressor per thread.
class LengthPrefixCompressor {
public:
    explicit LengthPrefixCompressor(int level);
    ~LengthPrefixCompressor();
    LengthPrefixCompressor(const LengthPrefixCompressor&) = delete;
    LengthPrefixCompressor& operator=(const LengthPrefixCompressor&) = delete;

    // Empty when the data is too large or zlib fails.
    std::vector<uint8_t> compress(const std::vector<uint8_t>& plain);

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
};
std::optional<std::vector<uint8_t>> uncompressWithLengthPrefix(const std::vector<uint8_t>& bytes);
