#pragma once
// The customer's persistent settings (one store, standerDefoult).
//
// File: Documents/"vtadb.plish", a keyed archive (NSKeyedArchiver) whose root is
// a Dict of setting name -> value, written atomically by save() together with
// its last good copy "vtadb.plish.last-good" (GuardedFile.h). The key "the
// version" holds the version of the defaults table (122). A file that cannot be
// read (emptied, cut short, overwritten, not a Dict) is set aside as
// "vtadb.plish.damaged-N" and the settings start from the last good copy, so
// the phone stays registered; without a readable copy, from the defaults. When
// the settings hold no version or another one, the defaults below are written
// over the stored values (other keys are kept) and the file is saved at once.
//
// Defaults (version 122):
//   "the version"            122
//   "auto refresh"           YES
//   "auto refresh wait time" 10   (seconds; readers use at least 5)
//   "defoult font size"      15   (points of the form font)
//   "logaccnum"              10   (most saved trade accounts)
//   "fschart dj set"         NO   (no index overlay on the intraday chart)
//   "kx dj type"             ""   (K-line lower chart shows volume)
// and, in the platform user defaults, "MessageExpressNotifyType" = 3.
// Keys with a meaning for their absence ("StepForBS", "SaveMyStockInServer",
// "your stocks", "fund you care", ...) are left absent.
#include <mutex>
#include <optional>
#include <string>

#include "platform/foundation/Value.h"

class VTAUserDefoult {
public:
    static constexpr int kDefaultsVersion = 122;
    static constexpr const char* kFileName = "vtadb.plish";

    static VTAUserDefoult& standerDefoult();

    bool getBoolForKey(const std::string& key) const;  // NO when absent
    void setBool(bool value, const std::string& key);
    int getIntForKey(const std::string& key) const;  // -1 when absent or not a number
    void setInt(int value, const std::string& key);
    std::optional<double> getDoubleForKey(const std::string& key) const;  // nullopt when absent or not a number
    void setDouble(double value, const std::string& key);
    std::optional<std::string> getStringForKey(
        const std::string& key) const;  // text (numbers printed); nullopt otherwise
    void setString(const std::string& value, const std::string& key);
    std::optional<Value::Array> getArrayForKey(const std::string& key) const;  // nullopt unless an array
    void setArray(const Value::Array& value, const std::string& key);
    Value getValueForKey(const std::string& key) const;         // Null when absent
    void setValue(const Value& value, const std::string& key);  // Null removes
    void removeValueForKey(const std::string& key);

    // Writes the settings file now (atomically). false when it cannot be written.
    bool save();
    // Reads the settings file of the current Documents folder again (start-up; tests).
    void reload();
    // Writes the defaults table over the current values (does not save).
    void writeDefaults();

    std::string filePath() const;

private:
    VTAUserDefoult();
    void loadLocked();
    void writeDefaultsLocked();
    bool saveLocked();

    mutable std::mutex mutex_;
    Value::Dict values_;
    std::string path_;
};
