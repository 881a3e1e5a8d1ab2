#include "core/security/DeviceKey.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/kdf.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>

#include "core/security/PrivateFile.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"

namespace {

constexpr size_t kSaltSize = 32;

std::mutex& identityMutex() {
    static std::mutex m;
    return m;
}

std::optional<std::string>& identityOverride() {
    static std::optional<std::string> value;
    return value;
}

std::string machineIdentity() {
    {
        std::lock_guard<std::mutex> lock(identityMutex());
        if (identityOverride()) return *identityOverride();
    }
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        std::ifstream in(path);
        std::string line;
        if (in && std::getline(in, line) && !line.empty()) return line;
    }
    return {};
}

std::optional<std::vector<uint8_t>> newSalt(const std::string& path) {
    std::vector<uint8_t> salt(kSaltSize);
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1) return std::nullopt;
    if (!writePrivateFileAtomically(path, salt)) return std::nullopt;
    return salt;
}

std::optional<std::vector<uint8_t>> installationSalt() {
    namespace fs = std::filesystem;
    const std::string path = documentsPath("deviceSalt.bin");
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (!fs::exists(status)) return newSalt(path);
    if (fs::is_regular_file(status) && fs::file_size(path, ec) == kSaltSize && !ec) {
        // A salt of the right size that cannot be read now (a passing read
        // error) is no damage: no key this time, the files it keys stay.
        auto salt = readPrivateFile(path, kSaltSize);
        if (salt && salt->size() == kSaltSize) return salt;
        return std::nullopt;
    }
    // Emptied, cut short or replaced by something else: it can never give
    // back the old key, and refusing every key would leave the customer
    // without a token for good. It is kept aside, never written over, and a
    // new salt keys what comes next; the files the old one keyed no longer
    // read, so their owners set them aside and have the customer told.
    if (moveFileAside(path).empty()) return std::nullopt;
    return newSalt(path);
}

struct KdfFree {
    void operator()(EVP_KDF* k) const { EVP_KDF_free(k); }
};
struct KdfCtxFree {
    void operator()(EVP_KDF_CTX* c) const { EVP_KDF_CTX_free(c); }
};

}  // namespace

void setDeviceIdentityForTesting(std::optional<std::string> identity) {
    std::lock_guard<std::mutex> lock(identityMutex());
    identityOverride() = std::move(identity);
}

std::optional<std::vector<uint8_t>> deviceBoundKey(const std::string& purpose, size_t size) {
    if (size == 0) return std::nullopt;
    auto salt = installationSalt();
    if (!salt) return std::nullopt;
    std::string input = "roduvede-device:" + machineIdentity();

    std::unique_ptr<EVP_KDF, KdfFree> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr));
    if (!kdf) return std::nullopt;
    std::unique_ptr<EVP_KDF_CTX, KdfCtxFree> ctx(EVP_KDF_CTX_new(kdf.get()));
    if (!ctx) return std::nullopt;
    char digest[] = "SHA256";
    std::string info = purpose;
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_KEY, input.data(), input.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, salt->data(), salt->size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_INFO, info.data(), info.size()),
        OSSL_PARAM_construct_end(),
    };
    std::vector<uint8_t> key(size);
    bool ok = EVP_KDF_derive(ctx.get(), key.data(), key.size(), params) == 1;
    OPENSSL_cleanse(input.data(), input.size());
    OPENSSL_cleanse(salt->data(), salt->size());
    if (!ok) return std::nullopt;
    return key;
}
