// The reply decoder on arbitrary bytes: deciphering under a fixed session key,
// then decompressing what deciphered; and decompressing the raw bytes too, so
// that the zlib path is reached without first forging a valid frame.
// Nothing may crash, read out of bounds or allocate beyond the declared cap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/security/Compression.h"
#include "core/security/FrameCodec.h"

namespace {
// The key of the seed corpus in fuzz/corpus/reply.
const std::vector<uint8_t> kKey = {0x52, 0x44, 0x2d, 0x66, 0x75, 0x7a, 0x7a, 0x2d,
                                   0x72, 0x65, 0x70, 0x6c, 0x79, 0x2d, 0x6b, 0x31};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> input(data, data + size);
    if (auto plain = decipherFrame(input, kKey)) {
        if (auto reply = uncompressWithLengthPrefix(*plain)) {
            if (reply->size() > kMaxUncompressedSize) std::abort();
        }
        // What deciphered must encipher and decipher to itself again.
        auto again = decipherFrame(encipherFrame(*plain, kKey), kKey);
        if (!again || *again != *plain) std::abort();
    }
    if (auto reply = uncompressWithLengthPrefix(input)) {
        if (reply->size() > kMaxUncompressedSize) std::abort();
    }
    return 0;
}
