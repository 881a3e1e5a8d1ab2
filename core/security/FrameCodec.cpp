#include "core/security/FrameCodec.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <cstring>
#include <limits>

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

}  // namespace

std::vector<uint8_t> encipherFrameWithIV(const std::vector<uint8_t>& plain, const std::vector<uint8_t>& key,
                                         const std::vector<uint8_t>& iv) {
    if (iv.size() != kFrameIVSize) return {};
    if (plain.size() > std::numeric_limits<uint32_t>::max() - 64) return {};
    auto cipher = Blowfish::withKey(key);
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
    auto cipher = Blowfish::withKey(key);
    if (!cipher) return std::nullopt;

    std::vector<uint8_t> body(frame.begin() + kFrameIVSize, frame.end());
    cipher->cbcDecrypt(body.data(), body.size(), frame.data());

    auto refuse = [&body]() -> std::optional<std::vector<uint8_t>> {
        OPENSSL_cleanse(body.data(), body.size());
        return std::nullopt;
    };
    size_t pad = body.back();
    if (pad < 1 || pad > Blowfish::kBlockSize) return refuse();
    for (size_t i = body.size() - pad; i < body.size(); ++i) {
        if (body[i] != pad) return refuse();
    }
    size_t plainSize = body.size() - pad - kFrameHeaderSize;  // body >= 16, pad <= 8: no underflow
    if (getLE32(body.data()) != plainSize) return refuse();
    const uint8_t* plain = body.data() + kFrameHeaderSize;
    if (getLE32(body.data() + 4) != crc32Of(plain, plainSize)) return refuse();
    body.erase(body.begin(), body.begin() + kFrameHeaderSize);
    body.resize(plainSize);
    return body;
}
