#pragma once
// A screen: it makes its view on first use (loadView, then viewDidLoad) and
// hears when the view appears and disappears, in UIKit's order: the leaving
// screen's will-disappear, the coming screen's will-appear, the transition,
// then did-disappear and did-appear.
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UINavigationItem.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UINavigationController;

enum class UIModalTransitionStyle { CoverVertical, FlipHorizontal, CrossDissolve, PartialCurl };
enum class UIInterfaceOrientation { Portrait = 1, PortraitUpsideDown = 2, LandscapeRight = 3, LandscapeLeft = 4 };

class UIViewController : public UIResponder {
public:
    UIViewController();
    ~UIViewController() override;

    // This controller as a shared pointer (null when not owned by one).
    std::shared_ptr<UIViewController> sharedController();

    // ---- the view ----
    std::shared_ptr<UIView> view();
    void setView(std::shared_ptr<UIView> v);
    bool isViewLoaded() const { return view_ != nullptr; }
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewDidUnload() {}
    virtual void viewWillAppear(bool animated) {}
    virtual void viewDidAppear(bool animated) {}
    virtual void viewWillDisappear(bool animated) {}
    virtual void viewDidDisappear(bool animated) {}
    virtual bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation o) {
        return o == UIInterfaceOrientation::Portrait;
    }
    UIInterfaceOrientation interfaceOrientation() const { return UIInterfaceOrientation::Portrait; }
    virtual void didReceiveMemoryWarning() {}

    // Drives the appearance hooks, once per change (containers call these).
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    // True between did-appear and will-disappear.
    bool isVisible() const { return appearance_ == Appearance::Appeared; }

    // ---- titles and bars ----
    const std::string& title() const { return title_; }
    virtual void setTitle(const std::string& t);
    std::shared_ptr<UINavigationItem> navigationItem();
    const std::vector<std::shared_ptr<UIBarButtonItem>>& toolbarItems() const { return toolbarItems_; }
    void setToolbarItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool animated = false);
    bool hidesBottomBarWhenPushed() const { return hidesBottomBar_; }
    void setHidesBottomBarWhenPushed(bool h) { hidesBottomBar_ = h; }
    bool isEditing() const { return editing_; }
    virtual void setEditing(bool editing, bool animated);
    // An item titled "编辑" / "完成" that toggles editing.
    std::shared_ptr<UIBarButtonItem> editButtonItem();

    // ---- containment ----
    UIViewController* parentViewController() const { return parent_; }
    void setParentViewController(UIViewController* p) { parent_ = p; }
    // The navigation controller this screen is in (through its parents), or null.
    UINavigationController* navigationController() const;

    // ---- modal presentation ----
    void presentModalViewController(std::shared_ptr<UIViewController> vc, bool animated);
    void presentViewController(std::shared_ptr<UIViewController> vc, bool animated,
                               std::function<void()> completion = nullptr);
    // Dismisses the screen this one presents; on a presented screen, itself.
    void dismissModalViewControllerAnimated(bool animated);
    void dismissViewController(bool animated, std::function<void()> completion = nullptr);
    UIViewController* modalViewController() const { return modal_.get(); }
    UIViewController* presentingViewController() const { return presenting_; }
    UIModalTransitionStyle modalTransitionStyle() const { return modalTransitionStyle_; }
    void setModalTransitionStyle(UIModalTransitionStyle s) { modalTransitionStyle_ = s; }

    UIResponder* nextResponder() const override;

    // Runs now every transition still waiting for its did-appear/did-disappear
    // (a new transition first completes the previous one).
    static void finishPendingTransitions();
    // Runs `finish` after `seconds` (at once when not animated), as a pending transition.
    static void scheduleTransitionEnd(bool animated, double seconds, std::function<void()> finish);
    // Forgets waiting transitions without running them (a fresh application).
    static void dropPendingTransitions();

private:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    std::shared_ptr<UIView> view_;
    std::string title_;
    std::shared_ptr<UINavigationItem> navigationItem_;
    std::vector<std::shared_ptr<UIBarButtonItem>> toolbarItems_;
    std::shared_ptr<UIBarButtonItem> editButtonItem_;
    bool hidesBottomBar_ = false;
    bool editing_ = false;
    UIViewController* parent_ = nullptr;
    std::shared_ptr<UIViewController> modal_;
    UIViewController* presenting_ = nullptr;
    UIModalTransitionStyle modalTransitionStyle_ = UIModalTransitionStyle::CoverVertical;
    Appearance appearance_ = Appearance::Disappeared;
    bool appearanceAnimated_ = false;
    std::shared_ptr<UIView> hiddenPresenterView_;
};
