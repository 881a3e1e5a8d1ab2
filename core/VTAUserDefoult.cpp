#include "core/VTAUserDefoult.h"

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"

VTAUserDefoult& VTAUserDefoult::standerDefoult() {
    static VTAUserDefoult store;
    return store;
}

VTAUserDefoult::VTAUserDefoult() {
    std::lock_guard lock(mutex_);
    loadLocked();
}

void VTAUserDefoult::reload() {
    std::lock_guard lock(mutex_);
    loadLocked();
}

void VTAUserDefoult::loadLocked() {
    path_ = documentsPath(kFileName);
    values_.clear();
    if (auto root = NSKeyedUnarchiver::unarchiveDictionaryWithGuardedFile(path_, LastGoodCopy::Kept))
        values_ = std::move(*root);
    const Value& version = values_["the version"];
    if (!version.isNumber() || version.toInt() != kDefaultsVersion) {
        writeDefaultsLocked();
        saveLocked();
    }
}

void VTAUserDefoult::writeDefaults() {
    std::lock_guard lock(mutex_);
    writeDefaultsLocked();
}

void VTAUserDefoult::writeDefaultsLocked() {
    values_["the version"] = Value(kDefaultsVersion);
    values_["auto refresh"] = Value(true);
    values_["auto refresh wait time"] = Value(10);
    values_["defoult font size"] = Value(15);
    values_["logaccnum"] = Value(10);
    values_["fschart dj set"] = Value(false);
    values_["kx dj type"] = Value("");
    NSUserDefaults& platform = NSUserDefaults::standardUserDefaults();
    platform.setInteger(3, "MessageExpressNotifyType");
    platform.synchronize();
}

std::string VTAUserDefoult::filePath() const {
    std::lock_guard lock(mutex_);
    return path_;
}

bool VTAUserDefoult::save() {
    std::lock_guard lock(mutex_);
    return saveLocked();
}

bool VTAUserDefoult::saveLocked() {
    return NSKeyedArchiver::archiveRootObject(Value(values_), path_, FileDurability::Durable, LastGoodCopy::Kept);
}

bool VTAUserDefoult::getBoolForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    return it != values_.end() && it->second.toBool();
}

void VTAUserDefoult::setBool(bool value, const std::string& key) {
    std::lock_guard lock(mutex_);
    values_[key] = Value(value);
}

int VTAUserDefoult::getIntForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) return -1;
    const Value& v = it->second;
    if (v.isNumber() || v.isString()) return static_cast<int>(v.toInt());
    return -1;
}

void VTAUserDefoult::setInt(int value, const std::string& key) {
    std::lock_guard lock(mutex_);
    values_[key] = Value(value);
}

std::optional<double> VTAUserDefoult::getDoubleForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (it->second.isNumber() || it->second.isString()) return it->second.toDouble();
    return std::nullopt;
}

void VTAUserDefoult::setDouble(double value, const std::string& key) {
    std::lock_guard lock(mutex_);
    values_[key] = Value(value);
}

std::optional<std::string> VTAUserDefoult::getStringForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (it->second.isString() || it->second.isNumber()) return it->second.toString();
    return std::nullopt;
}

void VTAUserDefoult::setString(const std::string& value, const std::string& key) {
    std::lock_guard lock(mutex_);
    values_[key] = Value(value);
}

std::optional<Value::Array> VTAUserDefoult::getArrayForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end() || !it->second.isArray()) return std::nullopt;
    return it->second.array();
}

void VTAUserDefoult::setArray(const Value::Array& value, const std::string& key) {
    std::lock_guard lock(mutex_);
    values_[key] = Value(value);
}

Value VTAUserDefoult::getValueForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? Value() : it->second;
}

void VTAUserDefoult::setValue(const Value& value, const std::string& key) {
    std::lock_guard lock(mutex_);
    if (value.isNull())
        values_.erase(key);
    else
        values_[key] = value;
}

void VTAUserDefoult::removeValueForKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    values_.erase(key);
}
