// Known answers of the digests, HMAC, CRC-32, hex and Base64.
#include <gtest/gtest.h>
#include <zlib.h>

#include "core/security/Base64.h"
#include "core/security/Digests.h"

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }
std::vector<uint8_t> repeated(uint8_t b, size_t n) { return std::vector<uint8_t>(n, b); }

TEST(Digests, Md5AndSha1KnownAnswers) {
    EXPECT_EQ(md5Hex(std::string("abc")), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5Hex(bytesOf("abc")), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5Hex(std::string()), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Hex(std::string("中文")), md5Hex(bytesOf("中文")));
    EXPECT_EQ(toHex(sha1(bytesOf("abc"))), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(toHex(sha1({})), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
}

TEST(Digests, HmacSha1Rfc2202) {
    struct Case {
        std::vector<uint8_t> key, data;
        const char* mac;
    };
    std::vector<uint8_t> key4;
    for (uint8_t i = 1; i <= 25; ++i) key4.push_back(i);
    const Case cases[] = {
        {repeated(0x0b, 20), bytesOf("Hi There"), "b617318655057264e28bc0b6fb378c8ef146be00"},
        {bytesOf("Jefe"), bytesOf("what do ya want for nothing?"), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
        {repeated(0xaa, 20), repeated(0xdd, 50), "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
        {key4, repeated(0xcd, 50), "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
        {repeated(0x0c, 20), bytesOf("Test With Truncation"), "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
        {repeated(0xaa, 80), bytesOf("Test Using Larger Than Block-Size Key - Hash Key First"),
         "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
        {repeated(0xaa, 80), bytesOf("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data"),
         "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
    };
    for (const auto& c : cases) EXPECT_EQ(toHex(hmacSha1(c.key, c.data)), c.mac);
    EXPECT_EQ(hmacSha1({}, {}).size(), 20u);  // an empty key is still a key
}

TEST(Digests, Crc32) {
    EXPECT_EQ(crc32Of(bytesOf("123456789")), 0xcbf43926u);
    EXPECT_EQ(crc32Of(std::vector<uint8_t>{}), 0u);
}

// Long buffers are folded 64 and 16 bytes at a time, the rest byte by byte:
// every length around those steps, from every alignment, gives zlib's CRC.
TEST(Digests, Crc32OfEveryLengthAndAlignmentIsZlibs) {
    std::vector<uint8_t> data(70000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 131 + 7 + (i >> 9));
    int mismatches = 0;
    for (size_t offset = 0; offset < 17; ++offset)
        for (size_t n = 0; n < 300; ++n)
            if (crc32Of(data.data() + offset, n) != crc32(0, data.data() + offset, uInt(n)) && ++mismatches < 5)
                ADD_FAILURE() << offset << " " << n;
    EXPECT_EQ(mismatches, 0);
    for (size_t n : {30673u, 65536u, 69983u})
        EXPECT_EQ(crc32Of(data.data() + 3, n), crc32(0, data.data() + 3, uInt(n))) << n;
    EXPECT_EQ(crc32Of(repeated(0xFF, 4096)), crc32(0, repeated(0xFF, 4096).data(), 4096));
}

TEST(Digests, HexBothWaysAndRefusals) {
    EXPECT_EQ(toHex({0x00, 0x0f, 0xa5, 0xff}), "000fa5ff");
    EXPECT_EQ(fromHex("000FA5ff"), (std::vector<uint8_t>{0x00, 0x0f, 0xa5, 0xff}));
    EXPECT_EQ(fromHex(""), std::vector<uint8_t>{});
    EXPECT_FALSE(fromHex("abc"));  // odd
    EXPECT_FALSE(fromHex("0g"));   // not a digit
    EXPECT_FALSE(fromHex(" 00"));  // no blanks
    EXPECT_FALSE(fromHex("0x00"));
}

TEST(Base64, Rfc4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(base64Encode(bytesOf(plain)), encoded);
        auto decoded = base64Decode(encoded);
        ASSERT_TRUE(decoded) << encoded;
        EXPECT_EQ(*decoded, bytesOf(plain));
    }
}

TEST(Base64, AllByteValuesRoundTrip) {
    std::vector<uint8_t> all;
    for (int i = 0; i < 256; ++i) all.push_back(uint8_t(i));
    for (size_t n : {1u, 2u, 3u, 254u, 255u, 256u}) {
        std::vector<uint8_t> part(all.begin(), all.begin() + n);
        std::string text = base64Encode(part);
        EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        EXPECT_EQ(base64Decode(text), part);
    }
}

TEST(Base64, StrictDecodeRefusesBadInput) {
    for (const char* bad : {"Zg=", "Zg", "Z", "Zg==Zg==", "Z===", "====", "Zm9-", "Zm9_", "Zm9v\n", " Zm9v", "Zm 9v",
                            "Zh==", "Zm9=", "Zg=a", "Zm9vYmFy====", "Zm9\xe4"}) {
        EXPECT_FALSE(base64Decode(bad)) << bad;
    }
}

}  // namespace
