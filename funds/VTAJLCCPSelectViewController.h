#pragma once
// The wealth-plan list ("jlccp"): the brokerage's plans as a paged trade
// query list (the link names the list request: 500/50 with "qryflag=2"),
// whose toolbar opens the plan order form for the selected plan: "申购"
// the purchase, "认购" the subscription.
//
// The forms are the menu's own items: beside this list's item stands a
// "collist" item whose children are the "jlcsg" and "jlcrg" links; the
// dispatcher makes the form of that item (its title and trade type) and the
// form gets the selected plan as a message of type 1 holding a stock (code
// "ofcode", name "ofname"). Nothing opens without a plan in the list or
// without those items.
#include "trade/VTATradeQueryViewController.h"

class VTAJLCCPSelectViewController : public VTATradeQueryViewController {
public:
    void createToolbarItems() override;
    void sgAction();
    void rgAction();

private:
    void openForm(const std::string& link);
};
