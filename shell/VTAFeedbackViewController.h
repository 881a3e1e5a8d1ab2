#pragma once
// Feedback to the brokerage: a text and an optional contact, sent with "提交"
// as "tc_mfuncno=100&tc_sfuncno=17&content=<text>&contact=<contact>", request
// type 1 (enciphered: the contact is personal), tag kFeedbackTag. An empty
// text alerts "请输入反馈内容"; a text or contact holding "&" or "=" alerts
// "反馈内容不能包含&或=" and nothing is sent. The reply's "message" (or its
// error text) is shown; only a "result" of 1 is a success, after which the
// fields are emptied (kThanksText when the server says nothing); anything
// else keeps them (kNotTakenText when the server says nothing).
#include <memory>

#include "shell/VTAViewControllers.h"

class UITextField;

class VTAFeedbackViewController : public VTAViewControllers {
public:
    static constexpr int kFeedbackTag = 3401;
    static constexpr const char* kShapeChangingText = "反馈内容不能包含&或=";
    static constexpr const char* kThanksText = "提交成功，感谢您的反馈";
    static constexpr const char* kNotTakenText = "提交失败，请稍后再试";

    VTAFeedbackViewController();

    UITextField* contentField() {
        view();
        return content_.get();
    }
    UITextField* contactField() {
        view();
        return contact_.get();
    }
    // "提交"; false when nothing was sent.
    bool submit();
    bool isSending() const { return sending_; }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillDisappear(bool animated) override;
    void onCommandOK() override { submit(); }

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void feedbackSent(const RequestReply& reply);

    std::shared_ptr<UITextField> content_, contact_;
    bool sending_ = false;
};
