#pragma once
// Message digests and checksums: MD5 (as lower-case hex text: image-cache file
// names, the registration digest), SHA-1, HMAC-SHA-1 (the one-time codes),
// CRC-32 (the frame codec), and hex text conversion.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/security/Crc32.h"

std::string md5Hex(const std::string& text);
std::string md5Hex(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> sha1(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> hmacSha1(const std::vector<uint8_t>& key, const std::vector<uint8_t>& data);

// Lower-case hex text of bytes, and back. fromHex accepts upper and lower case
// digits and refuses an odd length or any other character.
std::string toHex(const std::vector<uint8_t>& bytes);
std::optional<std::vector<uint8_t>> fromHex(const std::string& text);
