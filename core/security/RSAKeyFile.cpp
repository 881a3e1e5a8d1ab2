#include "core/security/RSAKeyFile.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

struct PKeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct PKeyCtxFree {
    void operator()(EVP_PKEY_CTX* c) const { EVP_PKEY_CTX_free(c); }
};
struct BioFree {
    void operator()(BIO* b) const { BIO_free(b); }
};
using PKey = std::unique_ptr<EVP_PKEY, PKeyFree>;
// A refused key or cipher text leaves reasons in OpenSSL's per-thread error
// queue; they are answered by our nullopt, so they must not linger for others.
struct ClearErrorsOnExit {
    ~ClearErrorsOnExit() { ERR_clear_error(); }
};
// Never prompt for a pass phrase: the key files we read have none.
int noPassphrase(char*, int, int, void*) { return 0; }
using PKeyCtx = std::unique_ptr<EVP_PKEY_CTX, PKeyCtxFree>;

constexpr size_t kMagicSize = sizeof(kKeyFileMagic) - 1;
constexpr size_t kHeaderSize = kMagicSize + 2 + 4;
// Far above any sane public key; keeps a broken length from asking for gigabytes.
constexpr size_t kMaxKeyDerSize = 16 * 1024;
// Files we read whole are small; refuse anything absurd.
constexpr std::streamoff kMaxKeyFileSize = 64 * 1024;

std::optional<std::vector<uint8_t>> readSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxKeyFileSize) return std::nullopt;
    in.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return bytes;
}

bool isUsableRSAKey(EVP_PKEY* key) {
    return key && EVP_PKEY_is_a(key, "RSA") && EVP_PKEY_get_bits(key) >= kMinRSAKeyBits;
}

PKey parsePublicKey(const std::vector<uint8_t>& der) {
    const unsigned char* p = der.data();
    PKey key(d2i_PUBKEY(nullptr, &p, static_cast<long>(der.size())));
    // The whole DER must be the key: nothing left over.
    if (!key || p != der.data() + der.size() || !isUsableRSAKey(key.get())) return nullptr;
    return key;
}

bool setOAEP(EVP_PKEY_CTX* ctx) {
    return EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_OAEP_PADDING) > 0 &&
           EVP_PKEY_CTX_set_rsa_oaep_md(ctx, EVP_sha256()) > 0 && EVP_PKEY_CTX_set_rsa_mgf1_md(ctx, EVP_sha256()) > 0;
}

}  // namespace

std::vector<uint8_t> makeKeyFile(const std::vector<uint8_t>& publicKeyDer) {
    std::vector<uint8_t> out(kKeyFileMagic, kKeyFileMagic + kMagicSize);
    out.push_back(uint8_t(kKeyFileVersion));
    out.push_back(uint8_t(kKeyFileVersion >> 8));
    uint32_t n = static_cast<uint32_t>(publicKeyDer.size());
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(n >> (8 * i)));
    out.insert(out.end(), publicKeyDer.begin(), publicKeyDer.end());
    return out;
}

std::optional<std::vector<uint8_t>> publicKeyDerFromKeyFile(const std::vector<uint8_t>& fileBytes) {
    ClearErrorsOnExit clearErrors;
    if (fileBytes.size() < kHeaderSize) return std::nullopt;
    if (std::memcmp(fileBytes.data(), kKeyFileMagic, kMagicSize) != 0) return std::nullopt;
    const uint8_t* h = fileBytes.data() + kMagicSize;
    uint16_t version = uint16_t(h[0] | h[1] << 8);
    if (version != kKeyFileVersion) return std::nullopt;
    size_t n = size_t(h[2]) | size_t(h[3]) << 8 | size_t(h[4]) << 16 | size_t(h[5]) << 24;
    if (n == 0 || n > kMaxKeyDerSize || n != fileBytes.size() - kHeaderSize) return std::nullopt;
    std::vector<uint8_t> der(fileBytes.begin() + kHeaderSize, fileBytes.end());
    if (!parsePublicKey(der)) return std::nullopt;
    return der;
}

std::optional<std::vector<uint8_t>> rsaEncryptWithPublicKeyFile(const std::vector<uint8_t>& plain,
                                                                const std::string& path) {
    ClearErrorsOnExit clearErrors;
    auto file = readSmallFile(path);
    if (!file) return std::nullopt;
    auto der = publicKeyDerFromKeyFile(*file);
    if (!der) return std::nullopt;
    PKey key = parsePublicKey(*der);
    if (!key) return std::nullopt;
    PKeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
    if (!ctx || EVP_PKEY_encrypt_init(ctx.get()) <= 0 || !setOAEP(ctx.get())) return std::nullopt;
    static const unsigned char kNothing = 0;
    const unsigned char* in = plain.empty() ? &kNothing : plain.data();
    size_t outLen = 0;
    if (EVP_PKEY_encrypt(ctx.get(), nullptr, &outLen, in, plain.size()) <= 0) return std::nullopt;
    std::vector<uint8_t> out(outLen);
    if (EVP_PKEY_encrypt(ctx.get(), out.data(), &outLen, in, plain.size()) <= 0) return std::nullopt;
    out.resize(outLen);
    return out;
}

std::optional<std::vector<uint8_t>> rsaDecryptWithPrivateKeyFile(const std::vector<uint8_t>& cipher,
                                                                 const std::string& path) {
    ClearErrorsOnExit clearErrors;
    auto file = readSmallFile(path);
    if (!file || file->empty()) return std::nullopt;
    std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(file->data(), static_cast<int>(file->size())));
    if (!bio) return std::nullopt;
    PKey key(PEM_read_bio_PrivateKey(bio.get(), nullptr, noPassphrase, nullptr));
    if (!isUsableRSAKey(key.get())) return std::nullopt;
    if (cipher.size() != static_cast<size_t>(EVP_PKEY_get_size(key.get()))) return std::nullopt;
    PKeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) <= 0 || !setOAEP(ctx.get())) return std::nullopt;
    size_t outLen = 0;
    if (EVP_PKEY_decrypt(ctx.get(), nullptr, &outLen, cipher.data(), cipher.size()) <= 0) return std::nullopt;
    std::vector<uint8_t> out(outLen);
    if (EVP_PKEY_decrypt(ctx.get(), out.data(), &outLen, cipher.data(), cipher.size()) <= 0) return std::nullopt;
    out.resize(outLen);
    return out;
}
