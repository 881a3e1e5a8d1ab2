#pragma once
// A row of page dots. A tap on the left or right half moves one page and sends value-changed.
#include "platform/uikit/UIControl.h"

class UIPageControl : public UIControl {
public:
    explicit UIPageControl(const CGRect& frame = CGRectZero);
    std::string className() const override { return "UIPageControl"; }
    int numberOfPages() const { return pages_; }
    void setNumberOfPages(int n);
    int currentPage() const { return current_; }
    void setCurrentPage(int p);
    bool hidesForSinglePage() const { return hidesForSingle_; }
    void setHidesForSinglePage(bool h) {
        hidesForSingle_ = h;
        setNeedsDisplay();
    }
    CGSize sizeForNumberOfPages(int n) const { return CGSizeMake(n * 16.0, 36); }
    void drawRect(const CGRect& rect) override;

protected:
    void endTrackingWithTouch(UITouch* touch, UIEvent* event) override;

private:
    int pages_ = 0, current_ = 0;
    bool hidesForSingle_ = false;
};

enum class UIActivityIndicatorViewStyle { WhiteLarge, White, Gray };

// The spinning wheel; hidden while stopped unless told otherwise.
class UIActivityIndicatorView : public UIView {
public:
    explicit UIActivityIndicatorView(UIActivityIndicatorViewStyle style = UIActivityIndicatorViewStyle::White);
    ~UIActivityIndicatorView() override;
    std::string className() const override { return "UIActivityIndicatorView"; }
    UIActivityIndicatorViewStyle activityIndicatorViewStyle() const { return style_; }
    void setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle s);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool h);
    void drawRect(const CGRect& rect) override;

private:
    UIActivityIndicatorViewStyle style_;
    bool animating_ = false, hidesWhenStopped_ = true;
    int step_ = 0;
    std::shared_ptr<class NSTimer> timer_;
};

enum class UIProgressViewStyle { Default, Bar };

class UIProgressView : public UIView {
public:
    explicit UIProgressView(UIProgressViewStyle style = UIProgressViewStyle::Default);
    std::string className() const override { return "UIProgressView"; }
    double progress() const { return progress_; }
    void setProgress(double p);
    void drawRect(const CGRect& rect) override;

private:
    UIProgressViewStyle style_;
    double progress_ = 0;
};
