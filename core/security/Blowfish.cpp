#include "core/security/Blowfish.h"

#include <openssl/crypto.h>

#include <cstring>

#include "core/security/BlowfishTables.h"

namespace {

uint32_t load32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void store32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// Blocks deciphered side by side: four fill the waits of the table look-ups
// without running out of registers.
constexpr size_t kLanes = 4;

}  // namespace

std::optional<Blowfish> Blowfish::withKey(const uint8_t* key, size_t size) {
    if (!key || size < kMinKeySize || size > kMaxKeySize) return std::nullopt;
    Blowfish cipher;
    cipher.setKey(key, size);
    return cipher;
}

std::optional<Blowfish> Blowfish::withKey(const std::vector<uint8_t>& key) { return withKey(key.data(), key.size()); }

Blowfish::~Blowfish() {
    OPENSSL_cleanse(p_, sizeof p_);
    OPENSSL_cleanse(s_, sizeof s_);
}

// The round function, forced inline: called sixteen times a block, a call
// costs as much as the work.
[[gnu::always_inline]] inline uint32_t Blowfish::f(uint32_t x) const {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xff]) ^ s_[2][(x >> 8) & 0xff]) + s_[3][x & 0xff];
}

[[gnu::always_inline]] inline void Blowfish::encrypt(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
#pragma GCC unroll 8
    for (int i = 0; i < 16; i += 2) {
        l ^= p_[i];
        r ^= f(l);
        r ^= p_[i + 1];
        l ^= f(r);
    }
    l ^= p_[16];
    r ^= p_[17];
    left = r;
    right = l;
}

[[gnu::always_inline]] inline void Blowfish::decrypt(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
#pragma GCC unroll 8
    for (int i = 17; i > 1; i -= 2) {
        l ^= p_[i];
        r ^= f(l);
        r ^= p_[i - 1];
        l ^= f(r);
    }
    l ^= p_[1];
    r ^= p_[0];
    left = r;
    right = l;
}

// Several blocks at once: each round waits on its table look-ups, and
// independent blocks fill that wait.
template <int N>
[[gnu::always_inline]] inline void Blowfish::decryptLanes(uint32_t (&l)[N], uint32_t (&r)[N]) const {
    uint32_t a[N], b[N];
#pragma GCC unroll 8
    for (int k = 0; k < N; ++k) a[k] = l[k], b[k] = r[k];
#pragma GCC unroll 8
    for (int i = 17; i > 1; i -= 2) {
#pragma GCC unroll 8
        for (int k = 0; k < N; ++k) a[k] ^= p_[i];
#pragma GCC unroll 8
        for (int k = 0; k < N; ++k) b[k] ^= f(a[k]) ^ p_[i - 1];
#pragma GCC unroll 8
        for (int k = 0; k < N; ++k) a[k] ^= f(b[k]);
    }
#pragma GCC unroll 8
    for (int k = 0; k < N; ++k) l[k] = b[k] ^ p_[0], r[k] = a[k] ^ p_[1];
}

void Blowfish::setKey(const uint8_t* key, size_t size) {
    std::memcpy(s_, blowfish_tables::kInitialS, sizeof s_);
    size_t k = 0;
    for (int i = 0; i < 18; ++i) {
        uint32_t word = 0;
        for (int j = 0; j < 4; ++j) {
            word = word << 8 | key[k];
            k = (k + 1) % size;
        }
        p_[i] = blowfish_tables::kInitialP[i] ^ word;
    }
    uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        encrypt(l, r);
        p_[i] = l;
        p_[i + 1] = r;
    }
    for (int box = 0; box < 4; ++box) {
        for (int i = 0; i < 256; i += 2) {
            encrypt(l, r);
            s_[box][i] = l;
            s_[box][i + 1] = r;
        }
    }
}

void Blowfish::encryptBlock(uint8_t block[kBlockSize]) const {
    uint32_t l = load32(block), r = load32(block + 4);
    encrypt(l, r);
    store32(block, l);
    store32(block + 4, r);
}

void Blowfish::decryptBlock(uint8_t block[kBlockSize]) const {
    uint32_t l = load32(block), r = load32(block + 4);
    decrypt(l, r);
    store32(block, l);
    store32(block + 4, r);
}

bool Blowfish::cbcEncrypt(uint8_t* data, size_t size, const uint8_t iv[kBlockSize]) const {
    if (size % kBlockSize != 0) return false;
    uint32_t cl = load32(iv), cr = load32(iv + 4);
    for (size_t pos = 0; pos < size; pos += kBlockSize) {
        uint32_t l = load32(data + pos) ^ cl, r = load32(data + pos + 4) ^ cr;
        encrypt(l, r);
        store32(data + pos, l);
        store32(data + pos + 4, r);
        cl = l;
        cr = r;
    }
    return true;
}

bool Blowfish::cbcDecrypt(uint8_t* data, size_t size, const uint8_t iv[kBlockSize]) const {
    return cbcDecrypt(data, data, size, iv);
}

bool Blowfish::cbcDecrypt(const uint8_t* in, uint8_t* out, size_t size, const uint8_t iv[kBlockSize]) const {
    if (size % kBlockSize != 0) return false;
    uint32_t cl = load32(iv), cr = load32(iv + 4);
    size_t pos = 0;
    // Blocks decipher independently of each other (only the chaining needs the one before).
    for (; pos + kLanes * kBlockSize <= size; pos += kLanes * kBlockSize) {
        uint32_t l[kLanes], r[kLanes], cipherL[kLanes], cipherR[kLanes];
        for (size_t k = 0; k < kLanes; ++k) {
            l[k] = cipherL[k] = load32(in + pos + 8 * k);
            r[k] = cipherR[k] = load32(in + pos + 8 * k + 4);
        }
        decryptLanes<kLanes>(l, r);
        for (size_t k = 0; k < kLanes; ++k) {
            store32(out + pos + 8 * k, l[k] ^ (k == 0 ? cl : cipherL[k - 1]));
            store32(out + pos + 8 * k + 4, r[k] ^ (k == 0 ? cr : cipherR[k - 1]));
        }
        cl = cipherL[kLanes - 1];
        cr = cipherR[kLanes - 1];
    }
    for (; pos < size; pos += kBlockSize) {
        uint32_t nl = load32(in + pos), nr = load32(in + pos + 4);
        uint32_t l = nl, r = nr;
        decrypt(l, r);
        store32(out + pos, l ^ cl);
        store32(out + pos + 4, r ^ cr);
        cl = nl;
        cr = nr;
    }
    return true;
}
