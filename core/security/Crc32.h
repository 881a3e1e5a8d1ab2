#pragma once
// zlib's CRC-32 (the ISO-HDLC one: "123456789" gives 0xcbf43926), which the
// frame codec computes over every reply it deciphers.
#include <cstddef>
#include <cstdint>
#include <vector>

uint32_t crc32Of(const uint8_t* data, size_t size);
uint32_t crc32Of(const std::vector<uint8_t>& bytes);
