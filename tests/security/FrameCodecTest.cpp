// The enciphered frame and the compressed reply: round trips, the documented
// layout, and refusal of every kind of damage.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "core/security/Blowfish.h"
#include "core/security/Compression.h"
#include "core/security/Digests.h"
#include "core/security/FrameCodec.h"

namespace {

const std::vector<uint8_t> kKey = {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe,
                                   0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};
const std::vector<uint8_t> kIV = {1, 2, 3, 4, 5, 6, 7, 8};

std::vector<uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i * 31 + 7);
    return v;
}

// A frame whose body is given as it is (header, plain, padding), for lying frames.
std::vector<uint8_t> frameOfBody(std::vector<uint8_t> body) {
    auto bf = Blowfish::withKey(kKey);
    bf->cbcEncrypt(body.data(), body.size(), kIV.data());
    std::vector<uint8_t> frame = kIV;
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

void putLE32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

TEST(FrameCodec, RoundTripsEverySize) {
    for (size_t n : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 1000u, 70000u}) {
        auto plain = pattern(n);
        auto frame = encipherFrame(plain, kKey);
        ASSERT_GE(frame.size(), kFrameMinSize);
        EXPECT_EQ((frame.size() - kFrameIVSize) % 8, 0u);
        EXPECT_EQ(decipherFrame(frame, kKey), plain) << n;
    }
}

TEST(FrameCodec, LayoutIsAsDocumented) {
    auto plain = bytesOf("tc_mfuncno=100&tc_sfuncno=1");
    auto frame = encipherFrameWithIV(plain, kKey, kIV);
    ASSERT_EQ(frame.size(), 8u + 40u);  // 8 + 27 = 35 -> 5 bytes of padding
    EXPECT_TRUE(std::equal(kIV.begin(), kIV.end(), frame.begin()));
    std::vector<uint8_t> body(frame.begin() + 8, frame.end());
    Blowfish::withKey(kKey)->cbcDecrypt(body.data(), body.size(), kIV.data());
    std::vector<uint8_t> expected;
    putLE32(expected, uint32_t(plain.size()));
    putLE32(expected, crc32Of(plain));
    expected.insert(expected.end(), plain.begin(), plain.end());
    expected.insert(expected.end(), 5, 5);
    EXPECT_EQ(body, expected);
}

TEST(FrameCodec, RandomIVMakesEachFrameDifferent) {
    auto plain = bytesOf("same text");
    auto a = encipherFrame(plain, kKey);
    auto b = encipherFrame(plain, kKey);
    EXPECT_NE(a, b);
    EXPECT_EQ(decipherFrame(a, kKey), plain);
    EXPECT_EQ(decipherFrame(b, kKey), plain);
}

TEST(FrameCodec, EveryFlippedBitIsRefused) {
    auto frame = encipherFrameWithIV(pattern(21), kKey, kIV);
    for (size_t bit = 0; bit < frame.size() * 8; ++bit) {
        auto damaged = frame;
        damaged[bit / 8] ^= uint8_t(1u << (bit % 8));
        EXPECT_FALSE(decipherFrame(damaged, kKey)) << "bit " << bit;
    }
}

TEST(FrameCodec, WrongKeyAndBadSizesAreRefused) {
    auto frame = encipherFrameWithIV(pattern(30), kKey, kIV);
    auto otherKey = kKey;
    otherKey[0] ^= 1;
    EXPECT_FALSE(decipherFrame(frame, otherKey));
    EXPECT_FALSE(decipherFrame(frame, {}));
    EXPECT_FALSE(decipherFrame(frame, std::vector<uint8_t>(57, 1)));
    EXPECT_TRUE(encipherFrame(pattern(3), {}).empty());
    EXPECT_TRUE(encipherFrameWithIV(pattern(3), kKey, {1, 2, 3}).empty());

    EXPECT_FALSE(decipherFrame({}, kKey));
    EXPECT_FALSE(decipherFrame(std::vector<uint8_t>(frame.begin(), frame.end() - 1), kKey));
    EXPECT_FALSE(decipherFrame(std::vector<uint8_t>(frame.begin(), frame.end() - 8), kKey));
    EXPECT_FALSE(decipherFrame(std::vector<uint8_t>(frame.begin(), frame.begin() + 16), kKey));
    auto longer = frame;
    longer.insert(longer.end(), 8, 0);
    EXPECT_FALSE(decipherFrame(longer, kKey));
}

// A thread keeps the schedule of the last key: frames under keys that take
// turns, or that differ only in length, each need their own.
TEST(FrameCodec, KeysTakingTurnsEachDecipherTheirOwnFrames) {
    auto longer = kKey;
    longer.push_back(0x5A);
    auto shorter = std::vector<uint8_t>(kKey.begin(), kKey.end() - 1);
    const std::vector<std::vector<uint8_t>> keys = {kKey, longer, kKey, shorter, shorter, kKey};
    for (size_t i = 0; i < keys.size(); ++i) {
        auto plain = pattern(40 + i);
        auto frame = encipherFrameWithIV(plain, keys[i], kIV);
        EXPECT_EQ(decipherFrame(frame, keys[i]), plain) << i;
        const auto& other =
            keys[(i + 1) % keys.size()] == keys[i] ? keys[(i + 2) % keys.size()] : keys[(i + 1) % keys.size()];
        EXPECT_FALSE(decipherFrame(frame, other)) << i;
        EXPECT_EQ(decipherFrame(frame, keys[i]), plain) << i;
    }
}

TEST(FrameCodec, LyingHeadersAndPaddingAreRefused) {
    auto plain = bytesOf("0123456789");  // 8 + 10 = 18 -> 6 bytes padding
    auto body = [&](uint32_t length, uint32_t crc, uint8_t padValue, size_t padCount) {
        std::vector<uint8_t> b;
        putLE32(b, length);
        putLE32(b, crc);
        b.insert(b.end(), plain.begin(), plain.end());
        b.insert(b.end(), padCount, padValue);
        return b;
    };
    const uint32_t crc = crc32Of(plain);
    ASSERT_EQ(decipherFrame(frameOfBody(body(10, crc, 6, 6)), kKey), plain);  // the honest one
    EXPECT_FALSE(decipherFrame(frameOfBody(body(11, crc, 6, 6)), kKey));
    EXPECT_FALSE(decipherFrame(frameOfBody(body(0xffffffffu, crc, 6, 6)), kKey));
    EXPECT_FALSE(decipherFrame(frameOfBody(body(10, crc ^ 1, 6, 6)), kKey));
    // Padding: a zero, more than a block, or bytes that disagree.
    auto zeroPad = body(10, crc, 6, 6);
    zeroPad.back() = 0;
    EXPECT_FALSE(decipherFrame(frameOfBody(zeroPad), kKey));
    auto mixedPad = body(10, crc, 6, 6);
    mixedPad[mixedPad.size() - 3] = 5;
    EXPECT_FALSE(decipherFrame(frameOfBody(mixedPad), kKey));
    std::vector<uint8_t> hugePad;
    putLE32(hugePad, 0);
    putLE32(hugePad, crc32Of(std::vector<uint8_t>{}));
    hugePad.insert(hugePad.end(), 8, 16);  // claims 16 bytes of padding in a 16-byte body
    EXPECT_FALSE(decipherFrame(frameOfBody(hugePad), kKey));
}

TEST(Compression, RoundTripAndPrefix) {
    for (size_t n : {0u, 1u, 100u, 100000u}) {
        auto plain = pattern(n);
        auto packed = compressWithLengthPrefix(plain);
        ASSERT_GE(packed.size(), 4u);
        EXPECT_EQ(packed[0] | packed[1] << 8 | packed[2] << 16 | uint32_t(packed[3]) << 24, n);
        EXPECT_EQ(uncompressWithLengthPrefix(packed), plain);
    }
}

// One compressor for a run of buffers of every size, as the simulator's
// connection threads use it: each gives what a new one would give.
TEST(Compression, AReusedCompressorMatchesAFreshOne) {
    for (int level : {Z_BEST_SPEED, Z_DEFAULT_COMPRESSION}) {
        LengthPrefixCompressor reused(level);
        for (size_t n : {70000u, 0u, 5u, 70000u, 300u, 1u}) {
            auto plain = pattern(n);
            auto bytes = reused.compress(plain);
            EXPECT_EQ(bytes, LengthPrefixCompressor(level).compress(plain)) << level << " " << n;
            EXPECT_EQ(uncompressWithLengthPrefix(bytes), plain) << level << " " << n;
        }
    }
}

TEST(Compression, AcceptsAnyZlibStreamOfTheDeclaredLength) {
    std::vector<uint8_t> plain(5000, 'x');
    uLongf size = compressBound(plain.size());
    std::vector<uint8_t> stream(size);
    ASSERT_EQ(compress2(stream.data(), &size, plain.data(), plain.size(), 9), Z_OK);
    std::vector<uint8_t> packed;
    putLE32(packed, 5000);
    packed.insert(packed.end(), stream.begin(), stream.begin() + size);
    EXPECT_EQ(uncompressWithLengthPrefix(packed), plain);
}

TEST(Compression, RefusesOversizedDeclaredLength) {
    auto packed = compressWithLengthPrefix(pattern(10));
    for (uint32_t declared : {uint32_t(kMaxUncompressedSize + 1), 0xffffffffu}) {
        auto lying = packed;
        for (int i = 0; i < 4; ++i) lying[i] = uint8_t(declared >> (8 * i));
        EXPECT_FALSE(uncompressWithLengthPrefix(lying)) << declared;
    }
}

TEST(Compression, RefusesMismatchesAndDamage) {
    auto plain = pattern(3000);
    auto packed = compressWithLengthPrefix(plain);
    auto withDeclared = [&](uint32_t n) {
        auto v = packed;
        for (int i = 0; i < 4; ++i) v[i] = uint8_t(n >> (8 * i));
        return v;
    };
    EXPECT_FALSE(uncompressWithLengthPrefix(withDeclared(2999)));  // stream is longer than declared
    EXPECT_FALSE(uncompressWithLengthPrefix(withDeclared(3001)));  // stream is shorter
    EXPECT_FALSE(uncompressWithLengthPrefix(withDeclared(0)));
    auto trailing = packed;
    trailing.push_back(0);
    EXPECT_FALSE(uncompressWithLengthPrefix(trailing));
    EXPECT_FALSE(uncompressWithLengthPrefix(std::vector<uint8_t>(packed.begin(), packed.end() - 1)));
    EXPECT_FALSE(uncompressWithLengthPrefix(std::vector<uint8_t>(packed.begin(), packed.begin() + 10)));
    EXPECT_FALSE(uncompressWithLengthPrefix({1, 0, 0}));
    auto garbled = packed;
    garbled[packed.size() / 2] ^= 0xff;
    EXPECT_FALSE(uncompressWithLengthPrefix(garbled));
    std::vector<uint8_t> notZlib = {3, 0, 0, 0, 'a', 'b', 'c'};
    EXPECT_FALSE(uncompressWithLengthPrefix(notZlib));
}

TEST(Compression, HighlyCompressedStreamIsStoppedAtTheDeclaredLength) {
    // 8 MiB of zeros squeezed into a few kilobytes, declared as 1000 bytes.
    auto packed = compressWithLengthPrefix(std::vector<uint8_t>(8u << 20, 0));
    for (int i = 0; i < 4; ++i) packed[i] = uint8_t(1000u >> (8 * i));
    EXPECT_FALSE(uncompressWithLengthPrefix(packed));
}

// A real stream of `n` zero bytes behind its true length, made without holding
// the n bytes: the cap must be met by data that truly is that long.
std::vector<uint8_t> packedZeros(size_t n) {
    std::vector<uint8_t> packed;
    putLE32(packed, uint32_t(n));
    z_stream zs{};
    EXPECT_EQ(deflateInit(&zs, Z_BEST_SPEED), Z_OK);
    static const std::vector<uint8_t> zeros(1u << 20, 0);
    std::vector<uint8_t> out(1u << 16);
    size_t left = n;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0 && left > 0) {
            size_t chunk = std::min(left, zeros.size());
            zs.next_in = const_cast<Bytef*>(zeros.data());
            zs.avail_in = uInt(chunk);
            left -= chunk;
        }
        zs.next_out = out.data();
        zs.avail_out = uInt(out.size());
        rc = deflate(&zs, left == 0 ? Z_FINISH : Z_NO_FLUSH);
        packed.insert(packed.end(), out.data(), out.data() + (out.size() - zs.avail_out));
    }
    deflateEnd(&zs);
    return packed;
}

TEST(Compression, DeclaredLengthUpToTheCap) {
    auto atCap = uncompressWithLengthPrefix(packedZeros(kMaxUncompressedSize));
    ASSERT_TRUE(atCap);
    EXPECT_EQ(atCap->size(), kMaxUncompressedSize);
    EXPECT_EQ(std::count(atCap->begin(), atCap->end(), 0), ptrdiff_t(kMaxUncompressedSize));
    EXPECT_FALSE(uncompressWithLengthPrefix(packedZeros(kMaxUncompressedSize + 1)));
}

TEST(Compression, ReplyOfEncipheredCompressedBytesDecodes) {
    // The order of a reply: compress, then encipher; the client deciphers, then decompresses.
    auto plain = bytesOf(std::string(2000, 'q') + "end");
    auto frame = encipherFrame(compressWithLengthPrefix(plain), kKey);
    auto deciphered = decipherFrame(frame, kKey);
    ASSERT_TRUE(deciphered);
    EXPECT_EQ(uncompressWithLengthPrefix(*deciphered), plain);
}

}  // namespace
