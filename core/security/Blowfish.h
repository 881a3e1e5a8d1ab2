#pragma once
// The Blowfish block cipher (64-bit blocks, keys of 1 to 56 bytes), with CBC
// mode over whole blocks. Our own implementation: OpenSSL 3 keeps Blowfish only
// in its legacy provider, which a machine need not load or even have; this one
// is checked against the published test vectors.
// Blocks are read and written as two big-endian 32-bit halves, as in the
// reference implementation and its test vectors.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class Blowfish {
public:
    static constexpr size_t kBlockSize = 8;
    static constexpr size_t kMinKeySize = 1;
    static constexpr size_t kMaxKeySize = 56;

    // nullopt unless the key has 1 to 56 bytes.
    static std::optional<Blowfish> withKey(const uint8_t* key, size_t size);
    static std::optional<Blowfish> withKey(const std::vector<uint8_t>& key);

    Blowfish(const Blowfish&) = default;
    Blowfish& operator=(const Blowfish&) = default;
    ~Blowfish();  // wipes the key schedule

    void encryptBlock(uint8_t block[kBlockSize]) const;
    void decryptBlock(uint8_t block[kBlockSize]) const;

    // CBC over `size` bytes in place; false (nothing changed) unless size is a
    // multiple of the block size. `iv` is the 8-byte initial chaining value.
    bool cbcEncrypt(uint8_t* data, size_t size, const uint8_t iv[kBlockSize]) const;
    bool cbcDecrypt(uint8_t* data, size_t size, const uint8_t iv[kBlockSize]) const;
    // The same from `in` to `out` (the same place, or places that do not overlap).
    bool cbcDecrypt(const uint8_t* in, uint8_t* out, size_t size, const uint8_t iv[kBlockSize]) const;
    // Whether long texts decipher 64 blocks at a time on this processor (its
    // speed depends on it: the benchmarks say which road they measured).
    static bool decipherIsWide();

private:
    Blowfish() = default;
    void setKey(const uint8_t* key, size_t size);
    uint32_t f(uint32_t x) const;
    void encrypt(uint32_t& left, uint32_t& right) const;
    void decrypt(uint32_t& left, uint32_t& right) const;
    template <int N>
    void decryptLanes(uint32_t (&l)[N], uint32_t (&r)[N]) const;
    // Deciphers whole groups of 64 blocks with the wide vector unit, chaining
    // from `chain` (the cipher block before the first) and leaving there the
    // last cipher block done; answers the bytes done, 0 where the processor
    // lacks the unit.
    size_t cbcDecryptWide(const uint8_t* in, uint8_t* out, size_t size, uint8_t chain[kBlockSize]) const;

    uint32_t p_[18];
    uint32_t s_[4][256];
    // The S-boxes cut into bytes for the wide unit: byte j (0 the most
    // significant) of every entry of box k at sBytes_[k][j].
    alignas(64) uint8_t sBytes_[4][4][256];
};
