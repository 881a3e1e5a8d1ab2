#pragma once
// A screen's copy of the bank bindings (GTPBankManager), for the newer bank
// screens. appear(): the holder becomes the manager's delegate and takes the
// manager's list when it has entries; otherwise it drops its own (it may be
// another account's) and asks the manager to load. A list that arrives
// replaces the copy unless it is empty (the screen keeps what it showed).
// disappear() gives up the delegate. `changed` runs whenever the copy changes.
#include <functional>
#include <vector>

#include "trade/GTPBankManager.h"

class GTPBankList : public GTPBankManagerDelegate {
public:
    explicit GTPBankList(std::function<void()> changed) : changed_(std::move(changed)) {}
    ~GTPBankList() override;
    GTPBankList(const GTPBankList&) = delete;
    GTPBankList& operator=(const GTPBankList&) = delete;

    void appear();
    void disappear();
    const std::vector<GTPBankInfo>& items() const { return items_; }
    bool empty() const { return items_.empty(); }

    void bankInfoDidReceived() override;

private:
    void take(const std::vector<GTPBankInfo>& list);

    std::function<void()> changed_;
    std::vector<GTPBankInfo> items_;
    bool appeared_ = false;  // has been the manager's delegate
};
