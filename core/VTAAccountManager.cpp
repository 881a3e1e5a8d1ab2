#include "core/VTAAccountManager.h"

#include <algorithm>

#include "core/VTAUserDefoult.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/Paths.h"

VTAAccountManager& VTAAccountManager::tradeAccountManager() {
    static VTAAccountManager list;
    return list;
}

VTAAccountManager& VTAAccountManager::tradeAccountManagerForHK() {
    static VTAAccountManager list;
    return list;
}

VTAAccountManager& VTAAccountManager::savedAccountManager() {
    static VTAAccountManager list(kSavedAccountsFile);
    return list;
}

VTAAccountManager::VTAAccountManager(std::string fileName) : fileName_(std::move(fileName)) {
    if (!fileName_.empty()) reload();
}

std::shared_ptr<VTAAccount> VTAAccountManager::accountAtIndex(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return accounts_[static_cast<size_t>(index)];
}

int VTAAccountManager::indexOfAccount(const VTAAccount& account) const {
    for (size_t i = 0; i < accounts_.size(); ++i)
        if (accounts_[i]->isEqual(account)) return static_cast<int>(i);
    return -1;
}

int VTAAccountManager::selectedIndex() const {
    if (!selected_) return -1;
    for (size_t i = 0; i < accounts_.size(); ++i)
        if (accounts_[i] == selected_) return static_cast<int>(i);
    return -1;
}

int VTAAccountManager::accountLimit() {
    int limit = VTAUserDefoult::standerDefoult().getIntForKey("logaccnum");
    return limit < 1 ? kDefaultAccountLimit : limit;
}

bool VTAAccountManager::appendWithoutNotice(std::shared_ptr<VTAAccount> account, bool& droppedSelected) {
    droppedSelected = false;
    if (!account || indexOfAccount(*account) >= 0) return false;
    const size_t limit = static_cast<size_t>(accountLimit());
    while (!accounts_.empty() && accounts_.size() >= limit) {
        if (accounts_.front() == selected_) {
            selected_->setSelected(false);
            selected_.reset();
            droppedSelected = true;
        }
        accounts_.erase(accounts_.begin());
    }
    accounts_.push_back(std::move(account));
    return true;
}

bool VTAAccountManager::appendAccount(std::shared_ptr<VTAAccount> account) {
    bool droppedSelected = false;
    bool appended = appendWithoutNotice(std::move(account), droppedSelected);
    if (droppedSelected) postSelectionChanged();
    return appended;
}

void VTAAccountManager::removeAccount(const VTAAccount& account) {
    int index = indexOfAccount(account);
    if (index < 0) return;
    bool wasSelected = accounts_[static_cast<size_t>(index)] == selected_;
    if (wasSelected) {
        selected_->setSelected(false);
        selected_.reset();
    }
    accounts_.erase(accounts_.begin() + index);
    postNumberChanged();
    if (wasSelected) postSelectionChanged();
}

void VTAAccountManager::setSelectedAccount(std::shared_ptr<VTAAccount> account) {
    if (!account) return;
    int index = indexOfAccount(*account);
    if (index < 0) {
        bool droppedSelected = false;
        appendWithoutNotice(account, droppedSelected);
        index = count() - 1;
    }
    for (auto& a : accounts_) a->setSelected(false);
    selected_ = accounts_[static_cast<size_t>(index)];
    selected_->setSelected(true);
    postNumberChanged();
    postSelectionChanged();
}

void VTAAccountManager::postNumberChanged() {
    NSNotificationCenter::defaultCenter().postNotificationName(kAccountNumberDidChangedNotification, std::any(this));
}

void VTAAccountManager::postSelectionChanged() {
    NSNotificationCenter::defaultCenter().postNotificationName(kAccountDidChangedNotification);
}

bool VTAAccountManager::save() const {
    if (fileName_.empty()) return false;
    Value::Array list;
    for (const auto& a : accounts_) {
        Value::Dict entry;
        entry["accID"] = Value(a->accID());
        entry["typeCode"] = Value(a->accTypeCode());
        entry["typeName"] = Value(a->accTypeName());
        entry["yybCode"] = Value(a->yybCode());
        entry["yybName"] = Value(a->yybName());
        entry["zjzh"] = Value(a->zjzhAcc());
        entry["userName"] = Value(a->accUserName());
        entry["lastLoginTime"] = Value(a->lastLoginTime());
        list.emplace_back(std::move(entry));
    }
    Value root{Value::Dict{}};
    root.dict()["version"] = Value(1);
    root.dict()["selected"] = Value(selectedIndex());
    root.dict()["accounts"] = Value(std::move(list));
    return NSKeyedArchiver::archiveRootObject(root, documentsPath(fileName_));
}

void VTAAccountManager::reload() {
    accounts_.clear();
    selected_.reset();
    if (fileName_.empty()) return;
    auto stored = NSKeyedUnarchiver::unarchiveDictionaryWithGuardedFile(documentsPath(fileName_), LastGoodCopy::None);
    if (!stored) return;
    const Value root(std::move(*stored));
    const Value& list = root["accounts"];
    if (!list.isArray()) return;
    for (const Value& entry : list.array()) {
        std::string accID = entry["accID"].toString();
        if (accID.empty()) continue;
        auto account = std::make_shared<VTAAccount>(
            accID, VTAAccountType::accountTypeWithCode(entry["typeCode"].toString(), entry["typeName"].toString()),
            std::make_shared<VTAYYB>(entry["yybCode"].toString(), entry["yybName"].toString()),
            entry["zjzh"].toString());
        account->setAccUserName(entry["userName"].toString());
        account->setLastLoginTime(entry["lastLoginTime"].toString());
        if (indexOfAccount(*account) >= 0) continue;
        accounts_.push_back(std::move(account));
    }
    const Value& selected = root["selected"];
    if (selected.isInteger()) {
        int64_t index = selected.toInt();
        if (index >= 0 && index < count()) {
            selected_ = accounts_[static_cast<size_t>(index)];
            selected_->setSelected(true);
        }
    }
}
