#include "core/VTAParamter.h"

#include "core/VTATCRS.h"

VTAParamter& VTAParamter::shareParamter() {
    static VTAParamter store;
    return store;
}

std::optional<std::string> VTAParamter::getStringForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (auto v = std::any_cast<Value>(&it->second)) {
        if (v->isString() || v->isNumber()) return v->toString();
        return std::nullopt;
    }
    if (auto s = std::any_cast<std::string>(&it->second)) return *s;
    return std::nullopt;
}

void VTAParamter::setString(const std::string& value, const std::string& key) {
    std::lock_guard lock(mutex_);
    values_[key] = Value(value);
}

Value VTAParamter::getValueForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) return Value();
    if (auto v = std::any_cast<Value>(&it->second)) return *v;
    if (auto s = std::any_cast<std::string>(&it->second)) return Value(*s);
    return Value();
}

void VTAParamter::setValue(const Value& value, const std::string& key) {
    std::lock_guard lock(mutex_);
    if (value.isNull())
        values_.erase(key);
    else
        values_[key] = value;
}

std::optional<Value::Dict> VTAParamter::getDictionaryForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (auto v = std::any_cast<Value>(&it->second); v && v->isDict()) return v->dict();
    return std::nullopt;
}

std::shared_ptr<VTATCRS> VTAParamter::getTCRSForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) return nullptr;
    if (auto p = std::any_cast<std::shared_ptr<VTATCRS>>(&it->second)) return *p;
    return nullptr;
}

void VTAParamter::setTCRS(std::shared_ptr<VTATCRS> set, const std::string& key) {
    std::lock_guard lock(mutex_);
    if (!set)
        values_.erase(key);
    else
        values_[key] = std::move(set);
}

std::any VTAParamter::getObjectForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? std::any() : it->second;
}

void VTAParamter::setObject(std::any object, const std::string& key) {
    std::lock_guard lock(mutex_);
    if (!object.has_value())
        values_.erase(key);
    else
        values_[key] = std::move(object);
}

bool VTAParamter::hasValueForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return values_.count(key) != 0;
}

void VTAParamter::removeValueForKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    values_.erase(key);
}

void VTAParamter::removeAllValues() {
    std::lock_guard lock(mutex_);
    values_.clear();
}
