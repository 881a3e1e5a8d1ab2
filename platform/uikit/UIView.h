#pragma once
// A rectangle on the screen that draws itself and holds subviews.
//
// Geometry follows UIKit: `center` is in the superview's coordinates, `bounds`
// is the view's own coordinate space (its origin is the top-left point shown,
// which is how scroll views scroll), `transform` applies around the centre and
// `frame` is derived from the three. Views are created with std::make_shared;
// a superview holds its subviews, a subview knows its superview by a plain
// pointer that the superview clears.
#include "platform/graphics/CGContext.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/UIColor.h"
#include "platform/uikit/CATransition.h"
#include "platform/uikit/UIResponder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UIWindow;
class UIViewController;
class UIImage;

enum class UIViewContentMode {
    ScaleToFill,
    ScaleAspectFit,
    ScaleAspectFill,
    Redraw,
    Center,
    Top,
    Bottom,
    Left,
    Right,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight
};
enum class UIViewAnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };
enum class UIViewAnimationTransition { None, FlipFromLeft, FlipFromRight, CurlUp, CurlDown };
// Options of the block-style animations (bit flags, UIKit's values).
enum : unsigned {
    UIViewAnimationOptionAllowUserInteraction = 1u << 1,
    UIViewAnimationOptionBeginFromCurrentState = 1u << 2,
    UIViewAnimationOptionCurveEaseInOut = 0u << 16,
    UIViewAnimationOptionCurveEaseIn = 1u << 16,
    UIViewAnimationOptionCurveEaseOut = 2u << 16,
    UIViewAnimationOptionCurveLinear = 3u << 16,
    UIViewAnimationOptionTransitionNone = 0u << 20,
    UIViewAnimationOptionTransitionFlipFromLeft = 1u << 20,
    UIViewAnimationOptionTransitionFlipFromRight = 2u << 20,
    UIViewAnimationOptionTransitionCurlUp = 3u << 20,
    UIViewAnimationOptionTransitionCurlDown = 4u << 20,
};
// Autoresizing masks are kept for callers that set them; layout does not use them.
enum : unsigned {
    UIViewAutoresizingNone = 0,
    UIViewAutoresizingFlexibleLeftMargin = 1,
    UIViewAutoresizingFlexibleWidth = 2,
    UIViewAutoresizingFlexibleRightMargin = 4,
    UIViewAutoresizingFlexibleTopMargin = 8,
    UIViewAutoresizingFlexibleHeight = 16,
    UIViewAutoresizingFlexibleBottomMargin = 32,
};

class UIView : public UIResponder {
public:
    explicit UIView(const CGRect& frame = CGRectZero);
    ~UIView() override;

    // This view as a shared pointer; null for a view not owned by a shared_ptr.
    std::shared_ptr<UIView> shared();
    // The class name shown in view-tree dumps.
    virtual std::string className() const { return "UIView"; }

    // ---- geometry ----
    CGRect frame() const;
    virtual void setFrame(const CGRect& frame);
    CGRect bounds() const { return bounds_; }
    virtual void setBounds(const CGRect& bounds);
    CGPoint center() const { return center_; }
    void setCenter(CGPoint c);
    const CGAffineTransform& transform() const { return transform_; }
    void setTransform(const CGAffineTransform& t);
    CGPoint convertPointToView(CGPoint p, const UIView* view) const;  // null: the window
    CGPoint convertPointFromView(CGPoint p, const UIView* view) const;
    CGRect convertRectToView(const CGRect& r, const UIView* view) const;
    CGRect convertRectFromView(const CGRect& r, const UIView* view) const;
    // The size that fits the content (labels, buttons, switches answer theirs).
    virtual CGSize sizeThatFits(CGSize size) const { return bounds_.size; }
    void sizeToFit();
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned m) { autoresizingMask_ = m; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool v) { autoresizesSubviews_ = v; }

    // ---- hierarchy ----
    UIView* superview() const { return superview_; }
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
    void addSubview(const std::shared_ptr<UIView>& view);
    void insertSubview(const std::shared_ptr<UIView>& view, size_t index);
    void insertSubviewAbove(const std::shared_ptr<UIView>& view, const UIView* sibling);
    void insertSubviewBelow(const std::shared_ptr<UIView>& view, const UIView* sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const UIView* view);
    void sendSubviewToBack(const UIView* view);
    void exchangeSubviewAtIndex(size_t a, size_t b);
    bool isDescendantOfView(const UIView* view) const;
    UIWindow* window() const;
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }
    // This view or the first descendant (depth first) with the tag.
    std::shared_ptr<UIView> viewWithTag(int tag);
    virtual void didAddSubview(UIView* subview) {}
    virtual void willRemoveSubview(UIView* subview) {}
    virtual void willMoveToSuperview(UIView* newSuperview) {}
    virtual void didMoveToSuperview() {}
    virtual void didMoveToWindow() {}

    // The view controller whose root view this is (set by the controller).
    UIViewController* viewController() const { return viewController_; }
    void setViewController(UIViewController* vc) { viewController_ = vc; }

    // ---- appearance ----
    bool isHidden() const { return hidden_; }
    void setHidden(bool h);
    double alpha() const { return alpha_; }
    void setAlpha(double a);
    const std::shared_ptr<UIColor>& backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(std::shared_ptr<UIColor> c);
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool c) {
        clipsToBounds_ = c;
        setNeedsDisplay();
    }
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool o) { opaque_ = o; }
    UIViewContentMode contentMode() const { return contentMode_; }
    void setContentMode(UIViewContentMode m) {
        contentMode_ = m;
        setNeedsDisplay();
    }
    // Rounded corners and a border, the two layer properties screens use.
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double r) {
        cornerRadius_ = r;
        setNeedsDisplay();
    }
    void setBorder(double width, std::shared_ptr<UIColor> color);

    // ---- drawing and layout ----
    void setNeedsDisplay();
    void setNeedsDisplayInRect(const CGRect&) { setNeedsDisplay(); }
    // Draws this view's own content in its bounds (the current context is set).
    virtual void drawRect(const CGRect& rect) {}
    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Runs layoutSubviews on this view and its descendants where it is pending.
    void layoutIfNeeded();
    virtual void layoutSubviews() {}
    // Draws the view, its background and subviews, with this view's bounds origin
    // at the context's origin.
    void renderInContext(CGContext& ctx);
    // Draws this view into a new image of its bounds' size at the given scale.
    std::shared_ptr<UIImage> renderToImage(double scale = 2);
    // Grows on every change that needs a new picture (hosts redraw when it moved).
    static unsigned long long displayGeneration();

    // ---- touches ----
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool e) { userInteractionEnabled_ = e; }
    bool isMultipleTouchEnabled() const { return multipleTouchEnabled_; }
    void setMultipleTouchEnabled(bool e) { multipleTouchEnabled_ = e; }
    bool isExclusiveTouch() const { return exclusiveTouch_; }
    void setExclusiveTouch(bool e) { exclusiveTouch_ = e; }
    // The deepest visible, interactive descendant containing the point (in this
    // view's coordinates), or null.
    virtual UIView* hitTest(CGPoint point, UIEvent* event);
    virtual bool pointInside(CGPoint point, UIEvent* event) const;
    UIResponder* nextResponder() const override;
    // Resigns the first responder when it is this view or inside it.
    bool endEditing(bool force);

    // ---- animations (final state applied at once; callbacks after the duration) ----
    static void beginAnimations(const std::string& animationID = "", void* context = nullptr);
    static void commitAnimations();
    static void setAnimationDuration(double seconds);
    static void setAnimationDelay(double seconds);
    static void setAnimationCurve(UIViewAnimationCurve curve);
    static void setAnimationRepeatCount(double count);
    static void setAnimationBeginsFromCurrentState(bool b);
    // The delegate is only an identity here: the selectors below carry the calls.
    static void setAnimationDelegate(const void* delegate);
    static void setAnimationWillStartSelector(std::function<void(const std::string& animationID, void* context)> f);
    static void setAnimationDidStopSelector(
        std::function<void(const std::string& animationID, bool finished, void* context)> f);
    static void setAnimationTransition(UIViewAnimationTransition transition, UIView* view, bool cache);
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();
    static void animateWithDuration(double duration, const std::function<void()>& animations,
                                    std::function<void(bool finished)> completion = nullptr);
    static void animateWithDuration(double duration, double delay, unsigned options,
                                    const std::function<void()>& animations,
                                    std::function<void(bool finished)> completion);
    static void transitionWithView(UIView* view, double duration, unsigned options,
                                   const std::function<void()>& animations,
                                   std::function<void(bool finished)> completion);
    // Puts `to` in the place of `from` in from's superview.
    static void transitionFromView(UIView* from, const std::shared_ptr<UIView>& to, double duration, unsigned options,
                                   std::function<void(bool finished)> completion);
    // Animations committed whose callbacks have not run yet.
    static int pendingAnimationCount();
    // Forgets open and pending animations (a fresh application; their timers are the loop's).
    static void resetAnimationState();
    // A layer transition under a key (a later one under the same key replaces it).
    void addAnimation(const CATransition& transition, const std::string& key);
    // The last layer transition added and its key (tests check what the screen used).
    const CATransition* lastLayerTransition() const { return hasLayerTransition_ ? &layerTransition_ : nullptr; }
    const std::string& lastLayerTransitionKey() const { return layerTransitionKey_; }
    // The transition last asked for a view (tests check which one the screen used).
    UIViewAnimationTransition lastTransition() const { return lastTransition_; }
    void setLastTransition(UIViewAnimationTransition t) { lastTransition_ = t; }

    // What a view that shows no text of its own (a picture button) is called.
    const std::string& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }
    // Texts shown by this view (labels, buttons, fields), for tests, scripts
    // and view dumps; the accessibility label where it shows none.
    virtual std::string accessibilityText() const { return accessibilityLabel_; }
    // One line per view: class, frame and text, indented by depth.
    std::string describeTree(int depth = 0) const;

protected:
    // True when content the view shows changed without setNeedsLayout (bars
    // watch their items this way); layoutIfNeeded then lays the view out.
    virtual bool contentChangedSinceLayout() const { return false; }
    // Draws over the subviews (scroll indicators), in bounds coordinates.
    virtual void drawOverlay(CGContext& ctx) {}
    // Draws background, border, drawRect and subviews in local coordinates.
    void drawLocal(CGContext& ctx);
    // Maps between this view's and its superview's coordinates.
    CGPoint toSuperview(CGPoint p) const;
    CGPoint fromSuperview(CGPoint p) const;

private:
    void moveToWindowNotify();
    void detachChild(size_t index);

    UIView* superview_ = nullptr;
    std::vector<std::shared_ptr<UIView>> subviews_;
    UIViewController* viewController_ = nullptr;
    CGPoint center_;
    CGRect bounds_;
    CGAffineTransform transform_;
    int tag_ = 0;
    bool hidden_ = false;
    double alpha_ = 1;
    std::shared_ptr<UIColor> backgroundColor_;
    bool clipsToBounds_ = false;
    bool opaque_ = true;
    UIViewContentMode contentMode_ = UIViewContentMode::ScaleToFill;
    double cornerRadius_ = 0;
    double borderWidth_ = 0;
    std::shared_ptr<UIColor> borderColor_;
    bool needsLayout_ = true;
    bool userInteractionEnabled_ = true;
    bool multipleTouchEnabled_ = false;
    bool exclusiveTouch_ = false;
    unsigned autoresizingMask_ = 0;
    bool autoresizesSubviews_ = true;
    UIViewAnimationTransition lastTransition_ = UIViewAnimationTransition::None;
    CATransition layerTransition_;
    std::string layerTransitionKey_;
    std::string accessibilityLabel_;
    bool hasLayerTransition_ = false;
};

// Draws `image` into `rect` the way a content mode places it.
void drawImageWithContentMode(const UIImage& image, const CGRect& rect, UIViewContentMode mode);
