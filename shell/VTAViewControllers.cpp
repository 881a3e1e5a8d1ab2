#include "shell/VTAViewControllers.h"

#include <cmath>

#include "core/MenuFunctions.h"
#include "core/QZUtil.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATree.h"
#include "core/VTAUserDefoult.h"
#include "platform/foundation/NSTimer.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIScreen.h"
#include "shell/KeyboardLift.h"
#include "shell/Navigation.h"
#include "shell/VTAStockFinder.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"
#include "ui/Palette.h"

// The root view of the older screens: keeps the content view and the toolbar
// in place when the navigation controller sizes the screen.
class VTABaseView : public UIView {
public:
    using UIView::UIView;
    std::string className() const override { return "VTABaseView"; }
    void layoutSubviews() override {
        if (auto* owner = dynamic_cast<VTAViewControllers*>(viewController())) owner->layoutBaseViews();
    }
};

VTAViewControllers::VTAViewControllers() = default;

VTAViewControllers::~VTAViewControllers() {
    if (autoRequestTimer_) autoRequestTimer_->invalidate();
}

void VTAViewControllers::loadView() {
    CGRect app = UIScreen::mainScreen().applicationFrame();
    auto root = std::make_shared<VTABaseView>(CGRectMake(0, 0, app.size.width, app.size.height - 44));
    root->setBackgroundColor(colorWithIndex(13));
    contentView_ = std::make_shared<UIView>(CGRectZero);
    contentView_->setBackgroundColor(UIColor::clearColor());
    toolbar_ = std::make_shared<UIToolbar>(CGRectMake(0, 0, 320, kToolbarHeight));
    toolbar_->setBarStyle(UIBarStyle::Black);
    root->addSubview(contentView_);
    root->addSubview(toolbar_);
    setView(root);
    layoutBaseViews();
    if (!navigationItem()->rightBarButtonItem()) navigationItem()->setRightBarButtonItem(logoButton());
    viewWillDidLoad();
}

void VTAViewControllers::viewDidLoad() {
    UIViewController::viewDidLoad();
    createToolbarItems();
    if (toolbar_->items().empty()) hideEmptyToolbar();
}

void VTAViewControllers::hideEmptyToolbar() {
    // The screen's views were laid out above the bar: those that reached its
    // edge follow the content down (a view from the top stretches, one docked
    // at the bottom moves).
    const double before = contentView_->bounds().size.height;
    hideToolBar();
    const double grow = contentView_->bounds().size.height - before;
    for (const auto& v : contentView_->subviews()) {
        CGRect f = v->frame();
        if (std::abs(CGRectGetMaxY(f) - before) > 0.5) continue;
        if (f.origin.y <= 0.5)
            f.size.height += grow;
        else
            f.origin.y += grow;
        v->setFrame(f);
    }
}

void VTAViewControllers::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    cancelRequests();
    if (autoRequestTimer_) {
        autoRequestTimer_->invalidate();
        autoRequestTimer_.reset();
    }
}

void VTAViewControllers::layoutBaseViews() {
    if (!isViewLoaded() || !contentView_) return;
    CGRect b = view()->bounds();
    double barHeight = toolbarHidden_ ? 0 : kToolbarHeight;
    contentView_->setFrame(CGRectMake(0, 0, b.size.width, std::max(0.0, b.size.height - barHeight)));
    double lift = toolbarLift_ ? toolbarLift_->lift() : 0;
    toolbar_->setFrame(CGRectMake(0, b.size.height - kToolbarHeight - lift, b.size.width, kToolbarHeight));
    toolbar_->setHidden(toolbarHidden_);
}

UIView* VTAViewControllers::contentView() { return contentViewShared().get(); }

std::shared_ptr<UIView> VTAViewControllers::contentViewShared() {
    view();
    return contentView_;
}

UIToolbar* VTAViewControllers::toolbar() {
    view();
    return toolbar_.get();
}

void VTAViewControllers::keepToolbarAboveKeyboard() {
    toolbarLift_ = std::make_unique<KeyboardLift>(toolbar_, [this](double) { layoutBaseViews(); });
}

void VTAViewControllers::hideToolBar() {
    toolbarHidden_ = true;
    layoutBaseViews();
}

void VTAViewControllers::showToolBar() {
    toolbarHidden_ = false;
    layoutBaseViews();
}

std::shared_ptr<UIBarButtonItem> VTAViewControllers::stockFinderButton() {
    if (!stockFinderButton_) {
        stockFinderButton_ = std::make_shared<UIBarButtonItem>("个股", UIBarButtonItemStyle::Bordered, this,
                                                               [this](UIBarButtonItem&) { showStockFinder(); });
    }
    return stockFinderButton_;
}

std::shared_ptr<UIBarButtonItem> VTAViewControllers::flexibleSpaceBarBtn() { return UIBarButtonItem::flexibleSpace(); }

std::shared_ptr<UIBarButtonItem> VTAViewControllers::logoButton() {
    if (!logoButton_) {
        auto button = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(0, 0, 60, 30));
        if (auto logo = UIImage::imageNamed("logo.png")) {
            button->setImage(logo);
            button->setAccessibilityLabel("首页");  // what a script taps to go home
        } else {
            button->setTitle("首页");
        }
        button->addTarget(
            this, [this](UIControl&) { onCommandHome(); }, UIControlEventTouchUpInside);
        logoButton_ = std::make_shared<UIBarButtonItem>(button);
    }
    return logoButton_;
}

void VTAViewControllers::onCommandHome() { popToRootViewController(); }

void VTAViewControllers::onCommandBack() { popViewControllers(1); }

std::shared_ptr<VTAStockFinder> VTAViewControllers::showStockFinder() {
    auto self = std::dynamic_pointer_cast<VTAViewControllers>(sharedController());
    return VTAStockFinder::showFinder(self);
}

void VTAViewControllers::goToZXHQ() { openFirstMenuWithCommand("zxhq"); }

void VTAViewControllers::goToPXHQ() { openFirstMenuWithCommand("pxhq"); }

std::shared_ptr<UIAlertView> VTAViewControllers::dialogOKCancelActionWithTitle(const std::string& title,
                                                                               const std::string& message) {
    auto alert =
        std::make_shared<UIAlertView>(title, message, nullptr, std::nullopt, std::vector<std::string>{"确定", "取消"});
    tellMe(*alert);
    alert->show();
    return alert;
}

std::shared_ptr<UIAlertView> VTAViewControllers::alertWithDelegate(const std::string& title, int tag) {
    auto alert = std::make_shared<UIAlertView>(title, "", nullptr, std::string("确定"), std::vector<std::string>{});
    alert->setTag(tag);
    tellMe(*alert);
    alert->show();
    return alert;
}

void VTAViewControllers::tellMe(UIAlertView& alert) {
    if (auto self = std::dynamic_pointer_cast<VTAViewControllers>(sharedController()))
        alert.setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<UIAlertViewDelegate>(self)));
    else
        alert.setDelegate(static_cast<UIAlertViewDelegate*>(this));
}

namespace {
// A screen as the sender of the message it hands on (empty when no shared owner holds it).
std::weak_ptr<UIViewController> asSender(UIViewController& screen) {
    return std::dynamic_pointer_cast<UIViewController>(screen.weak_from_this().lock());
}
}  // namespace

std::shared_ptr<UIViewController> VTAViewControllers::tradeWithStock(const std::shared_ptr<VTAStock>& stock,
                                                                     int action) {
    return ::tradeWithStock(stock, action, std::nullopt, asSender(*this));
}

std::shared_ptr<UIViewController> VTAViewControllers::tradeWithStock(const std::shared_ptr<VTAStock>& stock, int action,
                                                                     const std::string& param) {
    return ::tradeWithStock(stock, action, param, asSender(*this));
}

void VTAViewControllers::setAutoRequestTimer(std::shared_ptr<NSTimer> timer) {
    if (autoRequestTimer_ && autoRequestTimer_ != timer) autoRequestTimer_->invalidate();
    autoRequestTimer_ = std::move(timer);
}

double VTAViewControllers::autoRefreshInterval() {
    int seconds = VTAUserDefoult::standerDefoult().getIntForKey("auto refresh wait time");
    return seconds < 5 ? 5.0 : static_cast<double>(seconds);
}

bool VTAViewControllers::startAutoRefresh(std::function<void()> tick) {
    if (!tick || !VTAUserDefoult::standerDefoult().getBoolForKey("auto refresh") || !QZUtil::isTradeTimeNow())
        return false;
    setAutoRequestTimer(NSTimer::scheduledTimerWithTimeInterval(
        autoRefreshInterval(), [tick = std::move(tick)](NSTimer&) { tick(); }, true));
    return true;
}

std::shared_ptr<UIViewController> tradeWithStock(const std::shared_ptr<VTAStock>& stock, int action,
                                                 const std::optional<std::string>& param,
                                                 const std::weak_ptr<UIViewController>& sender) {
    if (!stock || (stock->code().size() != 5 && stock->code().size() != 6)) {
        showAlert("非法代码！");
        return nullptr;
    }
    if (stock->typeID() == 2) {
        showAlert("指数不能交易！");
        return nullptr;
    }
    if (stock->marketID() == 3) {
        showAlert("港股暂时无法交易！");
        return nullptr;
    }
    auto menu = std::make_shared<VTAMenu>();
    menu->setLink("buysale?MMLB=" + std::to_string(action));
    menu->setTitle(action == 0 ? "买入委托" : "卖出委托");
    if (param) menu->setParams(*param);
    auto message = VTAMessage::messageWithSender(std::any(sender), std::any(stock), 1);
    return VTAUIFactory::openMenuWithTradeGate(menu, message);
}

namespace {
std::shared_ptr<VTAMenu> findInTree(const VTATreeNode* node, const std::string& command) {
    for (const VTATreeNode* n = node; n; n = n->nextSibling()) {
        if (n->menu() && stripQuery(n->menu()->link()) == command) return n->menu();
        if (auto found = findInTree(n->firstChild(), command)) return found;
    }
    return nullptr;
}
}  // namespace

std::shared_ptr<VTAMenu> firstMenuWithCommand(const std::string& command) {
    if (auto top = menusWithLink(command, -1); top && !top->empty()) return top->front();
    auto tree = VTATree::sharedTree();
    return tree && tree->root() ? findInTree(tree->root()->firstChild(), command) : nullptr;
}

std::shared_ptr<UIViewController> openFirstMenuWithCommand(const std::string& command) {
    popToRootViewController();
    auto menu = firstMenuWithCommand(command);
    if (!menu) return nullptr;
    return VTAUIFactory::openMenuWithTradeGate(menu);
}
