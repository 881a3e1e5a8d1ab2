#pragma once
// A view that shows part of a larger content area. The finger drags the content
// (with a rubber band past the edges when it bounces); when the finger lifts
// with speed it decelerates on the main loop's timers, or snaps to a page when
// paging. The content offset is the bounds' origin.
#include "platform/uikit/UIView.h"

#include <memory>
#include <vector>

class NSTimer;
class UIScrollView;

class UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(UIScrollView& scrollView) {}
    virtual void scrollViewWillBeginDragging(UIScrollView& scrollView) {}
    virtual void scrollViewDidEndDragging(UIScrollView& scrollView, bool willDecelerate) {}
    virtual void scrollViewWillBeginDecelerating(UIScrollView& scrollView) {}
    virtual void scrollViewDidEndDecelerating(UIScrollView& scrollView) {}
    virtual void scrollViewDidEndScrollingAnimation(UIScrollView& scrollView) {}
    virtual bool scrollViewShouldScrollToTop(UIScrollView& scrollView) { return true; }
    virtual void scrollViewDidScrollToTop(UIScrollView& scrollView) {}
};

enum class UIScrollViewIndicatorStyle { Default, Black, White };

class UIScrollView : public UIView {
public:
    explicit UIScrollView(const CGRect& frame = CGRectZero);
    ~UIScrollView() override;
    std::string className() const override { return "UIScrollView"; }

    UIScrollViewDelegate* delegate() const { return delegate_; }
    // Not owned: the owner clears it before it goes away.
    void setDelegate(UIScrollViewDelegate* d) { delegate_ = d; }

    CGSize contentSize() const { return contentSize_; }
    void setContentSize(CGSize s);
    CGPoint contentOffset() const { return bounds().origin; }
    // Not clamped: screens place the content where they want it.
    void setContentOffset(CGPoint p);
    void setContentOffset(CGPoint p, bool animated);
    UIEdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(UIEdgeInsets i) { contentInset_ = i; }
    void scrollRectToVisible(const CGRect& rect, bool animated);
    // Where the offset comes to rest: an animated change's end, else the offset now.
    CGPoint restingContentOffset() const { return animDuration_ > 0 ? animTo_ : contentOffset(); }
    // Scrolls (animated) the least that puts the view, one of the content's,
    // below the scroll view's top edge and above `screenLimit` (a screen y),
    // counted from where the offset comes to rest; its top wins when both
    // cannot hold.
    void scrollViewIntoSightAbove(const UIView& view, double screenLimit);
    // The offsets the content may rest at.
    CGPoint minimumContentOffset() const;
    CGPoint maximumContentOffset() const;

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool e) { scrollEnabled_ = e; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool p) { pagingEnabled_ = p; }
    bool bounces() const { return bounces_; }
    void setBounces(bool b) { bounces_ = b; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool b) { alwaysBounceVertical_ = b; }
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool b) { alwaysBounceHorizontal_ = b; }
    bool showsHorizontalScrollIndicator() const { return showsH_; }
    void setShowsHorizontalScrollIndicator(bool s) { showsH_ = s; }
    bool showsVerticalScrollIndicator() const { return showsV_; }
    void setShowsVerticalScrollIndicator(bool s) { showsV_ = s; }
    void setIndicatorStyle(UIScrollViewIndicatorStyle s) { indicatorStyle_ = s; }
    bool delaysContentTouches() const { return delaysContentTouches_; }
    void setDelaysContentTouches(bool d) { delaysContentTouches_ = d; }
    bool canCancelContentTouches() const { return canCancelContentTouches_; }
    void setCanCancelContentTouches(bool c) { canCancelContentTouches_ = c; }
    bool scrollsToTop() const { return scrollsToTop_; }
    void setScrollsToTop(bool s) { scrollsToTop_ = s; }
    bool isDirectionalLockEnabled() const { return directionalLock_; }
    void setDirectionalLockEnabled(bool d) { directionalLock_ = d; }
    void setDecelerationRate(double r) { decelerationRate_ = r; }

    bool isTracking() const { return tracking_; }
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }

    // Whether a drag by (dx, dy) from the first touch should move this view
    // (the window hands the drag over from the content).
    virtual bool canTakeOverDrag(double dx, double dy) const;
    // Whether a drag that started on this content view may be taken from it
    // (tables keep drags that start on a reorder control).
    virtual bool touchesShouldCancelInContentView(UIView* view) const { return true; }

    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, UIEvent* event) override;

    // Shows the scroll indicators for a moment, as a finger would.
    void flashScrollIndicators();

protected:
    // Called on every change of the offset (tables lay out their rows here).
    virtual void didChangeContentOffset() {}
    void drawOverlay(CGContext& ctx) override;

private:
    bool canScrollHorizontally() const;
    bool canScrollVertically() const;
    void applyOffset(CGPoint p);
    void stopMotion();
    void startDeceleration(CGPoint velocity);
    void animateTo(CGPoint target, double seconds, bool endsDeceleration);
    void stepDeceleration();
    CGPoint clamped(CGPoint p) const;
    CGPoint pageTarget(CGPoint velocity) const;

    UIScrollViewDelegate* delegate_ = nullptr;
    CGSize contentSize_;
    UIEdgeInsets contentInset_;
    bool scrollEnabled_ = true, pagingEnabled_ = false, bounces_ = true;
    bool alwaysBounceVertical_ = false, alwaysBounceHorizontal_ = false;
    bool showsH_ = true, showsV_ = true;
    UIScrollViewIndicatorStyle indicatorStyle_ = UIScrollViewIndicatorStyle::Default;
    bool delaysContentTouches_ = true, canCancelContentTouches_ = true, scrollsToTop_ = true;
    bool directionalLock_ = false;
    double decelerationRate_ = 0.998;

    bool tracking_ = false, dragging_ = false, decelerating_ = false;
    CGPoint touchStart_;
    CGPoint offsetAtStart_;
    CGPoint lastTouch_;
    struct Sample {
        double t;
        CGPoint p;
    };
    std::vector<Sample> samples_;
    std::shared_ptr<NSTimer> timer_;
    CGPoint velocity_;
    double lastTick_ = 0;
    // Animated offset change.
    CGPoint animFrom_, animTo_;
    double animStart_ = 0, animDuration_ = 0;
    bool animEndsDeceleration_ = false;
    double indicatorsUntil_ = 0;
};
