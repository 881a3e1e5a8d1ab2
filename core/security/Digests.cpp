#include "core/security/Digests.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <memory>

namespace {

struct MdCtxFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

std::vector<uint8_t> digest(const EVP_MD* md, const uint8_t* data, size_t size) {
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    std::vector<uint8_t> out(EVP_MAX_MD_SIZE);
    unsigned int len = 0;
    if (!ctx || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1 || EVP_DigestUpdate(ctx.get(), data, size) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), out.data(), &len) != 1) {
        return {};
    }
    out.resize(len);
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string md5Hex(const std::string& text) {
    return toHex(digest(EVP_md5(), reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string md5Hex(const std::vector<uint8_t>& bytes) { return toHex(digest(EVP_md5(), bytes.data(), bytes.size())); }

std::vector<uint8_t> sha1(const std::vector<uint8_t>& bytes) { return digest(EVP_sha1(), bytes.data(), bytes.size()); }

std::vector<uint8_t> hmacSha1(const std::vector<uint8_t>& key, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out(EVP_MAX_MD_SIZE);
    unsigned int len = 0;
    // HMAC() needs a non-null key pointer even for an empty key.
    static const uint8_t kEmpty = 0;
    if (!HMAC(EVP_sha1(), key.empty() ? &kEmpty : key.data(), static_cast<int>(key.size()), data.data(), data.size(),
              out.data(), &len)) {
        return {};
    }
    out.resize(len);
    return out;
}

std::string toHex(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 15]);
    }
    return out;
}

std::optional<std::vector<uint8_t>> fromHex(const std::string& text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> out;
    out.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = hexDigit(text[i]);
        int lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return out;
}
