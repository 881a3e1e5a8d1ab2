#pragma once
// Base64 of RFC 4648 (standard alphabet, "=" padding, no line breaks).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

std::string base64Encode(const std::vector<uint8_t>& bytes);

// Strict: the length must be a multiple of 4, only the alphabet is allowed,
// "=" only as the last one or two characters, and the bits that padding leaves
// unused must be zero (one encoding per byte string). No blanks or line breaks.
// nullopt on anything else. The empty text decodes to no bytes.
std::optional<std::vector<uint8_t>> base64Decode(const std::string& text);
