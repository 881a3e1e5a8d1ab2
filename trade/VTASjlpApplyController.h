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
// A token is enrolment only once it is in the token file: the file is
// written before the server is asked to replace the customer's token (a
// phone that cannot keep one asks nothing: kNotKeptText), and a new token
// the file then does not take is dropped again and told as a failure
// (kSaveFailedText), never as "手机令牌申请成功". An application whose line
// fails after it left may have replaced the token: the customer is told to
// apply again (kUnknownOutcomeText).
#include <memory>
#include <string>

#include "trade/TradeAccountForm.h"

class VTASJLPViewController;
class YMCountdownAlert;

class VTASjlpApplyController : public TradeAccountForm {
public:
    static constexpr int kApplyTag = 7004;
    static constexpr const char* kTitle = "申请手机令牌";
    static constexpr const char* kWaitingText = "手机令牌申请中...";
    static constexpr const char* kDoneText = "手机令牌申请成功";
    static constexpr int kCountdownSeconds = 30;
    static constexpr const char* kNotKeptText = "本机无法保存手机令牌，申请未提交";
    static constexpr const char* kSaveFailedText = "手机令牌保存失败，请重新申请";
    static constexpr const char* kUnknownOutcomeText = "手机令牌申请结果未知，请重新申请";

    VTASjlpApplyController();
    ~VTASjlpApplyController() override;

    void setTargetController(const std::shared_ptr<VTASJLPViewController>& target) { target_ = target; }
    YMCountdownAlert* countdown() const { return countdown_.get(); }

    void onCommandOK() override;
    // Sends the application (or the branch list); false when nothing was sent.
    bool requestToken();

    void createToolbarItems() override;
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 4; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

private:
    void tokenArrived(const RequestReply& reply);

    std::weak_ptr<VTASJLPViewController> target_;
    std::shared_ptr<YMCountdownAlert> countdown_;
};
