#include "trade/VTAHistoryViewController.h"

#include "core/contracts/TradeQueryContract.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

VTAHistoryViewController::~VTAHistoryViewController() {
    if (myDateView_) {
        myDateView_->setDelegate(nullptr);
        myDateView_->hide(false);
    }
}

void VTAHistoryViewController::viewWillDidLoad() {
    VTATradeQueryViewController::viewWillDidLoad();
    myDateView_ = std::make_shared<VTADateView>(UIScreen::mainScreen().applicationFrame(), kDateViewTitle);
    myDateView_->setBackgroundColor(UIColor::darkGrayColor());
    myDateView_->setDelegate(this);
    T_pageSize = kHistoryPageSize;
    showDateView();
}

void VTAHistoryViewController::viewDidAppear(bool animated) {
    // Nothing is asked for before a range is confirmed; afterwards the page shown is asked again.
    VTATableViewController::viewDidAppear(animated);
    if (hasRange_) requestTradeInfo();
}

void VTAHistoryViewController::viewWillDisappear(bool animated) {
    VTATradeQueryViewController::viewWillDisappear(animated);
    // The date view lies over the window: it goes with the screen.
    if (myDateView_ && myDateView_->isShown()) myDateView_->hide(false);
}

RequestBuilder VTAHistoryViewController::tradeInfoRequest() const {
    RequestBuilder request = VTATradeQueryViewController::tradeInfoRequest();
    request.appendFields(myDateView_ ? myDateView_->getDate() : "");
    request.add(TradeQueryContract::Key::kQueryFlag, 1);
    return request;
}

void VTAHistoryViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto dates = std::make_shared<UIBarButtonItem>("日期", UIBarButtonItemStyle::Bordered, this,
                                                   [this](UIBarButtonItem&) { onCommandOK(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), dates});
}

void VTAHistoryViewController::onCommandOK() { showDateView(); }

void VTAHistoryViewController::showDateView() {
    UIWindow* window = view()->window();
    if (!window) window = UIApplication::sharedApplication().keyWindow();
    if (window && myDateView_ && !myDateView_->isShown()) myDateView_->showFromBottomInView(window);
}

void VTAHistoryViewController::paramViewOnCommandOK(VTAParamView& view) {
    if (&view != myDateView_.get()) return;
    hasRange_ = true;
    // A page of another range has nothing to do with this one.
    resetPaging();
    requestTradeInfo();
}
