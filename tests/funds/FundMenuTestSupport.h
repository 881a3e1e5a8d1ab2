#pragma once
// The fund screens opened from the simulator's own 理财 menu (installed as a
// login installs it, so that a list finds the items beside its own), and the
// fingers and readers of the paged lists' grids.
#include "FundTestSupport.h"

#include "core/MenuFunctions.h"
#include "trade/VTATradeQueryViewController.h"
#include "ui/VTATableView.h"

class FundMenuTest : public FundTest {
protected:
    void SetUp() override {
        FundTest::SetUp();
        ASSERT_TRUE(installMenuFromData(menuRecordSetsData(sim->registry().menu().records(), {})));
    }
    // The screen of the 理财 item of that link command, opened as a tap on it does.
    template <class Screen>
    Screen* openItem(const std::string& command) {
        auto items = menusWithLink(command, 3);
        EXPECT_TRUE(items && !items->empty()) << command;
        if (!items || items->empty()) return nullptr;
        VTAUIFactory::openMenuWithTradeGate(items->front());
        settle();
        return dynamic_cast<Screen*>(top());
    }
};
