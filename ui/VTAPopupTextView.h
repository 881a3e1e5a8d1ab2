#pragma once
// The pop-up text view: a rounded panel with a title bar, a read-only
// scrolling text and a "关闭" button, centred over a dimming mask that covers
// the view it is shown in (the key window by default). "关闭" or a tap on the
// mask outside the panel closes it (fading out in 0.25 s) and then calls
// onClose. The view it was shown in keeps it while it is up.
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextView.h"

#include <functional>
#include <memory>
#include <string>

class VTAPopupTextView : public UIView {
public:
    static constexpr double kFadeSeconds = 0.25;

    VTAPopupTextView(const std::string& title, const std::string& text);
    ~VTAPopupTextView() override;
    std::string className() const override { return "VTAPopupTextView"; }

    // Covers the view (the key window when null) and shows the panel, at most
    // 280 x 360 and no taller than its text needs.
    void showInView(UIView* view = nullptr);
    void close();
    bool isShown() const { return superview() != nullptr && !closing_; }

    std::function<void()> onClose;

    UILabel* titleLabel() const { return title_.get(); }
    UITextView* textView() const { return text_.get(); }
    UIButton* closeButton() const { return close_.get(); }
    UIView* panel() const { return panel_.get(); }

    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void layoutSubviews() override;

private:
    std::shared_ptr<UIView> panel_;
    std::shared_ptr<UILabel> title_;
    std::shared_ptr<UITextView> text_;
    std::shared_ptr<UIButton> close_;
    bool closing_ = false;
};
