// The clear side of the reply decoder: the fuzzed bytes are put inside a valid
// enciphered frame under the session key, so they reach what a real reply
// reaches after deciphering. The first byte chooses what they stand for:
//   even: the compressed body (4-byte length + zlib) -> the decompressor, then
//         the record-set reader on whatever inflates;
//   odd:  the record-set bytes, compressed as the server does -> the reader
//         behind a decompressor that must give them back unchanged.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/VTATCRS.h"
#include "core/security/Compression.h"
#include "core/security/FrameCodec.h"
#include "core/security/VTACoder.h"

namespace {

void readSets(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    if (!sets) return;
    for (auto& set : *sets) {
        set->isError();
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext())
            for (int f = 0; f < set->fieldCount(); ++f) set->toStringAtIndex(f);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool recordSets = data[0] & 1;
    const std::vector<uint8_t> body(data + 1, data + size);
    const std::vector<uint8_t> payload = recordSets ? compressWithLengthPrefix(body) : body;
    auto plain = VTACoder::decryptData(encipherFrame(payload, VTACoder::sessionKey()));
    if (!plain || *plain != payload) std::abort();
    auto inflated = VTACoder::uncompressData(*plain);
    if (recordSets && (!inflated || *inflated != body)) std::abort();
    if (!inflated) return 0;
    if (inflated->size() > kMaxUncompressedSize) std::abort();
    readSets(*inflated);
    return 0;
}
