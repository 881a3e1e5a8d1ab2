#pragma once
// The soft-token application form (申请手机令牌): branch, account type,
// account and trading password (the trade login's fields, no code). "确定"
// asks for the branch list while no branch is known, checks the account
// ("输入帐号错误") and the password ("输入密码错误") and sends 500/69 (tag
// kApplyTag) with the account as the token knows it (normalizeTokenAccount)
// and the registered phone. The reply's token replaces any token of the same
// customer in the phone's token file; a reply without a usable seed or
// customer id keeps the old one ("数据解析错误"). A 30-second countdown
// ("手机令牌申请中...") then ends in "手机令牌申请成功", whose "确定" takes the
// customer back to the token page.
#include <memory>
#include <string>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "trade/TradeBranches.h"
#include "ui/VTATextField.h"

class TradePickerStrip;
class UILabel;
class VTASJLPViewController;
class YMCountdownAlert;

class VTASjlpApplyController : public VTAViewControllers,
                               public UITableViewDataSource,
                               public UITableViewDelegate,
                               public VTATextFieldDelegate {
public:
    static constexpr int kBranchTag = 7001;
    static constexpr int kApplyTag = 7004;
    static constexpr const char* kTitle = "申请手机令牌";
    static constexpr const char* kWaitingText = "手机令牌申请中...";
    static constexpr const char* kDoneText = "手机令牌申请成功";
    static constexpr int kCountdownSeconds = 30;

    VTASjlpApplyController();
    ~VTASjlpApplyController() override;

    void setTargetController(const std::shared_ptr<VTASJLPViewController>& target) { target_ = target; }
    VTATextField* accountField();
    VTATextField* passwordField();
    UITableView* tableView();
    const std::string& yybCode() const { return branch_.code(); }
    bool isBranchListOK() const { return branch_.isListOK(); }
    const std::string& accountCode() const { return accountCode_; }
    TradePickerStrip* typePicker() const { return typePicker_.get(); }
    YMCountdownAlert* countdown() const { return countdown_.get(); }

    void onCommandOK() override;
    // Sends the application (or the branch list); false when nothing was sent.
    bool requestToken();
    void chooseBranch();
    void chooseAccountType();
    void selectAccountType(int row);

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 4; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 44; }
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

private:
    void branchesArrived(const RequestReply& reply);
    void tokenArrived(const RequestReply& reply);

    TradeFormBranch branch_;
    std::string accountCode_ = "Z";
    std::weak_ptr<VTASJLPViewController> target_;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UILabel> branchLabel_, typeLabel_;
    std::shared_ptr<VTATextField> account_, password_;
    std::unique_ptr<TradePickerStrip> typePicker_;
    std::shared_ptr<YMCountdownAlert> countdown_;
};
