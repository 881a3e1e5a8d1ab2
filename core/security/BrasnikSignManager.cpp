#include "core/security/BrasnikSignManager.h"

#include <openssl/crypto.h>

#include <cstring>
#include <filesystem>

#include "core/security/DeviceKey.h"
#include "core/security/FrameCodec.h"
#include "core/security/PrivateFile.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"

namespace {

constexpr char kMagic[] = "VTASGN";
constexpr size_t kMagicSize = sizeof(kMagic) - 1;
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = kMagicSize + 2;
constexpr size_t kMaxFileSize = 4u * 1024u * 1024u;
constexpr size_t kKeySize = 32;

struct Wiped {
    std::vector<uint8_t> bytes;
    ~Wiped() {
        if (!bytes.empty()) OPENSSL_cleanse(bytes.data(), bytes.size());
    }
};

}  // namespace

BrasnikSignManager::BrasnikSignManager(Key, std::string path, bool followsDocuments)
    : path_(std::move(path)), followsDocuments_(followsDocuments) {}

BrasnikSignManager& BrasnikSignManager::defaultManager() {
    static std::shared_ptr<BrasnikSignManager> manager = [] {
        auto m = std::make_shared<BrasnikSignManager>(Key{}, std::string(), true);
        m->load();
        return m;
    }();
    return *manager;
}

bool BrasnikSignManager::saveSigns() { return defaultManager().save(); }

std::shared_ptr<BrasnikSignManager> BrasnikSignManager::managerWithFile(const std::string& path) {
    auto m = std::make_shared<BrasnikSignManager>(Key{}, path, false);
    m->load();
    return m;
}

std::string BrasnikSignManager::path() const { return followsDocuments_ ? documentsPath(kFileName) : path_; }

void BrasnikSignManager::adopt(const std::shared_ptr<BrasnikSign>& sign) { sign->owner_ = weak_from_this(); }

// The token dictionaries of a token file's bytes; nullopt when they cannot be read.
std::optional<Value::Array> BrasnikSignManager::decode(const std::vector<uint8_t>& bytes,
                                                       const std::vector<uint8_t>& key) {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, kMagicSize) != 0) return std::nullopt;
    uint16_t version = uint16_t(bytes[kMagicSize] | bytes[kMagicSize + 1] << 8);
    if (version != kVersion) return std::nullopt;
    std::vector<uint8_t> frame(bytes.begin() + kHeaderSize, bytes.end());
    auto plain = decipherFrame(frame, key);
    if (!plain) return std::nullopt;
    Wiped archive{std::move(*plain)};
    auto root = NSKeyedUnarchiver::unarchiveObjectWithData(archive.bytes);
    if (!root || !root->isArray()) return std::nullopt;
    return std::move(root->array());
}

void BrasnikSignManager::load() {
    signs_.clear();
    loadFailed_ = false;
    std::string file = path();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return;

    loadFailed_ = true;  // until proven readable
    // Without the device's key the file may well be whole: it stays where it is.
    auto key = deviceBoundKey(kKeyPurpose, kKeySize);
    if (!key) return;
    Wiped keyBytes{std::move(*key)};
    std::optional<Value::Array> list;
    auto readable = [&](const std::vector<uint8_t>& bytes) {
        list = bytes.size() <= kMaxFileSize ? decode(bytes, keyBytes.bytes) : std::nullopt;
        return list.has_value();
    };
    if (!readGuardedFile(file, readable, LastGoodCopy::None).bytes) return;
    for (const Value& item : *list) {
        if (auto sign = BrasnikSign::fromValue(item)) {
            adopt(sign);
            signs_.push_back(std::move(sign));
        }
    }
    loadFailed_ = false;
}

void BrasnikSignManager::reload() { load(); }

bool BrasnikSignManager::save() {
    auto key = deviceBoundKey(kKeyPurpose, kKeySize);
    if (!key) return false;
    Wiped keyBytes{std::move(*key)};
    Value::Array list;
    for (const auto& sign : signs_) list.push_back(sign->toValue());
    Wiped archive{NSKeyedArchiver::archivedDataWithRootObject(Value(std::move(list)))};
    if (archive.bytes.empty()) return false;
    std::vector<uint8_t> frame = encipherFrame(archive.bytes, keyBytes.bytes);
    if (frame.empty()) return false;

    std::vector<uint8_t> out(kMagic, kMagic + kMagicSize);
    out.push_back(uint8_t(kVersion));
    out.push_back(uint8_t(kVersion >> 8));
    out.insert(out.end(), frame.begin(), frame.end());

    std::string file = path();
    std::error_code ec;
    if (loadFailed_ && std::filesystem::exists(file, ec)) {
        // A file this list could not read is kept for inspection, never written over.
        if (moveFileAside(file).empty()) return false;
    }
    loadFailed_ = false;
    return writePrivateFileAtomically(file, out);
}

std::shared_ptr<BrasnikSign> BrasnikSignManager::findSignerWithAccount(const std::string& account,
                                                                       const std::string& phone) const {
    for (const auto& sign : signs_) {
        if (sign->holdsAccount(account) && sign->phoneNum() == phone) return sign;
    }
    return nullptr;
}

std::shared_ptr<BrasnikSign> BrasnikSignManager::findSignerWithGDH(const std::string& gdh,
                                                                   const std::string& phone) const {
    for (const auto& sign : signs_) {
        if (sign->holdsGdh(gdh) && sign->phoneNum() == phone) return sign;
    }
    return nullptr;
}

std::shared_ptr<BrasnikSign> BrasnikSignManager::findSignerWithCustomID(const std::string& customID) const {
    for (const auto& sign : signs_) {
        if (sign->customID() == customID) return sign;
    }
    return nullptr;
}

void BrasnikSignManager::appendSignner(std::shared_ptr<BrasnikSign> sign) {
    if (!sign) return;
    for (const auto& s : signs_) {
        if (s == sign) return;
    }
    adopt(sign);
    signs_.push_back(std::move(sign));
}

void BrasnikSignManager::removeSignner(const std::shared_ptr<BrasnikSign>& sign) {
    if (!sign) return;
    for (auto it = signs_.begin(); it != signs_.end(); ++it) {
        if (*it == sign || (*it)->seed() == sign->seed()) {
            auto removed = *it;
            signs_.erase(it);
            if (removed->owner_.lock().get() == this) removed->owner_.reset();
            return;
        }
    }
}
