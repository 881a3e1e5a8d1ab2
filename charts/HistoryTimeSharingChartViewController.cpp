#include "charts/HistoryTimeSharingChartViewController.h"

#include "charts/VTAFSView.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScreen.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"

namespace Col = QuoteContract::Col;

HistoryTimeSharingChartViewController::HistoryTimeSharingChartViewController() {
    bindRequest(kHistoryTag, [this](const RequestReply& reply) {
        if (reply.sets.empty()) {
            showAlert(kUnreadableText);
            return;
        }
        timeSharingChartView_->parseHQData(reply.sets);
    });
}

HistoryTimeSharingChartViewController::~HistoryTimeSharingChartViewController() {
    if (timeSharingChartView_) timeSharingChartView_->setChartDelegate(nullptr);
}

void HistoryTimeSharingChartViewController::loadView() {
    auto root = std::make_shared<UIView>(UIScreen::mainScreen().bounds());
    root->setBackgroundColor(UIColor::blackColor());
    CGRect app = UIScreen::mainScreen().applicationFrame();
    timeSharingChartView_ =
        std::make_shared<VTAFSView>(CGRectMake(app.origin.x, 0, app.size.width, app.size.height - 44));
    timeSharingChartView_->setChartDelegate(this);
    timeSharingChartView_->setIsHistory(true);
    root->addSubview(timeSharingChartView_);
    setView(root);
}

void HistoryTimeSharingChartViewController::viewDidLoad() {
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        kCloseTitle, UIBarButtonItemStyle::Done, this, [this](UIBarButtonItem&) { backAction(); }));
}

void HistoryTimeSharingChartViewController::viewDidUnload() { navigationItem()->setRightBarButtonItem(nullptr); }

void HistoryTimeSharingChartViewController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    requestHistoryTimeSharing();
}

void HistoryTimeSharingChartViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    cancelRequests();
}

void HistoryTimeSharingChartViewController::requestHistoryTimeSharing() { sendRequest(kHistoryTag, requestStr_, 3); }

void HistoryTimeSharingChartViewController::backAction() {
    if (auto nav = applicationNavigationController()) nav->dismissModalViewControllerAnimated(true);
}

void HistoryTimeSharingChartViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kUnreadableText);
        return;
    }
    RequestBinding::requestDidFail(failure);
}

RequestBuilder historyTimeSharingRequest(const std::string& code, int marketId, const std::string& day) {
    namespace Key = QuoteContract::Key;
    RequestBuilder r(QuoteContract::kIntraday);
    r.add(Key::kAddUp, 0).add(Key::kCloseXxld, 1).add(Key::kFreq, 2).add(Key::kTime, 0).add(Key::kDate, day);
    r.add(Key::kMaxVol, 999999999).add(Key::kCode, code + "." + std::to_string(marketId));
    return r;
}

std::shared_ptr<HistoryTimeSharingChartViewController> openHistoryTimeSharing(VTATCRS& header, const std::string& day) {
    auto nav = applicationNavigationController();
    if (!nav || header.rowsAffected() == 0 || day.empty()) return nullptr;
    header.fetchFirst();
    std::string code = header.toStringWithFieldName(Col::kCode).value_or("");
    std::string name = header.toStringWithFieldName(Col::kName).value_or("");
    int market = static_cast<int>(header.toIntWithFieldName(Col::kMarket));
    RequestBuilder request = historyTimeSharingRequest(code, market, day);
    if (code.empty() || request.refused()) return nullptr;
    auto screen = std::make_shared<HistoryTimeSharingChartViewController>();
    screen->setRequestStr(request.text());
    screen->setTitle(name + "-" + day);
    auto wrapper = UINavigationController::initWithRootViewController(screen);
    wrapper->navigationBar()->setBarStyle(UIBarStyle::BlackTranslucent);
    wrapper->navigationBar()->setTintColor(UIColor::blackColor());
    nav->presentModalViewController(wrapper, true);
    return screen;
}
