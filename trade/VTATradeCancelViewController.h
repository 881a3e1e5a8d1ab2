#pragma once
// The list of the day's orders that can still be cancelled ("wtcd"): the
// paged query list of its menu link, whose "确定" cancels the selected order
// as today's orders' "撤单" does (the same checks, confirmation sheet and
// 500/7 request; the accepted cancel's alert takes the customer back). An
// answer that cannot be read ends the cancel with "返回结果异常，请进入当日委托查询".
// Leaving the screen ends a cancel in flight: coming back asks for the list,
// never for the cancel again.
#include "trade/VTATradeQueryViewController.h"

class VTATradeCancelViewController : public VTATradeQueryViewController {
public:
    static constexpr const char* kUnreadableCancelText = "返回结果异常，请进入当日委托查询";

    void createToolbarItems() override;
    void onCommandOK() override { prepareWithdraw(); }
    // Whether a confirmed cancel awaits its answer.
    bool isReadyToCancel() const { return isWithdraw(); }

protected:
    std::string unreadableWithdrawText() const override { return kUnreadableCancelText; }
};
