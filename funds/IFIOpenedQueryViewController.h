#pragma once
// The customer's opened fixed-investment plans ("已开通的智能定投", link
// "zndt_cx"), on the paged trade query list: the first page is the plan list
// every plan screen asks (the first hundred, planListRequest, tag
// kOpenedPlansTag), on every appearance and by "刷新"; every plan it lists is
// shown. The page bar pages on as the base list does, from the link, a
// hundred at a time. "修改" opens the modification form with the selected
// plan handed in (nothing while the list is empty); "终止" opens the
// termination list.
#include "funds/PlanRules.h"
#include "trade/VTATradeQueryViewController.h"

class IFIOpenedQueryViewController : public VTATradeQueryViewController {
public:
    IFIOpenedQueryViewController();
    void viewWillDidLoad() override;
    void requestTradeInfo() override;
    void createToolbarItems() override;

    void modifyAction();
    void closeAction();
    void refreshAction() { requestTradeInfo(); }
};
