#pragma once
// The page bar of the paged lists: "上一页", the page text "第%d页", "下一页".
// Pages are 1-based. The previous button shows only when not at the first
// page, the next button only when not at the last; pressing one moves the
// page by one and tells the delegate.
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"

class VTAPageCtr;

class VTAPageCtrDelegate {
public:
    virtual ~VTAPageCtrDelegate() = default;
    virtual void pageActionFromPageCtr(VTAPageCtr& pageCtr) = 0;
};

class VTAPageCtr : public UIView {
public:
    explicit VTAPageCtr(const CGRect& frame);
    std::string className() const override { return "VTAPageCtr"; }

    // Not owned; the owner clears it before it goes away.
    void setDelegate(VTAPageCtrDelegate* d) { delegate_ = d; }
    VTAPageCtrDelegate* delegate() const { return delegate_; }

    // Adds the bar along the bottom of the view, sliding up (0.25 s).
    void showFromBottomInView(UIView* view);
    // Slides the bar out below its superview (or drops it at once) and removes it.
    void hideWithAnimation(bool animated);

    int curPage() const { return curPage_; }
    int totalPage() const { return totalPage_; }
    // Page `cur` of `total` (cur clamped to 1..total, total at least 1).
    void setStatusWithCurpage(int cur, int total);
    // A list that knows only whether it is at its end or beginning: the page
    // becomes `page`, the total `page` at the end, else `page` + 1.
    void setStatusIsEnd(bool isEnd, bool isBegan, int page);

    // The buttons and the page text (tests press them; screens may restyle them).
    UIButton* previousButton() const { return prev_.get(); }
    UIButton* nextButton() const { return next_.get(); }
    UILabel* pageLabel() const { return label_.get(); }

    // What the buttons do.
    void previousPage();
    void nextPage();

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

private:
    void update(bool showPrevious, bool showNext);

    VTAPageCtrDelegate* delegate_ = nullptr;
    int curPage_ = 1;
    int totalPage_ = 1;
    // Counts shows and hides, so that a hide overtaken by a new show before
    // its slide ends leaves the bar in place.
    unsigned moves_ = 0;
    std::shared_ptr<UIButton> prev_;
    std::shared_ptr<UIButton> next_;
    std::shared_ptr<UILabel> label_;
};
