#include "core/security/FrameCodec.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <cstring>
#include <limits>
#include <optional>

#include "core/security/Blowfish.h"
#include "core/security/Digests.h"

namespace {

void putLE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t getLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The cipher of a key. Its schedule costs as much as deciphering 4 KB, and
// the session key changes rarely: each thread keeps the schedule of the last
// key it used (the simulator's connections run on threads of their own).
const Blowfish* cipherFor(const std::vector<uint8_t>& key) {
    struct LastKey {
        std::vector<uint8_t> key;
        std::optional<Blowfish> cipher;
        void forget() {
            OPENSSL_cleanse(key.data(), key.size());
            key.clear();
            cipher.reset();
        }
        ~LastKey() { forget(); }
    };
    thread_local LastKey last;
    if (last.cipher && last.key == key) return &*last.cipher;
    last.forget();
    last.cipher = Blowfish::withKey(key);
    if (!last.cipher) return nullptr;
    last.key = key;
    return &*last.cipher;
}

}  // namespace

std::vector<uint8_t> encipherFrameWithIV(const std::vector<uint8_t>& plain, const std::vector<uint8_t>& key,
                                         const std::vector<uint8_t>& iv) {
    if (iv.size() != kFrameIVSize) return {};
    if (plain.size() > std::numeric_limits<uint32_t>::max() - 64) return {};
    const Blowfish* cipher = cipherFor(key);
    if (!cipher) return {};

    size_t body = kFrameHeaderSize + plain.size();
    size_t pad = Blowfish::kBlockSize - body % Blowfish::kBlockSize;  // 1..8
    std::vector<uint8_t> frame(kFrameIVSize + body + pad);
    std::memcpy(frame.data(), iv.data(), kFrameIVSize);
    uint8_t* out = frame.data() + kFrameIVSize;
    putLE32(out, static_cast<uint32_t>(plain.size()));
    putLE32(out + 4, crc32Of(plain));
    if (!plain.empty()) std::memcpy(out + kFrameHeaderSize, plain.data(), plain.size());
    std::memset(out + body, static_cast<int>(pad), pad);
    cipher->cbcEncrypt(out, body + pad, iv.data());
    return frame;
}

std::vector<uint8_t> encipherFrame(const std::vector<uint8_t>& plain, const std::vector<uint8_t>& key) {
    std::vector<uint8_t> iv(kFrameIVSize);
    if (RAND_bytes(iv.data(), static_cast<int>(iv.size())) != 1) return {};
    return encipherFrameWithIV(plain, key, iv);
}

std::optional<std::vector<uint8_t>> decipherFrame(const std::vector<uint8_t>& frame, const std::vector<uint8_t>& key) {
    if (frame.size() < kFrameMinSize) return std::nullopt;
    size_t cipherSize = frame.size() - kFrameIVSize;
    if (cipherSize % Blowfish::kBlockSize != 0) return std::nullopt;
    const Blowfish* cipher = cipherFor(key);
    if (!cipher) return std::nullopt;

    // The first block is the header; the rest deciphers straight into the result.
    static_assert(kFrameHeaderSize == Blowfish::kBlockSize);
    const uint8_t* cipherText = frame.data() + kFrameIVSize;
    uint8_t header[kFrameHeaderSize];
    cipher->cbcDecrypt(cipherText, header, kFrameHeaderSize, frame.data());
    std::vector<uint8_t> body(cipherSize - kFrameHeaderSize);
    cipher->cbcDecrypt(cipherText + kFrameHeaderSize, body.data(), body.size(), cipherText);

    auto refuse = [&]() -> std::optional<std::vector<uint8_t>> {
        OPENSSL_cleanse(header, sizeof header);
        OPENSSL_cleanse(body.data(), body.size());
        return std::nullopt;
    };
    size_t pad = body.back();
    if (pad < 1 || pad > Blowfish::kBlockSize) return refuse();
    for (size_t i = body.size() - pad; i < body.size(); ++i) {
        if (body[i] != pad) return refuse();
    }
    size_t plainSize = body.size() - pad;  // body >= 8, pad <= 8: no underflow
    if (getLE32(header) != plainSize) return refuse();
    if (getLE32(header + 4) != crc32Of(body.data(), plainSize)) return refuse();
    body.resize(plainSize);
    return body;
}
