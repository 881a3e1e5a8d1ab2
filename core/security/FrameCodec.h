#pragma once
// The enciphered frame of request texts and replies: Blowfish-CBC under the
// session key, carrying the plain length and a CRC-32 of the plain bytes.
//
// Frame layout (all integers little-endian):
//   offset 0   8 bytes   IV: random per frame, in clear
//   offset 8   n bytes   Blowfish-CBC(key, IV) of the padded body, n a multiple of 8, n >= 16
// Padded body (what the cipher text deciphers to):
//   offset 0   uint32    L: number of plain bytes
//   offset 4   uint32    CRC-32 (zlib's) of the plain bytes
//   offset 8   L bytes   plain bytes
//   then       p bytes   padding, 1 <= p <= 8, every byte equal to p (PKCS#5), so
//                        that 8 + L + p is a multiple of 8
// The checksum and the length sit inside the cipher text, so nothing about the
// plain text travels in clear. The CRC catches a wrong key or damage in
// transit; it is not a message authentication code.
//
// decipherFrame refuses (nullopt) a frame shorter than 24 bytes or whose cipher
// part is not whole blocks, a bad padding, a length that disagrees with the
// deciphered size, and a CRC mismatch. Keys: 1 to 56 bytes (Blowfish);
// encipherFrame returns an empty vector for another key size.
#include <cstdint>
#include <optional>
#include <vector>

std::vector<uint8_t> encipherFrame(const std::vector<uint8_t>& plain, const std::vector<uint8_t>& key);
std::optional<std::vector<uint8_t>> decipherFrame(const std::vector<uint8_t>& frame, const std::vector<uint8_t>& key);

// The same with a given 8-byte IV (reproducible frames for tests, fuzz seeds and
// benchmarks; the random one is for everything else). Empty on a bad IV size.
std::vector<uint8_t> encipherFrameWithIV(const std::vector<uint8_t>& plain, const std::vector<uint8_t>& key,
                                         const std::vector<uint8_t>& iv);

constexpr size_t kFrameIVSize = 8;
constexpr size_t kFrameHeaderSize = 8;
constexpr size_t kFrameMinSize = kFrameIVSize + 16;
