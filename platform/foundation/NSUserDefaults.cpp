#include "platform/foundation/NSUserDefaults.h"

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"

NSUserDefaults& NSUserDefaults::standardUserDefaults() {
    static NSUserDefaults defaults;
    return defaults;
}

void NSUserDefaults::loadLocked(const std::string& path) const {
    path_ = path;
    loaded_ = true;
    values_.clear();
    if (auto root = NSKeyedUnarchiver::unarchiveDictionaryWithGuardedFile(path, LastGoodCopy::Kept))
        values_ = std::move(*root);
}

void NSUserDefaults::ensureLoaded() const {
    std::string path = documentsPath(kFileName);
    if (!loaded_ || path != path_) loadLocked(path);
}

// Every change is written at once, but without flushing to disk: the rename
// keeps the file whole if the program ends, and a change costs no fsync on the
// main thread. synchronize() flushes, and refreshes the last good copy.
bool NSUserDefaults::writeLocked(FileDurability durability) const {
    return NSKeyedArchiver::archiveRootObject(Value(values_), path_, durability, LastGoodCopy::Kept);
}

std::string NSUserDefaults::filePath() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ensureLoaded();
    return path_;
}

Value NSUserDefaults::objectForKey(const std::string& k) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ensureLoaded();
    auto it = values_.find(k);
    return it == values_.end() ? Value() : it->second;
}

bool NSUserDefaults::boolForKey(const std::string& k) const { return objectForKey(k).toBool(); }

int64_t NSUserDefaults::integerForKey(const std::string& k) const { return objectForKey(k).toInt(); }

double NSUserDefaults::doubleForKey(const std::string& k) const { return objectForKey(k).toDouble(); }

std::optional<std::string> NSUserDefaults::stringForKey(const std::string& k) const {
    Value v = objectForKey(k);
    if (v.isString() || v.isInteger() || v.isReal() || v.isBool()) return v.toString();
    return std::nullopt;
}

std::optional<Value::Array> NSUserDefaults::arrayForKey(const std::string& k) const {
    Value v = objectForKey(k);
    if (!v.isArray()) return std::nullopt;
    return v.array();
}

std::optional<Value::Dict> NSUserDefaults::dictionaryForKey(const std::string& k) const {
    Value v = objectForKey(k);
    if (!v.isDict()) return std::nullopt;
    return v.dict();
}

std::optional<Value::Data> NSUserDefaults::dataForKey(const std::string& k) const {
    Value v = objectForKey(k);
    if (!v.isData()) return std::nullopt;
    return v.data();
}

std::optional<double> NSUserDefaults::dateForKey(const std::string& k) const {
    Value v = objectForKey(k);
    if (!v.isDate()) return std::nullopt;
    return v.date().seconds;
}

void NSUserDefaults::setBool(bool v, const std::string& k) { setObject(Value(v), k); }

void NSUserDefaults::setInteger(int64_t v, const std::string& k) { setObject(Value(v), k); }

void NSUserDefaults::setDouble(double v, const std::string& k) { setObject(Value(v), k); }

void NSUserDefaults::setObject(const Value& v, const std::string& k) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ensureLoaded();
    if (v.isNull()) {
        if (values_.erase(k) == 0) return;
    } else {
        auto it = values_.find(k);
        if (it != values_.end() && it->second == v) return;
        values_[k] = v;
    }
    writeLocked(FileDurability::AtomicOnly);
}

void NSUserDefaults::removeObjectForKey(const std::string& k) { setObject(Value(), k); }

bool NSUserDefaults::synchronize() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ensureLoaded();
    return writeLocked(FileDurability::Durable);
}

void NSUserDefaults::reload() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    loadLocked(documentsPath(kFileName));
}
