#include "core/security/VTACoder.h"

#include <openssl/crypto.h>

#include <cstdio>
#include <mutex>

#include "core/security/Base64.h"
#include "core/security/Compression.h"
#include "core/security/Digests.h"
#include "core/security/FrameCodec.h"
#include "core/security/RandomBytes.h"
#include "core/security/RSAKeyFile.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"

namespace {

std::mutex& keyMutex() {
    static std::mutex m;
    return m;
}

// The key bytes; sized once and then only overwritten, so references stay valid.
std::vector<uint8_t>& keyStorage() {
    static std::vector<uint8_t> key;
    return key;
}

}  // namespace

std::string VTACoder::createSjKlWithSeed(const std::string& hexSeed, int64_t counter) {
    auto seed = fromHex(hexSeed);
    if (!seed || seed->empty()) return {};
    std::vector<uint8_t> message(8);
    uint64_t c = static_cast<uint64_t>(counter);
    for (int i = 7; i >= 0; --i) {
        message[i] = uint8_t(c);
        c >>= 8;
    }
    std::vector<uint8_t> mac = hmacSha1(*seed, message);
    OPENSSL_cleanse(seed->data(), seed->size());
    if (mac.size() != 20) return {};
    int offset = mac[19] & 0x0f;
    uint32_t binary = uint32_t(mac[offset] & 0x7f) << 24 | uint32_t(mac[offset + 1]) << 16 |
                      uint32_t(mac[offset + 2]) << 8 | uint32_t(mac[offset + 3]);
    char code[8];
    std::snprintf(code, sizeof code, "%06u", binary % 1000000u);
    return code;
}

const std::vector<uint8_t>& VTACoder::sessionKey() {
    std::lock_guard<std::mutex> lock(keyMutex());
    auto& key = keyStorage();
    if (key.empty()) {
        key.resize(kSessionKeySize);
        fillRandomBytes(key);
    }
    return key;
}

void VTACoder::resetSessionKey() {
    std::lock_guard<std::mutex> lock(keyMutex());
    auto& key = keyStorage();
    key.resize(kSessionKeySize);
    fillRandomBytes(key);
}

std::vector<uint8_t> VTACoder::currentKey() {
    sessionKey();
    std::lock_guard<std::mutex> lock(keyMutex());
    return keyStorage();
}

std::optional<std::string> VTACoder::sessionKeyExchangeText() {
    std::vector<uint8_t> key = currentKey();
    auto cipher = rsaEncryptWithPublicKeyFile(key, bundlePath("pubkey.bin"));
    OPENSSL_cleanse(key.data(), key.size());
    if (!cipher) return std::nullopt;
    return base64Encode(*cipher);
}

std::string VTACoder::encryptString(const std::string& plain) {
    std::vector<uint8_t> key = currentKey();
    std::vector<uint8_t> bytes(plain.begin(), plain.end());
    std::string text = base64Encode(encipherFrame(bytes, key));
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(bytes.data(), bytes.size());
    return text;
}

std::optional<std::vector<uint8_t>> VTACoder::decryptData(const std::vector<uint8_t>& reply) {
    std::vector<uint8_t> key = currentKey();
    auto plain = decipherFrame(reply, key);
    OPENSSL_cleanse(key.data(), key.size());
    return plain;
}

std::optional<std::vector<uint8_t>> VTACoder::uncompressData(const std::vector<uint8_t>& reply) {
    return uncompressWithLengthPrefix(reply);
}

std::vector<uint8_t> VTACoder::archiveData(const Value& root) {
    return NSKeyedArchiver::archivedDataWithRootObject(root);
}

std::optional<Value> VTACoder::unarchiveData(const std::vector<uint8_t>& bytes) {
    return NSKeyedUnarchiver::unarchiveObjectWithData(bytes);
}
