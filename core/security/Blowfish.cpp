#include "core/security/Blowfish.h"

#include <openssl/crypto.h>

#include <cstring>

#include "core/security/BlowfishTables.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define RD_BLOWFISH_WIDE 1
#endif

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
    OPENSSL_cleanse(sBytes_, sizeof sBytes_);
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
    for (int box = 0; box < 4; ++box)
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 256; ++i) sBytes_[box][j][i] = uint8_t(s_[box][i] >> (24 - 8 * j));
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

#ifdef RD_BLOWFISH_WIDE

// The wide road works on 64 blocks cut into bytes: register j holds byte j of
// every block, so a table look-up is a byte permutation over the 64 blocks at
// once (two 128-byte halves, chosen by the index's top bit), and the round
// function's additions carry from byte to byte. It takes about two thirds of
// the four-lane road's time a block (bench_reply), where table gathers, tried
// first, took a third more than that road.
namespace {

// Compiled for the wide unit, and run only where it is present. The helpers
// are forced inline into the road. Attributes in the C++ form only: clang
// refuses a C++ attribute after a GNU __attribute__ where gcc takes both.
#define RD_WIDE_TARGET [[gnu::target("avx512f,avx512bw,avx512vbmi")]]
#define RD_WIDE_INLINE RD_WIDE_TARGET [[gnu::always_inline]] inline

using Planes = __m512i[4];  // one 32-bit half of 64 blocks, most significant byte first

// Byte j of the box entries at the 64 indices; `high` marks indices of 128 and up.
RD_WIDE_INLINE __m512i lookUp(const uint8_t (&table)[256], __m512i index, __mmask64 high) {
    const auto* t = reinterpret_cast<const __m512i*>(table);
    __m512i low = _mm512_permutex2var_epi8(_mm512_load_si512(t), index, _mm512_load_si512(t + 1));
    __m512i top = _mm512_permutex2var_epi8(_mm512_load_si512(t + 2), index, _mm512_load_si512(t + 3));
    return _mm512_mask_blend_epi8(high, low, top);
}

RD_WIDE_INLINE void lookUpBox(const uint8_t (&box)[4][256], __m512i index, Planes& out) {
    const __mmask64 high = _mm512_movepi8_mask(index);
    for (int j = 0; j < 4; ++j) out[j] = lookUp(box[j], index, high);
}

// a += b, modulo 2^32 in each of the 64 lanes.
RD_WIDE_INLINE void addPlanes(Planes& a, const Planes& b) {
    const __m512i one = _mm512_set1_epi8(1), zero = _mm512_setzero_si512();
    __m512i sum = _mm512_add_epi8(a[3], b[3]);
    __mmask64 carry = _mm512_cmplt_epu8_mask(sum, a[3]);
    a[3] = sum;
    for (int j = 2; j >= 1; --j) {
        sum = _mm512_add_epi8(a[j], b[j]);
        __mmask64 out = _mm512_cmplt_epu8_mask(sum, a[j]);
        sum = _mm512_mask_add_epi8(sum, carry, sum, one);
        carry = out | _mm512_mask_cmpeq_epi8_mask(carry, sum, zero);
        a[j] = sum;
    }
    a[0] = _mm512_mask_add_epi8(_mm512_add_epi8(a[0], b[0]), carry, _mm512_add_epi8(a[0], b[0]), one);
}

// half ^= word, byte j of the word into plane j.
RD_WIDE_INLINE void xorWord(Planes& half, uint32_t word) {
    for (int j = 0; j < 4; ++j) half[j] = _mm512_xor_si512(half[j], _mm512_set1_epi8(char(word >> (24 - 8 * j))));
}

// half ^= F(x)
RD_WIDE_INLINE void feistelRound(Planes& half, const Planes& x, const uint8_t (&boxes)[4][4][256]) {
    Planes h, t;
    lookUpBox(boxes[0], x[0], h);
    lookUpBox(boxes[1], x[1], t);
    addPlanes(h, t);
    lookUpBox(boxes[2], x[2], t);
    for (int j = 0; j < 4; ++j) h[j] = _mm512_xor_si512(h[j], t[j]);
    lookUpBox(boxes[3], x[3], t);
    addPlanes(h, t);
    for (int j = 0; j < 4; ++j) half[j] = _mm512_xor_si512(half[j], h[j]);
}

// The 8 x 8 transpose of the 64-bit words of eight registers.
RD_WIDE_INLINE void transposeWords(__m512i (&r)[8]) {
    for (int bit = 1; bit < 8; bit <<= 1) {
        alignas(64) int64_t lowIndex[8], highIndex[8];
        for (int j = 0; j < 8; ++j) {
            lowIndex[j] = j & bit ? 8 + (j ^ bit) : j;
            highIndex[j] = j & bit ? 8 + j : j | bit;
        }
        const __m512i lo = _mm512_load_si512(lowIndex), hi = _mm512_load_si512(highIndex);
        for (int i = 0; i < 8; ++i) {
            if (i & bit) continue;
            __m512i a = r[i], b = r[i + bit];
            r[i] = _mm512_permutex2var_epi64(a, lo, b);
            r[i + bit] = _mm512_permutex2var_epi64(a, hi, b);
        }
    }
}

// Blocks to byte planes: within each register the 8 x 8 bytes are
// transposed, then the words across the registers; back, the other way round.
RD_WIDE_INLINE void transposeBytes(__m512i (&r)[8]) {
    alignas(64) uint8_t index[64];
    for (int j = 0; j < 8; ++j)
        for (int b = 0; b < 8; ++b) index[j * 8 + b] = uint8_t(b * 8 + j);
    const __m512i bytes = _mm512_load_si512(index);
    for (auto& x : r) x = _mm512_permutexvar_epi8(bytes, x);
}

RD_WIDE_INLINE void blocksToPlanes(__m512i (&r)[8]) {
    transposeBytes(r);
    transposeWords(r);
}

RD_WIDE_INLINE void planesToBlocks(__m512i (&r)[8]) {
    transposeWords(r);
    transposeBytes(r);
}

bool hasWideUnit() {
    static const bool yes =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
    return yes;
}

// Whole groups of 64 blocks (see cbcDecryptWide), called only where the unit
// is present: the compiler may place the unit's instructions anywhere in a
// function built for it, before any test there (clang's instrumented build
// did, and stopped on a processor without the unit), so the test of the
// processor stands in the caller, built for every processor.
[[gnu::noinline]] RD_WIDE_TARGET size_t decryptGroups(const uint32_t (&p)[18], const uint8_t (&boxes)[4][4][256],
                                                      const uint8_t* in, uint8_t* out, size_t size,
                                                      uint8_t chain[Blowfish::kBlockSize]) {
    constexpr size_t kGroup = 64 * Blowfish::kBlockSize;
    // The cipher block before the group's first, in the last word.
    __m512i before = _mm512_castsi128_si512(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(chain)));
    before = _mm512_alignr_epi64(before, before, 1);
    size_t pos = 0;
    for (; pos + kGroup <= size; pos += kGroup) {
        __m512i cipher[8], x[8];
        for (int q = 0; q < 8; ++q) x[q] = cipher[q] = _mm512_loadu_si512(in + pos + 64 * q);
        blocksToPlanes(x);
        Planes a = {x[0], x[1], x[2], x[3]}, b = {x[4], x[5], x[6], x[7]};
        for (int i = 17; i > 1; i -= 2) {
            xorWord(a, p[i]);
            feistelRound(b, a, boxes);
            xorWord(b, p[i - 1]);
            feistelRound(a, b, boxes);
        }
        xorWord(b, p[0]);
        xorWord(a, p[1]);
        for (int j = 0; j < 4; ++j) {
            x[j] = b[j];
            x[4 + j] = a[j];
        }
        planesToBlocks(x);
        // Each block is chained to the cipher block before it: the words shifted by one.
        for (int q = 0; q < 8; ++q) {
            __m512i previous = _mm512_alignr_epi64(cipher[q], q == 0 ? before : cipher[q - 1], 7);
            _mm512_storeu_si512(out + pos + 64 * q, _mm512_xor_si512(x[q], previous));
        }
        before = cipher[7];
    }
    const uint64_t last = static_cast<uint64_t>(_mm_extract_epi64(_mm512_extracti32x4_epi32(before, 3), 1));
    std::memcpy(chain, &last, Blowfish::kBlockSize);
    return pos;
}

}  // namespace

size_t Blowfish::cbcDecryptWide(const uint8_t* in, uint8_t* out, size_t size, uint8_t chain[kBlockSize]) const {
    if (size < 64 * kBlockSize || !hasWideUnit()) return 0;
    return decryptGroups(p_, sBytes_, in, out, size, chain);
}

bool Blowfish::decipherIsWide() { return hasWideUnit(); }

#else

size_t Blowfish::cbcDecryptWide(const uint8_t*, uint8_t*, size_t, uint8_t*) const { return 0; }

bool Blowfish::decipherIsWide() { return false; }

#endif

bool Blowfish::cbcDecrypt(const uint8_t* in, uint8_t* out, size_t size, const uint8_t iv[kBlockSize]) const {
    if (size % kBlockSize != 0) return false;
    uint8_t chain[kBlockSize];
    std::memcpy(chain, iv, kBlockSize);
    size_t pos = cbcDecryptWide(in, out, size, chain);
    uint32_t cl = load32(chain), cr = load32(chain + 4);
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
