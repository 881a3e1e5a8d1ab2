#include "core/security/DeviceKey.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/kdf.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <fstream>
#include <memory>
#include <mutex>

#include "core/security/PrivateFile.h"
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

std::optional<std::vector<uint8_t>> installationSalt() {
    std::string path = documentsPath("deviceSalt.bin");
    if (auto salt = readPrivateFile(path, 4096)) {
        if (salt->size() == kSaltSize) return salt;
        return std::nullopt;
    }
    std::vector<uint8_t> salt(kSaltSize);
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1) return std::nullopt;
    if (!writePrivateFileAtomically(path, salt)) return std::nullopt;
    return salt;
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
