#pragma once
// Invitation by SMS: the customer types a mobile number (digits only, 11 of
// them) and "发送邀请" opens the SMS composer with that recipient and
// kInviteText; the composer's result is told ("邀请短信已发送" / "短信发送失败")
// and the composer is dismissed. A number of another length alerts
// "请输入正确的手机号码"; a device that cannot send alerts "该设备不能发送短信".
#include <memory>

#include "platform/services/MessageComposeViewController.h"
#include "shell/VTAViewControllers.h"

class UITextField;

class VTAInviteViewController : public VTAViewControllers, public MFMessageComposeViewControllerDelegate {
public:
    static constexpr const char* kInviteText = "我正在使用翠岚星手机客户端看行情、做交易，方便快捷，推荐你也试试！";

    VTAInviteViewController();
    ~VTAInviteViewController() override;

    UITextField* numberField() {
        view();
        return number_.get();
    }
    // "发送邀请": answers the composer shown (null when refused).
    std::shared_ptr<MFMessageComposeViewController> sendInvitation();

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void messageComposeViewControllerDidFinishWithResult(MFMessageComposeViewController& controller,
                                                         MessageComposeResult result) override;

private:
    std::shared_ptr<UITextField> number_;
    std::shared_ptr<MFMessageComposeViewController> composer_;
};
