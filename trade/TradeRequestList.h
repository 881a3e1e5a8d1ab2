#pragma once
// A server list of the trade session (VTATableViewController's grid) that
// asks one trade function each time it appears, and again on "刷新": the
// fund accounts (500/83) and the transfer history (500/22).
#include "shell/VTATableViewController.h"

class TradeRequestList : public VTATableViewController {
public:
    void viewWillAppear(bool animated) override;
    void requestTableViewContent() override;

protected:
    // The trade sub-function (family 500) and the request type it goes with.
    TradeRequestList(int subFunction, int requestType) : subFunction_(subFunction), requestType_(requestType) {}

private:
    int subFunction_;
    int requestType_;
};
