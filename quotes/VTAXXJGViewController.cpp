#include "quotes/VTAXXJGViewController.h"

#include "core/RequestBuilder.h"
#include "core/VTAStock.h"
#include "core/contracts/QuoteContract.h"
#include "net/AddMyStockSync.h"
#include "quotes/VTAXXJGView.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"

VTAXXJGViewController::VTAXXJGViewController() {
    bindRequest(kSnapshotTag, [this](const RequestReply& r) { snapshotArrived(r); });
}

VTAXXJGViewController::~VTAXXJGViewController() {
    if (optionSheet_) optionSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

void VTAXXJGViewController::viewWillDidLoad() {
    UIView* content = contentView();
    myJGView_ = std::make_shared<VTAXXJGView>(content->bounds());
    myJGView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    content->addSubview(myJGView_);
}

void VTAXXJGViewController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Plain, this,
                                                 [action = std::move(action)](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("选项", [this] { onCommandOption(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("买入", [this] { onBuyStock(); }), flexibleSpaceBarBtn(),
                         item("卖出", [this] { onSaleStock(); }), flexibleSpaceBarBtn(),
                         item("刷新", [this] { onCommandRefresh(); })});
}

void VTAXXJGViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    requestDetailPrice();
}

void VTAXXJGViewController::requestDetailPrice() {
    RequestBuilder q(QuoteContract::kSnapshot);
    q.add(QuoteContract::Key::kCode, stkcode_).add(QuoteContract::Key::kField, kFields);
    sendRequest(kSnapshotTag, q, 3);
}

void VTAXXJGViewController::snapshotArrived(const RequestReply& reply) {
    myJGView_->parseHQData(reply.sets);
    setTitle(myJGView_->abstractTitle());
}

void VTAXXJGViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kUnreadableText);
        return;
    }
    VTAViewControllers::requestDidFail(failure);
}

void VTAXXJGViewController::trade(int action) {
    if (myJGView_->stkClass() == 2) {
        showAlert("指数无法交易！");
        return;
    }
    if (myJGView_->stkMarketID() == 3) {
        showAlert("暂不支持港股交易！");
        return;
    }
    tradeWithStock(std::make_shared<VTAStock>(myJGView_->stKCode(), myJGView_->stkName(), myJGView_->stkMarketID()),
                   action);
}

void VTAXXJGViewController::onBuyStock() { trade(0); }

void VTAXXJGViewController::onSaleStock() { trade(1); }

void VTAXXJGViewController::onCommandOption() {
    optionSheet_ = std::make_shared<UIActionSheet>("", this, std::string("取消"), std::nullopt,
                                                   std::vector<std::string>{"返回首页", "加入自选"});
    optionSheet_->setActionSheetStyle(UIActionSheetStyle::BlackOpaque);
    optionSheet_->showInView(view().get());
}

void VTAXXJGViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int index) {
    if (index == 0) {
        popToRootViewController();
    } else if (index == 1) {
        auto result = addMyStockAndSync(myJGView_->stkName(), myJGView_->stKCode(), myJGView_->stkMarketID());
        showAlert(result.message);
    }
}
