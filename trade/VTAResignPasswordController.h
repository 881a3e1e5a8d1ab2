#pragma once
// The change of the trading password ("xgmm"): the present password, the new
// one and the new one again (number pads, secure, the new ones at most 6
// characters). "确定" checks, in this order, "原密码不能为空或少于6位",
// "新密码不能为空或少于6位", "新密码确认错误，请仔细再次确认", then sends the
// change (500, the sub function of the menu link's "tc_sfuncno", 12 when it
// has none; tag kPasswordTag), one at a time. The accepted change's "authid"
// replaces the session text's (a reply without one keeps the text as it was),
// the new password is remembered, both in the session and in the logged-on
// account the accounts pager restores; "密码修改成功" and the screen goes back.
// An unreadable answer shows "数据错误"; a refusal its text; neither touches
// the session.
#include <memory>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "ui/VTATextField.h"

class VTAResignPasswordController : public VTAViewControllers,
                                    public UITableViewDataSource,
                                    public UITableViewDelegate,
                                    public VTATextFieldDelegate {
public:
    static constexpr int kPasswordTag = 7023;
    static constexpr int kDefaultSubFunction = 12;
    static constexpr const char* kDoneText = "密码修改成功";
    static constexpr const char* kUnreadableText = "数据错误";
    // A change whose answer was lost may have ended the session with the old password.
    static constexpr const char* kUnknownOutcomeText = "密码修改结果未知，请重新登录确认";

    VTAResignPasswordController();
    ~VTAResignPasswordController() override;

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void onCommandOK() override;
    // Sends the change; false when nothing was sent.
    bool requestModifyPassword();
    // The sub function the change goes to.
    int subFunction() const;

    VTATextField* oldPwd() const { return oldPwd_.get(); }
    VTATextField* newPwd() const { return newPwd_.get(); }
    VTATextField* signPwd() const { return signPwd_.get(); }
    UITableView* tableView() const { return table_.get(); }

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 3; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 44; }

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void passwordChanged(const RequestReply& reply);

    std::shared_ptr<VTATextField> oldPwd_, newPwd_, signPwd_;
    std::shared_ptr<UITableView> table_;
};
