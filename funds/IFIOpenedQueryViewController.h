#pragma once
// The customer's opened fixed-investment plans ("已开通的智能定投", link
// "zndt_cx"), on the paged trade query list: the link names the plan list
// (500/1804), asked under the plan lists' tag (kPlanListTag) in pages of
// kPlanPageSize on every appearance and by "刷新". "修改" opens the
// modification form with the selected plan handed in (nothing while the
// list is empty); "终止" opens the termination list.
#include "funds/PlanRules.h"
#include "trade/VTATradeQueryViewController.h"

class IFIOpenedQueryViewController : public VTATradeQueryViewController {
public:
    void viewWillDidLoad() override;
    void requestTradeInfo() override;
    int tradeInfoRequestType() const override { return 4; }
    void createToolbarItems() override;

    void modifyAction();
    void closeAction();
    void refreshAction() { requestTradeInfo(); }
};
