#include "trade/GTPBankList.h"

GTPBankList::~GTPBankList() {
    if (appeared_) GTPBankManager::manager().releaseDelegate(this);
}

void GTPBankList::appear() {
    GTPBankManager& manager = GTPBankManager::manager();
    manager.setDelegate(this);
    appeared_ = true;
    if (!manager.bankArray().empty()) {
        bankInfoDidReceived();
        return;
    }
    if (!manager.isLoaded() && !items_.empty()) take({});  // another account's list goes
    manager.requestBankInfo();
}

void GTPBankList::disappear() { GTPBankManager::manager().releaseDelegate(this); }

void GTPBankList::bankInfoDidReceived() {
    const auto& list = GTPBankManager::manager().bankArray();
    if (!list.empty()) take(list);
}

void GTPBankList::take(const std::vector<GTPBankInfo>& list) {
    items_ = list;
    if (changed_) changed_();
}
