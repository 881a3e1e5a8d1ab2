#pragma once
// A notice of the soft-token application: "申请提示" (type 0, read only) or
// "使用说明" (type 1, with an accept box: its "确定" first asks for the box,
// "请仔细阅读上文，并确认"). "确定" hands the page to the token page it was
// opened from (when that is still there).
#include <memory>
#include <string>

#include "shell/VTAViewControllers.h"

class UIButton;
class UITextView;
class VTASJLPViewController;

class VTASjlpDirectionController : public VTAViewControllers {
public:
    static constexpr const char* kAcceptFirstText = "请仔细阅读上文，并确认";
    static constexpr const char* kAcceptNote = "请仔细阅读以上说明；如有疑问，请致电客服热线 4008888888";

    explicit VTASjlpDirectionController(int type);
    int type() const { return type_; }
    void setDirection(const std::string& text);
    const std::string& direction() const { return contentTxt_; }
    void setTargetController(const std::shared_ptr<VTASJLPViewController>& target) { target_ = target; }
    bool isCheck() const { return isCheck_; }
    UIButton* checkButton() {
        view();
        return check_.get();
    }

    // The accept box.
    void onButtonClick();
    // "确定"; false when the page asked for the box first.
    bool onCommandApply();

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void onCommandOK() override { onCommandApply(); }

private:
    void showCheck();

    int type_;
    std::string contentTxt_;
    bool isCheck_ = false;
    std::weak_ptr<VTASJLPViewController> target_;
    std::shared_ptr<UITextView> text_;
    std::shared_ptr<UIButton> check_;
};
