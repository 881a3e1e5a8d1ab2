#pragma once
// The list of soft tokens held on this device, kept in the enciphered token
// file Documents/"signFileName.db". Used on the main thread.
//
// Token file layout (integers little-endian):
//   offset 0   6 bytes   magic "VTASGN"
//   offset 6   uint16    format version, 1
//   offset 8   ...       a frame of FrameCodec.h under the device-bound key
//                        deviceBoundKey("signFileName.db/1", 32) of DeviceKey.h, whose
//                        plain bytes are NSKeyedArchiver::archivedDataWithRootObject of an
//                        array of token dictionaries (BrasnikSign::toValue: "seed", "count",
//                        "orgid", "custid", "phone", "accounts", "gdhs")
// The key is derived on the device each time and never written anywhere.
//
// A file that cannot be read (wrong magic or version, another device, tampered
// bytes, not a list) gives an empty list and is set aside for inspection as
// "signFileName.db.damaged-N" (GuardedFile.h), never written over. When the
// device's key cannot be had at all, the file stays in place and a save fails.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/security/BrasnikSign.h"
#include "platform/foundation/Value.h"

class BrasnikSignManager : public std::enable_shared_from_this<BrasnikSignManager> {
    struct Key {
        explicit Key() = default;
    };

public:
    static constexpr const char* kFileName = "signFileName.db";
    // The purpose the file's key is derived for (deviceBoundKey).
    static constexpr const char* kKeyPurpose = "signFileName.db/1";

    // The device's token list, read from Documents/"signFileName.db" on first use.
    static BrasnikSignManager& defaultManager();
    // Writes the default list to its file; false when the write failed.
    static bool saveSigns();

    // A list over another file (tests, tools); read at once.
    static std::shared_ptr<BrasnikSignManager> managerWithFile(const std::string& path);

    // The first token whose capital accounts hold `account` and whose phone is `phone`.
    std::shared_ptr<BrasnikSign> findSignerWithAccount(const std::string& account, const std::string& phone) const;
    // The same over shareholder codes.
    std::shared_ptr<BrasnikSign> findSignerWithGDH(const std::string& gdh, const std::string& phone) const;
    std::shared_ptr<BrasnikSign> findSignerWithCustomID(const std::string& customID) const;
    // Appends (nothing when this very token is already listed); not written until save.
    void appendSignner(std::shared_ptr<BrasnikSign> sign);
    // Removes this token (or the one with the same seed); not written until save.
    void removeSignner(const std::shared_ptr<BrasnikSign>& sign);
    const std::vector<std::shared_ptr<BrasnikSign>>& allSignners() const { return signs_; }

    bool save();
    // Forgets the list in memory and reads the file again (for the default
    // list: the file of the present Documents folder).
    void reload();
    // Whether the last read found a file it could not read.
    bool loadFailed() const { return loadFailed_; }
    std::string path() const;

    BrasnikSignManager(Key, std::string path, bool followsDocuments);

private:
    static std::optional<Value::Array> decode(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& key);
    void load();
    void adopt(const std::shared_ptr<BrasnikSign>& sign);

    std::string path_;
    bool followsDocuments_ = false;
    bool loadFailed_ = false;
    std::vector<std::shared_ptr<BrasnikSign>> signs_;
};
