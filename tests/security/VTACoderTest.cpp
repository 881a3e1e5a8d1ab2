// One-time codes, the session key, its RSA exchange under the bundle's key
// file, and the key-file layout.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <fstream>

#include "core/security/Base64.h"
#include "core/security/Digests.h"
#include "core/security/FrameCodec.h"
#include "core/security/RSAKeyFile.h"
#include "core/security/TestKeys.h"
#include "core/security/VTACoder.h"
#include "platform/foundation/Paths.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> derOfGeneratedKey(EVP_PKEY* key) {
    unsigned char* der = nullptr;
    int len = i2d_PUBKEY(key, &der);
    std::vector<uint8_t> out(der, der + (len > 0 ? len : 0));
    OPENSSL_free(der);
    EVP_PKEY_free(key);
    return out;
}

TEST(VTACoder, HotpRfc4226AppendixD) {
    const std::string seed = toHex(std::vector<uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9', '0',
                                                        '1', '2', '3', '4', '5', '6', '7', '8', '9', '0'});
    const char* codes[] = {"755224", "287082", "359152", "969429", "338314",
                           "254676", "287922", "162583", "399871", "520489"};
    for (int counter = 0; counter < 10; ++counter) {
        EXPECT_EQ(VTACoder::createSjKlWithSeed(seed, counter), codes[counter]) << counter;
    }
    // Upper-case seeds are the same seed.
    std::string upper = seed;
    for (auto& c : upper) c = char(toupper(c));
    EXPECT_EQ(VTACoder::createSjKlWithSeed(upper, 3), "969429");
    // Codes stay six digits for any counter.
    EXPECT_EQ(VTACoder::createSjKlWithSeed(seed, int64_t(1) << 40).size(), 6u);
}

TEST(VTACoder, BadSeedGivesNoCode) {
    EXPECT_EQ(VTACoder::createSjKlWithSeed("", 1), "");
    EXPECT_EQ(VTACoder::createSjKlWithSeed("abc", 1), "");
    EXPECT_EQ(VTACoder::createSjKlWithSeed("zz11", 1), "");
}

TEST(VTACoder, SessionKeyIsStableUntilReset) {
    const auto& key = VTACoder::sessionKey();
    ASSERT_EQ(key.size(), VTACoder::kSessionKeySize);
    auto before = key;
    EXPECT_EQ(VTACoder::sessionKey(), before);
    EXPECT_NE(before, std::vector<uint8_t>(16, 0));
    VTACoder::resetSessionKey();
    EXPECT_NE(VTACoder::sessionKey(), before);
    EXPECT_EQ(&VTACoder::sessionKey(), &key);  // the reference stays valid
    EXPECT_EQ(key, VTACoder::sessionKey());
}

TEST(VTACoder, EncryptStringAndDecryptDataUseTheSessionKey) {
    const std::string text = "fundid=1234&password=秘密";
    std::string sent = VTACoder::encryptString(text);
    auto frame = base64Decode(sent);
    ASSERT_TRUE(frame);
    auto plain = decipherFrame(*frame, VTACoder::sessionKey());
    ASSERT_TRUE(plain);
    EXPECT_EQ(std::string(plain->begin(), plain->end()), text);

    std::vector<uint8_t> reply = {'o', 'k'};
    EXPECT_EQ(VTACoder::decryptData(encipherFrame(reply, VTACoder::sessionKey())), reply);
    EXPECT_FALSE(VTACoder::decryptData(encipherFrame(reply, std::vector<uint8_t>(16, 9))));
    EXPECT_FALSE(VTACoder::decryptData({}));
    EXPECT_FALSE(VTACoder::uncompressData({0xff, 0xff, 0xff, 0x7f, 0x78, 0x9c}));
}

TEST(VTACoder, ArchivesValuesToBytesAndBack) {
    Value::Dict d{{"name", "平安银行"}, {"n", 3}};
    auto bytes = VTACoder::archiveData(Value(d));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(VTACoder::unarchiveData(bytes), Value(d));
    EXPECT_FALSE(VTACoder::unarchiveData({1, 2, 3}));
}

TEST(RSAKeyExchange, BundleKeyIsDecipheredWithTheSimulatorsTestKey) {
    auto text = VTACoder::sessionKeyExchangeText();
    ASSERT_TRUE(text) << "bundle key file at " << bundlePath("pubkey.bin");
    auto cipher = base64Decode(*text);
    ASSERT_TRUE(cipher);
    EXPECT_EQ(cipher->size(), 256u);  // a 2048-bit key
    EXPECT_EQ(rsaDecryptWithPrivateKeyFile(*cipher, simPrivateKeyPath()), VTACoder::sessionKey());
    // Randomised padding: the same key gives another cipher text each time.
    EXPECT_NE(VTACoder::sessionKeyExchangeText(), text);
}

TEST(RSAKeyExchange, DamagedCipherTextOrMissingKeysAreRefused) {
    auto cipher = rsaEncryptWithPublicKeyFile({1, 2, 3}, bundlePath("pubkey.bin"));
    ASSERT_TRUE(cipher);
    EXPECT_EQ(rsaDecryptWithPrivateKeyFile(*cipher, simPrivateKeyPath()), (std::vector<uint8_t>{1, 2, 3}));
    auto damaged = *cipher;
    damaged[100] ^= 0x20;
    EXPECT_FALSE(rsaDecryptWithPrivateKeyFile(damaged, simPrivateKeyPath()));
    EXPECT_FALSE(
        rsaDecryptWithPrivateKeyFile(std::vector<uint8_t>(cipher->begin(), cipher->end() - 1), simPrivateKeyPath()));
    TempDir dir;
    EXPECT_FALSE(rsaDecryptWithPrivateKeyFile(*cipher, dir.file("none.pem")));
    EXPECT_FALSE(rsaEncryptWithPublicKeyFile({1}, dir.file("none.bin")));
    writeFile(dir.file("junk.pem"), {'-', '-', '-'});
    EXPECT_FALSE(rsaDecryptWithPrivateKeyFile(*cipher, dir.file("junk.pem")));
    // OAEP with SHA-256 leaves room for 190 bytes under 2048 bits.
    EXPECT_TRUE(rsaEncryptWithPublicKeyFile(std::vector<uint8_t>(190, 1), bundlePath("pubkey.bin")));
    EXPECT_FALSE(rsaEncryptWithPublicKeyFile(std::vector<uint8_t>(191, 1), bundlePath("pubkey.bin")));
}

TEST(RSAKeyExchange, MissingBundleKeyFileGivesNoExchangeText) {
    TempDir emptyBundle;
    std::string previous = bundleDirectory();
    setBundleDirectory(emptyBundle.path());
    EXPECT_FALSE(VTACoder::sessionKeyExchangeText());
    setBundleDirectory(previous);
}

TEST(RSAKeyFile, LayoutAndRefusals) {
    auto file = readFile(bundlePath("pubkey.bin"));
    ASSERT_GT(file.size(), 12u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "VTAKEY");
    auto der = publicKeyDerFromKeyFile(file);
    ASSERT_TRUE(der);
    EXPECT_EQ(makeKeyFile(*der), file);

    auto changed = [&](size_t at, uint8_t value) {
        auto f = file;
        f[at] = value;
        return f;
    };
    EXPECT_FALSE(publicKeyDerFromKeyFile(changed(0, 'X')));                   // magic
    EXPECT_FALSE(publicKeyDerFromKeyFile(changed(6, 2)));                     // version
    EXPECT_FALSE(publicKeyDerFromKeyFile(changed(8, uint8_t(file[8] + 1))));  // length
    EXPECT_FALSE(publicKeyDerFromKeyFile(changed(11, 0x80)));                 // absurd length
    auto trailing = file;
    trailing.push_back(0);
    EXPECT_FALSE(publicKeyDerFromKeyFile(trailing));
    EXPECT_FALSE(publicKeyDerFromKeyFile(std::vector<uint8_t>(file.begin(), file.begin() + 11)));
    EXPECT_FALSE(publicKeyDerFromKeyFile(std::vector<uint8_t>(file.begin(), file.end() - 1)));
    EXPECT_FALSE(publicKeyDerFromKeyFile(makeKeyFile({0x30, 0x03, 0x02, 0x01, 0x01})));  // not a key
}

TEST(RSAKeyFile, RefusesWeakOrNonRSAKeys) {
    auto weak = derOfGeneratedKey(EVP_RSA_gen(1024));
    ASSERT_FALSE(weak.empty());
    EXPECT_FALSE(publicKeyDerFromKeyFile(makeKeyFile(weak)));
    auto ec = derOfGeneratedKey(EVP_EC_gen("P-256"));
    ASSERT_FALSE(ec.empty());
    EXPECT_FALSE(publicKeyDerFromKeyFile(makeKeyFile(ec)));
    TempDir dir;
    writeFile(dir.file("pubkey.bin"), makeKeyFile(weak));
    EXPECT_FALSE(rsaEncryptWithPublicKeyFile({1}, dir.file("pubkey.bin")));
}

}  // namespace
