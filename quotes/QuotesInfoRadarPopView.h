#pragma once
// The pop-up of every information-radar item of the stock, over the whole
// application frame: a dark rounded panel titled "信息雷达", the items one
// after another with a blank line between them in a scrolling text, and
// "关闭". It fades in from a larger scale and fades out to it, then takes
// itself off the view it was shown in (which keeps it while it is up).
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextView.h"

class QuotesInfoRadarPopView : public UIView {
public:
    static constexpr double kFadeSeconds = 0.35;
    static constexpr double kFadeScale = 1.3;

    explicit QuotesInfoRadarPopView(std::vector<std::string> contentArray);
    std::string className() const override { return "QuotesInfoRadarPopView"; }

    const std::vector<std::string>& infoContentArray() const { return infoContentArray_; }
    UITextView* infoRadarTextView() const { return infoRadarTextView_.get(); }
    UIButton* closeBtn() const { return closeBtn_.get(); }

    // Adds the pop-up to the view (the window); fades it in when animated.
    void showInView(UIView* view, bool animated);
    void closeAction();

    // The text of the items: the first, then "\n\n" and each further one.
    static std::string joinedItems(const std::vector<std::string>& items);

    void drawRect(const CGRect& rect) override;

private:
    std::vector<std::string> infoContentArray_;
    std::shared_ptr<UILabel> titleLabel_;
    std::shared_ptr<UITextView> infoRadarTextView_;
    std::shared_ptr<UIButton> closeBtn_;
    bool closing_ = false;
};
