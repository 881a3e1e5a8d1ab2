#pragma once
// 一键归集: collects the RMB of all the customer's secondary fund accounts
// into the main one (500/84 with "outfundid" 0 and the main binding's fund
// account as "infundid"). A note says what it does; the "一键转帐" button
// sends at once (no confirmation). While no binding is held it says
// "银行信息获取中，请稍后再试"; without a binding marked main it says
// "未找到主资金帐号" and sends nothing; while a collection is on its way a
// second tap does nothing (a failure ends it). Success says
// "请求已提交，请到帐户资金中查询!". Toolbar: "首页" and the stock finder.
#include <memory>

#include "shell/VTAViewControllers.h"
#include "trade/GTPBankList.h"

class UIButton;
class UITextView;

class GTPTransferAllViewController : public VTAViewControllers {
public:
    static constexpr int kCollectTag = 7066;
    static constexpr const char* kNoMainAccountText = "未找到主资金帐号";

    GTPTransferAllViewController();

    const std::vector<GTPBankInfo>& bankData() const { return bankData_.items(); }
    bool isConfirm() const { return isConfirm_; }
    UIButton* transferButton();
    UITextView* noteView();

    void onCommandOK() override;

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void collected(const RequestReply& reply);

    GTPBankList bankData_;
    bool isConfirm_ = false;
    std::shared_ptr<UITextView> note_;
    std::shared_ptr<UIButton> button_;
};
