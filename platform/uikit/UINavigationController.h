#pragma once
// A stack of screens under a navigation bar (and an optional toolbar). The top
// screen's view fills the area between the bars.
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UIViewController.h"

#include <vector>

class UINavigationController : public UIViewController {
public:
    UINavigationController();
    explicit UINavigationController(std::shared_ptr<UIViewController> root);
    static std::shared_ptr<UINavigationController> initWithRootViewController(std::shared_ptr<UIViewController> root);

    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return stack_; }
    void setViewControllers(std::vector<std::shared_ptr<UIViewController>> vcs, bool animated = false);
    UIViewController* topViewController() const { return stack_.empty() ? nullptr : stack_.back().get(); }
    // The top screen, or the one it presents.
    UIViewController* visibleViewController() const;

    void pushViewController(std::shared_ptr<UIViewController> vc, bool animated);
    std::shared_ptr<UIViewController> popViewControllerAnimated(bool animated);
    std::vector<std::shared_ptr<UIViewController>> popToRootViewControllerAnimated(bool animated);
    // Nothing is popped when vc is not on the stack.
    std::vector<std::shared_ptr<UIViewController>> popToViewController(const UIViewController* vc, bool animated);

    UINavigationBar* navigationBar() const { return bar_.get(); }
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated = false);
    UIToolbar* toolbar() const { return toolbar_.get(); }
    bool isToolbarHidden() const { return toolbarHidden_; }
    void setToolbarHidden(bool hidden, bool animated = false);

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    // The frame a screen's view gets: the area between the bars.
    CGRect contentFrame() const;
    void layoutContent();

private:
    // Puts `incoming` on screen in place of `outgoing`, with the appearance hooks.
    void transition(const std::shared_ptr<UIViewController>& outgoing,
                    const std::shared_ptr<UIViewController>& incoming, bool animated, bool forward);
    void adopt(const std::shared_ptr<UIViewController>& vc);
    void release(const std::shared_ptr<UIViewController>& vc);
    void syncBarItems();

    std::vector<std::shared_ptr<UIViewController>> stack_;
    std::shared_ptr<UINavigationBar> bar_;
    std::shared_ptr<UIToolbar> toolbar_;
    bool barHidden_ = false;
    bool toolbarHidden_ = true;
    bool appeared_ = false;
};
