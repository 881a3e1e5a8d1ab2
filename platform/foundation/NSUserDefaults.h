#pragma once
// The platform user defaults: flags, push token, lock times. Kept in the
// keyed-archive file Documents/"userdefaults.plist" (a dictionary at the root).
//
// Every change is written to the file at once (atomically), so nothing is lost
// when the program ends without synchronize(); setting a key to the value it
// already holds writes nothing. The file is guarded (GuardedFile.h): each
// synchronize() also writes its last good copy, and a damaged file is set
// aside and the defaults start from that copy (empty without one). When the
// Documents folder changes (tests), the next access reads the file of the new
// folder.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/Value.h"

class NSUserDefaults {
public:
    static constexpr const char* kFileName = "userdefaults.plist";

    static NSUserDefaults& standardUserDefaults();

    bool boolForKey(const std::string& k) const;                          // false when absent
    int64_t integerForKey(const std::string& k) const;                    // 0 when absent
    double doubleForKey(const std::string& k) const;                      // 0 when absent
    std::optional<std::string> stringForKey(const std::string& k) const;  // numbers are printed
    std::optional<Value::Array> arrayForKey(const std::string& k) const;
    std::optional<Value::Dict> dictionaryForKey(const std::string& k) const;
    std::optional<Value::Data> dataForKey(const std::string& k) const;
    std::optional<double> dateForKey(const std::string& k) const;  // Clock seconds of a Date value
    Value objectForKey(const std::string& k) const;                // Null when absent
    void setBool(bool v, const std::string& k);
    void setInteger(int64_t v, const std::string& k);
    void setDouble(double v, const std::string& k);
    void setObject(const Value& v, const std::string& k);  // Null removes
    void removeObjectForKey(const std::string& k);
    bool synchronize();  // writes the file now
    void reload();       // re-reads (tests; Documents changed)

    // Path of the file in use.
    std::string filePath() const;

    NSUserDefaults() = default;
    NSUserDefaults(const NSUserDefaults&) = delete;
    NSUserDefaults& operator=(const NSUserDefaults&) = delete;

private:
    // Loads the file of the current Documents folder when it is not the one in memory.
    void ensureLoaded() const;
    void loadLocked(const std::string& path) const;
    bool writeLocked(FileDurability durability) const;

    mutable std::recursive_mutex mutex_;
    mutable std::string path_;
    mutable Value::Dict values_;
    mutable bool loaded_ = false;
};
