#include "core/security/BrasnikSignManager.h"

#include <openssl/crypto.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/security/DeviceKey.h"
#include "core/security/FrameCodec.h"
#include "core/security/PrivateFile.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"

namespace {

constexpr char kMagic[] = "VTASGN";
constexpr size_t kMagicSize = sizeof(kMagic) - 1;
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = kMagicSize + 2;
constexpr size_t kMaxFileSize = 4u * 1024u * 1024u;
constexpr size_t kKeySize = 32;
const char* const kKeyPurpose = "signFileName.db/1";

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

void BrasnikSignManager::load() {
    signs_.clear();
    loadFailed_ = false;
    std::string file = path();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return;

    loadFailed_ = true;  // until proven readable
    auto bytes = readPrivateFile(file, kMaxFileSize);
    if (!bytes || bytes->size() < kHeaderSize || std::memcmp(bytes->data(), kMagic, kMagicSize) != 0) return;
    uint16_t version = uint16_t((*bytes)[kMagicSize] | (*bytes)[kMagicSize + 1] << 8);
    if (version != kVersion) return;
    auto key = deviceBoundKey(kKeyPurpose, kKeySize);
    if (!key) return;
    Wiped keyBytes{std::move(*key)};
    std::vector<uint8_t> frame(bytes->begin() + kHeaderSize, bytes->end());
    auto plain = decipherFrame(frame, keyBytes.bytes);
    if (!plain) return;
    Wiped archive{std::move(*plain)};
    auto root = NSKeyedUnarchiver::unarchiveObjectWithData(archive.bytes);
    if (!root || !root->isArray()) return;
    for (const Value& item : root->array()) {
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
    if (loadFailed_) {
        // Keep the unreadable file for inspection rather than overwrite it.
        std::string aside = file + ".unreadable";
        if (std::rename(file.c_str(), aside.c_str()) != 0 && std::filesystem::exists(file)) return false;
        loadFailed_ = false;
    }
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
