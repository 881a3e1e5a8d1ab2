#pragma once
// The window: the root of the view tree that fills the screen. It delivers the
// touches the application hands it to the views they hit, and hands a drag
// that starts on content inside a scroll view over to that scroll view.
#include "platform/uikit/UIView.h"

class UIViewController;

class UIWindow : public UIView {
public:
    explicit UIWindow(const CGRect& frame);
    ~UIWindow() override;
    std::string className() const override { return "UIWindow"; }

    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;

    // The controller whose view fills the window (below the status bar).
    UIViewController* rootViewController() const { return rootViewController_.get(); }
    void setRootViewController(std::shared_ptr<UIViewController> vc);

    virtual void sendEvent(UIEvent& event);
    // The views' hit test, but a touch on the keyboard's accessory bar over a
    // text field reaches the field (inputAreaTouchTarget).
    UIView* hitTest(CGPoint point, UIEvent* event) override;
    UIResponder* nextResponder() const override;

    // What the host shows: the view tree and the status bar on top.
    void renderScreen(CGContext& ctx);
    std::shared_ptr<UIImage> renderScreenToImage(double scale = 2);

private:
    void drawStatusBar(CGContext& ctx);

    std::shared_ptr<UIViewController> rootViewController_;
};
