#include "platform/uikit/UINavigationController.h"

#include "platform/uikit/UIScreen.h"

#include <algorithm>

namespace {
constexpr double kPushDuration = 0.35;

class NavigationContainerView : public UIView {
public:
    NavigationContainerView(const CGRect& f, UINavigationController* nav) : UIView(f), nav_(nav) {}
    std::string className() const override { return "UILayoutContainerView"; }
    void layoutSubviews() override {
        if (nav_) nav_->layoutContent();
    }
    UINavigationController* nav_;
};
}  // namespace

UINavigationController::UINavigationController() {
    bar_ = std::make_shared<UINavigationBar>();
    toolbar_ = std::make_shared<UIToolbar>();
    bar_->setBackAction([this] {
        if (stack_.size() > 1) popViewControllerAnimated(true);
    });
}

UINavigationController::UINavigationController(std::shared_ptr<UIViewController> root) : UINavigationController() {
    if (root) {
        adopt(root);
        stack_.push_back(root);
        syncBarItems();
    }
}

std::shared_ptr<UINavigationController> UINavigationController::initWithRootViewController(
    std::shared_ptr<UIViewController> root) {
    return std::make_shared<UINavigationController>(std::move(root));
}

void UINavigationController::loadView() {
    auto v = std::make_shared<NavigationContainerView>(UIScreen::mainScreen().applicationFrame(), this);
    v->setBackgroundColor(UIColor::blackColor());
    v->addSubview(bar_);
    v->addSubview(toolbar_);
    setView(v);
    if (!stack_.empty()) v->insertSubview(stack_.back()->view(), 0);
    layoutContent();
}

UIViewController* UINavigationController::visibleViewController() const {
    UIViewController* top = topViewController();
    if (modalViewController()) return modalViewController();
    return top;
}

CGRect UINavigationController::contentFrame() const {
    CGRect b =
        isViewLoaded() ? const_cast<UINavigationController*>(this)->view()->bounds() : CGRectMake(0, 0, 320, 460);
    double top = barHidden_ ? 0 : 44;
    double bottom = toolbarHidden_ ? 0 : 44;
    return CGRectMake(0, top, b.size.width, std::max(0.0, b.size.height - top - bottom));
}

void UINavigationController::layoutContent() {
    if (!isViewLoaded()) return;
    CGRect b = view()->bounds();
    bar_->setFrame(CGRectMake(0, 0, b.size.width, 44));
    bar_->setHidden(barHidden_);
    toolbar_->setFrame(CGRectMake(0, b.size.height - 44, b.size.width, 44));
    toolbar_->setHidden(toolbarHidden_);
    if (auto* top = topViewController())
        if (top->isViewLoaded() && top->view()->superview() == view().get()) top->view()->setFrame(contentFrame());
}

void UINavigationController::adopt(const std::shared_ptr<UIViewController>& vc) { vc->setParentViewController(this); }

void UINavigationController::release(const std::shared_ptr<UIViewController>& vc) {
    if (vc->parentViewController() == this) vc->setParentViewController(nullptr);
}

void UINavigationController::syncBarItems() {
    std::vector<std::shared_ptr<UINavigationItem>> items;
    for (auto& vc : stack_) items.push_back(vc->navigationItem());
    bar_->setItems(std::move(items));
    if (auto* top = topViewController()) toolbar_->setItems(top->toolbarItems());
}

void UINavigationController::transition(const std::shared_ptr<UIViewController>& outgoing,
                                        const std::shared_ptr<UIViewController>& incoming, bool animated,
                                        bool /*forward*/) {
    if (outgoing == incoming) return;
    const bool onScreen = appeared_;
    if (onScreen && outgoing) outgoing->beginAppearanceTransition(false, animated);
    if (incoming && isViewLoaded()) {
        auto v = incoming->view();
        v->setFrame(contentFrame());
        view()->insertSubviewBelow(v, bar_.get());
    }
    if (onScreen && incoming) incoming->beginAppearanceTransition(true, animated);
    if (outgoing && outgoing->isViewLoaded() &&
        outgoing->view()->superview() == (isViewLoaded() ? view().get() : nullptr))
        outgoing->view()->removeFromSuperview();
    if (!onScreen) return;
    UIViewController::scheduleTransitionEnd(animated, kPushDuration, [outgoing, incoming] {
        if (outgoing) outgoing->endAppearanceTransition();
        if (incoming) incoming->endAppearanceTransition();
    });
}

void UINavigationController::pushViewController(std::shared_ptr<UIViewController> vc, bool animated) {
    if (!vc || std::find(stack_.begin(), stack_.end(), vc) != stack_.end() || vc.get() == this) return;
    UIViewController::finishPendingTransitions();
    auto keep = sharedController();
    std::shared_ptr<UIViewController> old = stack_.empty() ? nullptr : stack_.back();
    adopt(vc);
    stack_.push_back(vc);
    syncBarItems();
    transition(old, vc, animated, true);
}

std::shared_ptr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
    if (stack_.size() < 2) return nullptr;
    UIViewController::finishPendingTransitions();
    auto keep = sharedController();
    auto old = stack_.back();
    stack_.pop_back();
    syncBarItems();
    transition(old, stack_.back(), animated, false);
    release(old);
    return old;
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToViewController(const UIViewController* vc,
                                                                                           bool animated) {
    auto it = std::find_if(stack_.begin(), stack_.end(), [&](auto& x) { return x.get() == vc; });
    if (it == stack_.end() || it + 1 == stack_.end()) return {};
    UIViewController::finishPendingTransitions();
    auto keep = sharedController();
    std::vector<std::shared_ptr<UIViewController>> popped(it + 1, stack_.end());
    auto old = stack_.back();
    stack_.erase(it + 1, stack_.end());
    syncBarItems();
    transition(old, stack_.back(), animated, false);
    for (auto& p : popped) release(p);
    return popped;
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToRootViewControllerAnimated(bool animated) {
    if (stack_.empty()) return {};
    return popToViewController(stack_.front().get(), animated);
}

void UINavigationController::setViewControllers(std::vector<std::shared_ptr<UIViewController>> vcs, bool animated) {
    vcs.erase(std::remove(vcs.begin(), vcs.end(), nullptr), vcs.end());
    UIViewController::finishPendingTransitions();
    auto keep = sharedController();
    std::shared_ptr<UIViewController> old = stack_.empty() ? nullptr : stack_.back();
    auto previous = stack_;
    stack_ = vcs;
    for (auto& vc : stack_) adopt(vc);
    syncBarItems();
    std::shared_ptr<UIViewController> incoming = stack_.empty() ? nullptr : stack_.back();
    bool forward = incoming && std::find(previous.begin(), previous.end(), incoming) == previous.end();
    transition(old, incoming, animated, forward);
    for (auto& p : previous)
        if (std::find(stack_.begin(), stack_.end(), p) == stack_.end()) release(p);
}

void UINavigationController::setNavigationBarHidden(bool hidden, bool) {
    barHidden_ = hidden;
    layoutContent();
}

void UINavigationController::setToolbarHidden(bool hidden, bool) {
    toolbarHidden_ = hidden;
    layoutContent();
}

void UINavigationController::viewWillAppear(bool animated) {
    if (auto* top = topViewController()) {
        if (isViewLoaded() && top->view()->superview() != view().get()) {
            top->view()->setFrame(contentFrame());
            view()->insertSubviewBelow(top->view(), bar_.get());
        }
        top->beginAppearanceTransition(true, animated);
    }
}

void UINavigationController::viewDidAppear(bool animated) {
    appeared_ = true;
    if (auto* top = topViewController()) top->endAppearanceTransition();
}

void UINavigationController::viewWillDisappear(bool animated) {
    if (auto* top = topViewController()) top->beginAppearanceTransition(false, animated);
}

void UINavigationController::viewDidDisappear(bool animated) {
    appeared_ = false;
    if (auto* top = topViewController()) top->endAppearanceTransition();
}
