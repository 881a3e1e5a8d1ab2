#pragma once
// Constants and little-endian helpers of the record-set bytes shared by the
// reader, the writer and VTATCRS. The layout itself is described once, in
// core/TCRSReader.h.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tcrs {

inline constexpr size_t kInfoLength = 16;  // the information string: the set's name
inline constexpr uint8_t kMagic[4] = {'T', 'C', 'R', 'S'};
inline constexpr uint8_t kVersion = 1;
inline constexpr uint8_t kFlagError = 0x01;  // the server's error set
inline constexpr size_t kHeaderLength = 40;
inline constexpr size_t kFieldHeaderLength = 16;
inline constexpr uint32_t kMaxFields = 4096;
inline constexpr uint32_t kMaxRecordLength = 1u << 20;
inline constexpr uint32_t kMaxFixedTextLength = 65535;
inline constexpr int64_t kNoValue = 999999999;  // integer and packed fields: no value
inline constexpr size_t kVarRefLength = 8;      // variable text slot: offset u32, length u32

// The error set carries its code and text in one record of these fields.
inline constexpr const char* kErrorCodeField = "errcode";
inline constexpr const char* kErrorTextField = "errmsg";
inline constexpr const char* kErrorSetName = "sys.error";

inline uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

inline uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline uint64_t readU64(const uint8_t* p) { return uint64_t(readU32(p)) | (uint64_t(readU32(p + 4)) << 32); }

// A signed integer slot of 4 or 8 bytes.
inline int64_t readInt(const uint8_t* p, uint32_t length) {
    return length == 4 ? int64_t(int32_t(readU32(p))) : int64_t(readU64(p));
}

inline void putU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void putU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

inline void putU64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}

inline void putInt(uint8_t* p, uint32_t length, int64_t v) {
    if (length == 4)
        putU32(p, uint32_t(int32_t(v)));
    else
        putU64(p, uint64_t(v));
}

inline void appendU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void appendU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// The longest prefix of `text` of at most `limit` bytes that does not cut a character.
size_t utf8PrefixLength(const uint8_t* text, size_t size, size_t limit);

}  // namespace tcrs
