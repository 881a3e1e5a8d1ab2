#include "sim/SimSecrets.h"

#include <sys/stat.h>

#include "core/contracts/TradeQueryContract.h"
#include "core/security/Digests.h"
#include "core/security/FrameCodec.h"
#include "core/security/PrivateFile.h"
#include "core/security/RandomBytes.h"

namespace {
thread_local SimSecretTape* tTape = nullptr;
constexpr size_t kKeySize = 32;

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// A key of its own for each use of the books' key (books in memory have none: a fixed one stands in).
std::vector<uint8_t> subKey(const std::vector<uint8_t>& key, const char* purpose) {
    return hmacSha1(key.empty() ? bytesOf("roduvede-books-in-memory") : key, bytesOf(purpose));
}

std::vector<uint8_t> newBooksKey() {
    std::vector<uint8_t> key(kKeySize);
    fillRandomBytes(key);
    return key;
}
}  // namespace

SimSecretTape::SimSecretTape(std::vector<std::string> playback, bool digested)
    : outer_(tTape), playback_(std::move(playback)), digested_(digested) {
    tTape = this;
}

SimSecretTape::~SimSecretTape() { tTape = outer_; }

std::string simNewSecret(size_t bytes) {
    SimSecretTape* tape = tTape;
    if (!tape) return randomHex(bytes);
    std::string secret =
        tape->played_ < tape->playback_.size() ? tape->playback_[tape->played_++] : randomHex(bytes);
    tape->issued_.push_back(secret);
    return secret;
}

bool simSecretsDigested() { return tTape && tTape->digested_; }

std::string simSecretDigest(const std::vector<uint8_t>& key, const std::string& secret) {
    return toHex(hmacSha1(subKey(key, "roduvede-books-secret"), bytesOf(secret)));
}

std::string simJournalSecret(const std::vector<uint8_t>& key, const std::string& name, const std::string& value) {
    if (value.empty()) return "";
    if (name == TradeQueryContract::Key::kNewPassword &&
        (value.size() != 6 || value.find_first_not_of("0123456789") != std::string::npos))
        return "";
    return simSecretDigest(key, value);
}

std::string simEncipherSecret(const std::vector<uint8_t>& key, const std::string& secret) {
    return toHex(encipherFrame(bytesOf(secret), subKey(key, "roduvede-books-cipher")));
}

std::optional<std::string> simDecipherSecret(const std::vector<uint8_t>& key, const std::string& text) {
    auto frame = fromHex(text);
    if (!frame) return std::nullopt;
    auto plain = decipherFrame(*frame, subKey(key, "roduvede-books-cipher"));
    if (!plain) return std::nullopt;
    return std::string(plain->begin(), plain->end());
}


std::optional<std::vector<uint8_t>> simBooksKey(const std::string& path, bool& made) {
    made = false;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        auto key = readPrivateFile(path, kKeySize);
        if (!key || key->size() != kKeySize) return std::nullopt;
        return key;
    }
    std::vector<uint8_t> key = newBooksKey();
    if (!writePrivateFileAtomically(path, key)) return std::nullopt;
    made = true;
    return key;
}

std::string simKeyCheck(const std::vector<uint8_t>& key) {
    return toHex(hmacSha1(subKey(key, "roduvede-books-check"), bytesOf("roduvede-books"))).substr(0, 16);
}
