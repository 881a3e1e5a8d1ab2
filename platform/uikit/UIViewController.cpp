#include "platform/uikit/UIViewController.h"

#include "platform/foundation/NSTimer.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScreen.h"

#include <algorithm>

namespace {
struct PendingTransition {
    std::shared_ptr<NSTimer> timer;
    std::function<void()> finish;
    unsigned long long id;
};
std::vector<PendingTransition> gPending;
unsigned long long gNextId = 1;

void runPending(unsigned long long id) {
    auto it = std::find_if(gPending.begin(), gPending.end(), [&](auto& p) { return p.id == id; });
    if (it == gPending.end()) return;
    auto finish = std::move(it->finish);
    if (it->timer) it->timer->invalidate();
    gPending.erase(it);
    if (finish) finish();
}

UIViewController* topAncestor(UIViewController* vc) {
    while (vc->parentViewController()) vc = vc->parentViewController();
    return vc;
}

double modalDuration(UIModalTransitionStyle s) {
    switch (s) {
        case UIModalTransitionStyle::FlipHorizontal:
            return 0.75;
        case UIModalTransitionStyle::PartialCurl:
            return 1.0;
        default:
            return 0.4;
    }
}
}  // namespace

void UIViewController::scheduleTransitionEnd(bool animated, double seconds, std::function<void()> finish) {
    if (!animated || seconds <= 0 || !UIView::areAnimationsEnabled()) {
        if (finish) finish();
        return;
    }
    unsigned long long id = gNextId++;
    gPending.push_back({nullptr, std::move(finish), id});
    gPending.back().timer = NSTimer::scheduledTimerWithTimeInterval(
        seconds, [id](NSTimer&) { runPending(id); }, false);
}

void UIViewController::dropPendingTransitions() {
    for (auto& p : gPending)
        if (p.timer) p.timer->invalidate();
    gPending.clear();
}

void UIViewController::finishPendingTransitions() {
    while (!gPending.empty()) runPending(gPending.front().id);
}

UIViewController::UIViewController() = default;

UIViewController::~UIViewController() {
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
    if (modal_ && modal_->presenting_ == this) modal_->presenting_ = nullptr;
}

std::shared_ptr<UIViewController> UIViewController::sharedController() {
    return std::static_pointer_cast<UIViewController>(weak_from_this().lock());
}

std::shared_ptr<UIView> UIViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) setView(std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame()));
        viewDidLoad();
    }
    return view_;
}

void UIViewController::setView(std::shared_ptr<UIView> v) {
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
    view_ = std::move(v);
    if (view_) view_->setViewController(this);
}

void UIViewController::loadView() {
    auto v = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    v->setBackgroundColor(UIColor::whiteColor());
    setView(v);
}

void UIViewController::beginAppearanceTransition(bool appearing, bool animated) {
    appearanceAnimated_ = animated;
    if (appearing) {
        if (appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing) return;
        view();
        appearance_ = Appearance::Appearing;
        viewWillAppear(animated);
    } else {
        if (appearance_ == Appearance::Disappeared || appearance_ == Appearance::Disappearing) return;
        appearance_ = Appearance::Disappearing;
        viewWillDisappear(animated);
    }
}

void UIViewController::endAppearanceTransition() {
    if (appearance_ == Appearance::Appearing) {
        appearance_ = Appearance::Appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::Disappearing) {
        appearance_ = Appearance::Disappeared;
        viewDidDisappear(appearanceAnimated_);
    }
}

void UIViewController::setTitle(const std::string& t) {
    title_ = t;
    navigationItem()->setTitle(t);
    if (auto* nav = navigationController()) nav->navigationBar()->setNeedsLayout();
}

std::shared_ptr<UINavigationItem> UIViewController::navigationItem() {
    if (!navigationItem_) navigationItem_ = std::make_shared<UINavigationItem>(title_);
    return navigationItem_;
}

void UIViewController::setToolbarItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool) {
    toolbarItems_ = std::move(items);
    if (auto* nav = navigationController())
        if (nav->topViewController() == this) nav->toolbar()->setItems(toolbarItems_);
}

void UIViewController::setEditing(bool editing, bool) {
    editing_ = editing;
    if (editButtonItem_) {
        editButtonItem_->setTitle(editing ? "完成" : "编辑");
        editButtonItem_->setStyle(editing ? UIBarButtonItemStyle::Done : UIBarButtonItemStyle::Bordered);
    }
}

std::shared_ptr<UIBarButtonItem> UIViewController::editButtonItem() {
    if (!editButtonItem_) {
        editButtonItem_ =
            std::make_shared<UIBarButtonItem>(editing_ ? "完成" : "编辑", UIBarButtonItemStyle::Bordered, this);
        UIViewController* self = this;
        editButtonItem_->setAction([self](UIBarButtonItem&) { self->setEditing(!self->isEditing(), true); });
    }
    return editButtonItem_;
}

UINavigationController* UIViewController::navigationController() const {
    for (UIViewController* p = parent_; p; p = p->parent_)
        if (auto* nav = dynamic_cast<UINavigationController*>(p)) return nav;
    return nullptr;
}

UIResponder* UIViewController::nextResponder() const {
    if (view_ && view_->superview()) return view_->superview();
    return parent_;
}

// ---------------------------------------------------------------- modal presentation

void UIViewController::presentModalViewController(std::shared_ptr<UIViewController> vc, bool animated) {
    presentViewController(std::move(vc), animated, nullptr);
}

void UIViewController::presentViewController(std::shared_ptr<UIViewController> vc, bool animated,
                                             std::function<void()> completion) {
    UIViewController* host = topAncestor(this);
    if (host != this) {
        host->presentViewController(std::move(vc), animated, std::move(completion));
        return;
    }
    if (!vc || modal_ || vc.get() == this) return;
    finishPendingTransitions();
    auto self = sharedController();
    UIWindow* window = view_ ? view_->window() : nullptr;
    if (!window) window = UIApplication::sharedApplication().keyWindow();
    modal_ = vc;
    vc->presenting_ = this;
    beginAppearanceTransition(false, animated);
    auto v = vc->view();
    v->setFrame(UIScreen::mainScreen().applicationFrame());
    vc->beginAppearanceTransition(true, animated);
    if (window) {
        if (view_ && view_->superview() == window)
            window->insertSubviewAbove(v, view_.get());
        else
            window->addSubview(v);
        window->setLastTransition(vc->modalTransitionStyle() == UIModalTransitionStyle::FlipHorizontal
                                      ? UIViewAnimationTransition::FlipFromRight
                                      : UIViewAnimationTransition::None);
    }
    // The presenting screen leaves the window while covered.
    if (view_ && view_->superview() == window && window) {
        hiddenPresenterView_ = view_;
        view_->removeFromSuperview();
    }
    scheduleTransitionEnd(animated, modalDuration(vc->modalTransitionStyle()),
                          [self, vc, completion = std::move(completion)] {
                              if (self) self->endAppearanceTransition();
                              vc->endAppearanceTransition();
                              if (completion) completion();
                          });
    if (!self) {
        endAppearanceTransition();
    }
}

void UIViewController::dismissModalViewControllerAnimated(bool animated) { dismissViewController(animated, nullptr); }

void UIViewController::dismissViewController(bool animated, std::function<void()> completion) {
    UIViewController* host = topAncestor(this);
    if (host != this) {
        host->dismissViewController(animated, std::move(completion));
        return;
    }
    if (!modal_) {
        if (presenting_) presenting_->dismissViewController(animated, std::move(completion));
        return;
    }
    finishPendingTransitions();
    auto vc = modal_;
    // A screen presented by the one leaving goes first.
    if (vc->modal_) vc->dismissViewController(false, nullptr);
    auto self = sharedController();
    vc->beginAppearanceTransition(false, animated);
    beginAppearanceTransition(true, animated);
    auto v = vc->view();
    UIWindow* window = v->window();
    if (hiddenPresenterView_) {
        if (window) window->insertSubviewBelow(hiddenPresenterView_, v.get());
        hiddenPresenterView_.reset();
    }
    v->removeFromSuperview();
    modal_.reset();
    vc->presenting_ = nullptr;
    scheduleTransitionEnd(animated, modalDuration(vc->modalTransitionStyle()),
                          [self, vc, completion = std::move(completion)] {
                              vc->endAppearanceTransition();
                              if (self) self->endAppearanceTransition();
                              if (completion) completion();
                          });
    if (!self) endAppearanceTransition();
}
