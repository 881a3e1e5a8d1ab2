#include "core/security/BrasnikSign.h"

#include <openssl/crypto.h>

#include <algorithm>

#include "core/security/BrasnikSignManager.h"
#include "core/security/VTACoder.h"
#include "platform/foundation/TextHelpers.h"

namespace {

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string item = trimmedText(list.substr(start, comma - start));
        if (!item.empty()) items.push_back(std::move(item));
        start = comma + 1;
    }
    return items;
}

std::string joinList(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) {
        if (!out.empty()) out += ',';
        out += item;
    }
    return out;
}

}  // namespace

BrasnikSign::BrasnikSign(std::string hexSeed) : seed_(std::move(hexSeed)) {}

BrasnikSign::~BrasnikSign() {
    if (!seed_.empty()) OPENSSL_cleanse(seed_.data(), seed_.size());
}

void BrasnikSign::setAccountsWithString(const std::string& list) { accounts_ = splitList(list); }

void BrasnikSign::setGdhsWithString(const std::string& list) { gdhs_ = splitList(list); }

bool BrasnikSign::holdsAccount(const std::string& account) const {
    return std::find(accounts_.begin(), accounts_.end(), account) != accounts_.end();
}

bool BrasnikSign::holdsGdh(const std::string& gdh) const {
    return std::find(gdhs_.begin(), gdhs_.end(), gdh) != gdhs_.end();
}

std::string BrasnikSign::oneTimeCode() const { return VTACoder::createSjKlWithSeed(seed_, count_); }

bool BrasnikSign::heartBeet() {
    ++count_;
    if (auto owner = owner_.lock()) return owner->save();
    return true;
}

Value BrasnikSign::toValue() const {
    Value::Dict d;
    d["seed"] = seed_;
    d["count"] = Value(static_cast<long long>(count_));
    d["orgid"] = organizationID_;
    d["custid"] = customID_;
    d["phone"] = phoneNum_;
    d["accounts"] = joinList(accounts_);
    d["gdhs"] = joinList(gdhs_);
    return Value(std::move(d));
}

std::shared_ptr<BrasnikSign> BrasnikSign::fromValue(const Value& value) {
    if (!value.isDict() || !value["seed"].isString() || value["seed"].string().empty()) return nullptr;
    auto sign = std::make_shared<BrasnikSign>(value["seed"].string());
    if (value["count"].isInteger()) sign->count_ = value["count"].toInt();
    sign->organizationID_ = value["orgid"].toString();
    sign->customID_ = value["custid"].toString();
    sign->phoneNum_ = value["phone"].toString();
    sign->setAccountsWithString(value["accounts"].toString());
    sign->setGdhsWithString(value["gdhs"].toString());
    return sign;
}
