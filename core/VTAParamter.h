#pragma once
// Session values of the running process (one store, shareParamter): the
// service session "loginSession", the trade session text "tradeUserInfo",
// the trade customer's record sets "tradeUserTCRS" and "tradeUserAllTCRS",
// "tradepassword", the server configuration "commomdSettingForHQ" (a Dict)
// and cached record sets of the fund screens. Nothing here is written to disk.
//
// A value is any object: plain property-list values (Value), record sets
// (shared_ptr<VTATCRS>) or anything else (std::any). The typed readers answer
// empty when the key is absent or holds another kind of object.
#include <any>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/foundation/Value.h"

class VTATCRS;

class VTAParamter {
public:
    static VTAParamter& shareParamter();

    // Text, or a number printed as text; nullopt when absent or another kind.
    std::optional<std::string> getStringForKey(const std::string& key) const;
    void setString(const std::string& value, const std::string& key);

    // The plain value; Null when absent or when the key holds no plain value.
    Value getValueForKey(const std::string& key) const;
    // A Null value removes the key (as setting nil does).
    void setValue(const Value& value, const std::string& key);

    std::optional<Value::Dict> getDictionaryForKey(const std::string& key) const;

    // Record sets are shared: the caller and the store see the same cursor.
    std::shared_ptr<VTATCRS> getTCRSForKey(const std::string& key) const;
    void setTCRS(std::shared_ptr<VTATCRS> set, const std::string& key);  // null removes

    // Any other object.
    std::any getObjectForKey(const std::string& key) const;
    void setObject(std::any object, const std::string& key);  // empty removes

    bool hasValueForKey(const std::string& key) const;
    void removeValueForKey(const std::string& key);
    void removeAllValues();

private:
    VTAParamter() = default;
    mutable std::mutex mutex_;
    std::map<std::string, std::any> values_;
};
