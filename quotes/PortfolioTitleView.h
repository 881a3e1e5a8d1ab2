#pragma once
// The title of the own-stock screen in its navigation bar: the chosen view's
// name ("我的股票-行情" or "我的股票-资讯") in bold white with an arrow that
// turns half a circle while the view chooser is open, and a clear button over
// both that opens or closes the chooser.
#include <functional>
#include <memory>
#include <string>

#include "platform/uikit/UIView.h"

class UIButton;
class UIImageView;
class UILabel;

class PortfolioTitleView : public UIView {
public:
    static constexpr double kWidth = 160, kHeight = 44;

    PortfolioTitleView();
    std::string className() const override { return "PortfolioTitleView"; }

    void setTitleLabelString(const std::string& title);
    const std::string& titleLabelString() const;
    // What a tap on the title does.
    void setTapAction(std::function<void()> action) { tapAction_ = std::move(action); }

    UILabel* titleLabel() const { return titleLabel_.get(); }
    UIImageView* arrowView() const { return arrow_.get(); }
    UIButton* titleButton() const { return button_.get(); }

private:
    std::shared_ptr<UILabel> titleLabel_;
    std::shared_ptr<UIImageView> arrow_;
    std::shared_ptr<UIButton> button_;
    std::function<void()> tapAction_;
};
