#pragma once
// Message digests and checksums: MD5 (as lower-case hex text: image-cache file
// names, the registration digest), SHA-1, HMAC-SHA-1 (the one-time codes),
// CRC-32 (the frame codec), and hex text conversion.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

std::string md5Hex(const std::string& text);
std::string md5Hex(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> sha1(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> hmacSha1(const std::vector<uint8_t>& key, const std::vector<uint8_t>& data);

// zlib's CRC-32 (the ISO-HDLC one: "123456789" gives 0xcbf43926).
uint32_t crc32Of(const uint8_t* data, size_t size);
uint32_t crc32Of(const std::vector<uint8_t>& bytes);

// Lower-case hex text of bytes, and back. fromHex accepts upper and lower case
// digits and refuses an odd length or any other character.
std::string toHex(const std::vector<uint8_t>& bytes);
std::optional<std::vector<uint8_t>> fromHex(const std::string& text);
