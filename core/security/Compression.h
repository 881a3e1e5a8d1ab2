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
#include <optional>
#include <vector>

constexpr size_t kMaxUncompressedSize = 64u * 1024u * 1024u;

// Data above 4 GiB cannot be described by the prefix: an empty result then.
std::vector<uint8_t> compressWithLengthPrefix(const std::vector<uint8_t>& plain);
std::optional<std::vector<uint8_t>> uncompressWithLengthPrefix(const std::vector<uint8_t>& bytes);
