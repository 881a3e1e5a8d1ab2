#include "quotes/VTAHQViewController.h"

#include <algorithm>

#include "charts/KLineSeries.h"
#include "charts/VTAFSView.h"
#include "charts/VTAKXView.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/QuoteContract.h"
#include "net/AddMyStockSync.h"
#include "quotes/VTACJViewController.h"
#include "quotes/VTAXXJGView.h"
#include "quotes/VTAXXJGViewController.h"
#include "shell/Navigation.h"
#include "shell/VTAMenuScreen.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"
#include "ui/QZTabView.h"
#include "ui/VTAAnimation.h"

namespace {

const char* const kDetail = "详细报价";
const char* const kAddOwn = "加入自选";
const char* const kPeriods = "K线周期";
const char* const kBuy = "买入委托";
const char* const kSell = "卖出委托";
const char* const kDeals = "交易明细";
const char* const kHome = "返回首页";
const char* const kOverlayOff = "取消叠加";
const char* const kOverlayOn = "开启叠加";

bool sameRect(const CGRect& a, const CGRect& b) { return !CGRectIsEmpty(a) && CGRectEqualToRect(a, b); }

}  // namespace

VTAHQViewController::VTAHQViewController() {
    auto handler = [this](const RequestReply& r) { chartArrived(r); };
    bindRequest(kIntradayTag, handler);
    bindRequest(kKLineTag, handler);
}

VTAHQViewController::~VTAHQViewController() {
    *alive_ = false;
    for (VTAChartView* v : {static_cast<VTAChartView*>(chartView_.get()), static_cast<VTAChartView*>(kChartView_.get()),
                            static_cast<VTAChartView*>(jgView_.get())})
        if (v) v->setChartDelegate(nullptr);
    if (picker_) {
        picker_->setDelegate(nullptr);
        picker_->setDataSource(nullptr);
    }
    if (optionSheet_) optionSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

// ---------------------------------------------------------------- charts

void VTAHQViewController::viewWillDidLoad() { initWithChartType(chartType_); }

void VTAHQViewController::initWithChartType(int type) {
    UIView* content = contentView();
    std::shared_ptr<VTAChartView> chart;
    if (type == 1) {
        kChartView_ = std::make_shared<VTAKXView>(content->bounds());
        chart = kChartView_;
    } else if (type == 0) {
        chartView_ = std::make_shared<VTAFSView>(content->bounds());
        chart = chartView_;
    }
    if (!chart) return;
    chart->setChartDelegate(this);
    content->addSubview(chart);
}

VTAChartView* VTAHQViewController::shownChart() const {
    if (chartView_) return chartView_.get();
    return kChartView_.get();
}

void VTAHQViewController::removeChart() {
    for (VTAChartView* v :
         {static_cast<VTAChartView*>(chartView_.get()), static_cast<VTAChartView*>(kChartView_.get())})
        if (v) {
            v->setChartDelegate(nullptr);
            v->removeFromSuperview();
        }
    chartView_.reset();
    kChartView_.reset();
}

void VTAHQViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    requestMarketInfo();
}

void VTAHQViewController::createToolbarItems() {
    auto item = [this](const std::string& title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Plain, this,
                                                 [action = std::move(action)](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("选项", [this] { onCommandOption(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item(kChartView_ ? "分时" : "K线", [this] { changeChartType(); }),
                         flexibleSpaceBarBtn(), item("F10", [this] { onGGZX(); }), flexibleSpaceBarBtn(),
                         item("刷新", [this] { onCommandRefresh(); })});
}

// ---------------------------------------------------------------- requests

std::string VTAHQViewController::stockId() const {
    auto menu = viewMenu();
    return menu ? queryValue(menu->link(), QuoteContract::Key::kCode).value_or("") : "";
}

void VTAHQViewController::requestMarketInfo() {
    const std::string id = stockId();
    VTAChartView* chart = shownChart();
    if (id.empty() || !chart) return;
    const bool intraday = chart == chartView_.get();
    RequestBuilder q = chart->requestStringWithMFunc(
        QuoteContract::kIntraday.main, intraday ? QuoteContract::kIntraday.sub : QuoteContract::kKLine.sub);
    q.add(QuoteContract::Key::kCode, id);
    sendRequest(intraday ? kIntradayTag : kKLineTag, q, 3);
}

void VTAHQViewController::registerAutoRefresh() {
    startAutoRefresh([this] { requestMarketInfo(); });
}

// A reply of the chart no longer shown (the kind was switched meanwhile) is
// left alone.
void VTAHQViewController::chartArrived(const RequestReply& reply) {
    if (reply.tag == kIntradayTag && chartView_) {
        chartView_->parseHQData(reply.sets);
        setTitle(chartView_->abstractTitle());
        if (isPanelShown() && chartType_ == 0) {
            jgView_->parseHQData({chartView_->baseHQRS(), chartView_->detailHQRS()});
            setTitle(jgView_->abstractTitle());
        }
    } else if (reply.tag == kKLineTag && kChartView_) {
        kChartView_->parseHQData(reply.sets);
        setTitle(kChartView_->abstractTitle());
    } else {
        return;
    }
    registerAutoRefresh();
}

void VTAHQViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kUnreadableText);
        return;
    }
    VTAViewControllers::requestDidFail(failure);
}

// ---------------------------------------------------------------- gestures

bool VTAHQViewController::chartViewDoAction(VTAChartView& view, VTATouchAction action, const CGRect& rect,
                                            CGPoint point) {
    if (!view.baseHQRS()) return false;
    if (chartType_ == 1)
        return kChartView_ && &view == kChartView_.get() && kLineAction(*kChartView_, action, rect, point);
    return intradayAction(view, action, rect, point);
}

void VTAHQViewController::toggleCursor(VTAChartView& chart, CGPoint point) {
    chart.setShowCursor(!chart.showCursor());
    if (chart.showCursor()) chart.setCursorIndexWithPoint(point);
    chart.drawGraphics();
}

bool VTAHQViewController::kLineAction(VTAKXView& chart, VTATouchAction action, const CGRect& rect, CGPoint point) {
    const int zoomSteps = KLine::kZoomSteps, periods = KLine::kPeriodCount;
    switch (action) {
        case VTATouchAction::Click:
            if (sameRect(rect, chart.lineRect())) {
                toggleCursor(chart, point);
            } else if (sameRect(rect, chart.cjlRect()) && !chart.showCursor()) {
                // The next indicator, around to the first.
                auto keys = VTAKXView::techDictionary().allKeys();
                auto at = std::find(keys.begin(), keys.end(), chart.techName());
                std::string next = at == keys.end() || at + 1 == keys.end() ? keys.front() : *(at + 1);
                chart.setTechName(next);
                chart.setShowCursor(false);
                if (chart.chartHQRS()) chart.setChartHQRS(nullptr);
                requestMarketInfo();
            }
            return false;
        case VTATouchAction::PinchHorizontal:
            chart.setItemIndex(chart.itemIndex() + 1 >= zoomSteps ? 0 : chart.itemIndex() + 1);
            reStoreView(chart, kZoomOut);
            return true;
        case VTATouchAction::SpreadHorizontal:
            chart.setItemIndex(chart.itemIndex() - 1 < 0 ? zoomSteps - 1 : chart.itemIndex() - 1);
            reStoreView(chart, kZoomIn);
            return true;
        case VTATouchAction::PinchVertical:
            chart.setTypeIndex(chart.typeIndex() - 1 < 0 ? periods - 1 : chart.typeIndex() - 1);
            chart.setShowCursor(false);
            chart.setChartHQRS(nullptr);
            reStoreView(chart, kPreviousPeriod);
            return true;
        case VTATouchAction::SpreadVertical:
            chart.setTypeIndex(chart.typeIndex() + 1 >= periods ? 0 : chart.typeIndex() + 1);
            chart.setShowCursor(false);
            chart.setChartHQRS(nullptr);
            reStoreView(chart, kNextPeriod);
            return true;
        default:
            return false;
    }
}

bool VTAHQViewController::intradayAction(VTAChartView& view, VTATouchAction action, const CGRect& rect, CGPoint point) {
    if (jgView_ && &view == jgView_.get()) {
        if (action == VTATouchAction::DoubleClick || action == VTATouchAction::SwipeDown) closeXXJG();
        return true;
    }
    if (!chartView_ || &view != chartView_.get()) return true;
    if (action == VTATouchAction::Click) {
        if (chartView_->touchSpecelWithPoint(point)) return true;
        if (sameRect(rect, chartView_->lineRect())) toggleCursor(*chartView_, point);
    } else if ((action == VTATouchAction::DoubleClick || action == VTATouchAction::SwipeUp) &&
               sameRect(rect, chartView_->detailRect())) {
        showXXJGView();
    }
    return true;
}

// The chart swells along the pinch's direction and settles back; once the
// animation has run, the K-line works out its bars for the zoom step, or the
// screen asks for the bars of the new period.
void VTAHQViewController::reStoreView(UIView& view, int actionType) {
    const bool zoom = actionType == kZoomIn || actionType == kZoomOut;
    std::weak_ptr<bool> alive = alive_;
    std::weak_ptr<VTAKXView> chart = kChartView_;
    UIView::beginAnimations();
    UIView::setAnimationDuration(kZoomSeconds);
    UIView::setAnimationDelegate(zoom ? static_cast<const void*>(kChartView_.get()) : this);
    UIView::setAnimationDidStopSelector([this, alive, chart, zoom](const std::string&, bool, void*) {
        if (alive.expired()) return;
        if (zoom) {
            if (auto c = chart.lock()) c->computationFrame();
        } else {
            requestMarketInfo();
        }
    });
    const double sx = actionType == kZoomIn ? 1.2 : actionType == kZoomOut ? 0.8 : 1.0;
    const double sy = actionType == kNextPeriod ? 1.2 : actionType == kPreviousPeriod ? 0.8 : 1.0;
    view.setTransform(CGAffineTransformMakeScale(sx, sy));
    view.setTransform(CGAffineTransformIdentity);
    UIView::commitAnimations();
}

// ---------------------------------------------------------------- panel

bool VTAHQViewController::isPanelShown() const { return jgView_ && !jgView_->isHidden(); }

void VTAHQViewController::showXXJGView() {
    if (!chartView_) return;
    if (!jgView_) {
        jgView_ = std::make_shared<VTAXXJGView>(view()->bounds());
        jgView_->setTag(kPanelTag);
        jgView_->setChartDelegate(this);
        view()->addSubview(jgView_);
    }
    jgView_->setHidden(false);
    view()->bringSubviewToFront(jgView_.get());
    for (auto* set : {chartView_->baseHQRS().get(), chartView_->detailHQRS().get()})
        if (set) set->fetchFirst();
    jgView_->parseHQData({chartView_->baseHQRS(), chartView_->detailHQRS()});
    jgView_->addAnimation(VTAAnimation::getAnimationWithDirect(CATransitionSubtype::FromTop, 0.45), kTransitionKey);
    setTitle(jgView_->abstractTitle());
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        "隐藏", UIBarButtonItemStyle::Bordered, this, [this](UIBarButtonItem&) { closeXXJG(); }));
}

void VTAHQViewController::closeXXJG() {
    if (!jgView_) return;
    jgView_->setHidden(true);
    jgView_->addAnimation(VTAAnimation::getAnimationWithDirect(CATransitionSubtype::FromBottom, 0.35), kTransitionKey);
    if (VTAChartView* chart = shownChart()) setTitle(chart->abstractTitle());
    navigationItem()->setRightBarButtonItem(logoButton());
}

// ---------------------------------------------------------------- chart kind, F10

void VTAHQViewController::changeChartType() {
    const bool leavingKLine = chartType_ == 1;
    UIView::beginAnimations();
    UIView::setAnimationDuration(kFlipSeconds);
    UIView::setAnimationTransition(
        leavingKLine ? UIViewAnimationTransition::FlipFromLeft : UIViewAnimationTransition::FlipFromRight,
        contentView(), true);
    UIView::commitAnimations();
    if (isPanelShown()) closeXXJG();
    removeChart();
    chartType_ = leavingKLine ? 0 : 1;
    initWithChartType(chartType_);
    setTitle(chartType_ == 0 ? "分时" : "K线");
    createToolbarItems();
    requestMarketInfo();
}

void VTAHQViewController::onGGZX() {
    VTAChartView* chart = shownChart();
    if (!chart) return;
    if (chart->stkClass() == 2) {
        showAlert("大盘没有个股资讯");
        return;
    }
    if (chart->stkMarketID() == 3) {
        showAlert("暂不支持港股个股资讯功能");
        return;
    }
    auto menu = firstMenuWithCommand("f10");
    if (!menu) {
        showAlert("找不到菜单");
        return;
    }
    auto vc = VTAUIFactory::viewControllerWithMenu(menu);
    if (!vc) return;
    if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get()))
        screen->setViewMessage(VTAMessage::messageWithSender(
            std::any(std::weak_ptr<UIViewController>(sharedController())),
            std::any("stkcode=" + chart->stKCode() + "&market=" + std::to_string(chart->stkMarketID())), 0));
    pushViewController(vc);
}

// ---------------------------------------------------------------- option sheet

bool VTAHQViewController::isNormalStock() const {
    VTAChartView* chart = shownChart();
    return chart && chart->stkMarketID() != 3 && chart->stkClass() != 2;
}

std::shared_ptr<VTAStock> VTAHQViewController::chartStock() const {
    VTAChartView* chart = shownChart();
    return chart ? std::make_shared<VTAStock>(chart->stKCode(), chart->stkName(), chart->stkMarketID()) : nullptr;
}

std::vector<std::string> VTAHQViewController::optionItems() const {
    const bool normal = isNormalStock();
    if (kChartView_) {
        if (normal) return {kDetail, kAddOwn, kPeriods, kBuy, kSell, kHome};
        return {kDetail, kAddOwn, kPeriods, kHome};
    }
    const char* overlay =
        VTAUserDefoult::standerDefoult().getBoolForKey(VTAFSView::kOverlaySetting) ? kOverlayOff : kOverlayOn;
    if (normal) return {overlay, kAddOwn, kBuy, kSell, kDeals, kHome};
    return {overlay, kAddOwn, kHome};
}

void VTAHQViewController::onCommandOption() {
    sheetItems_ = optionItems();
    optionSheet_ = std::make_shared<UIActionSheet>("", this, std::string("取消"), std::nullopt, sheetItems_);
    optionSheet_->setActionSheetStyle(UIActionSheetStyle::BlackOpaque);
    optionSheet_->showInView(view().get());
}

void VTAHQViewController::actionSheetClickedButtonAtIndex(UIActionSheet&, int index) {
    if (index < 0 || index >= static_cast<int>(sheetItems_.size())) return;  // "取消"
    const std::string item = sheetItems_[static_cast<size_t>(index)];
    VTAChartView* chart = shownChart();
    if (!chart) return;
    if (item == kDetail) {
        auto detail = std::make_shared<VTAXXJGViewController>();
        detail->setStkcode(chart->stKCode() + "." + std::to_string(chart->stkMarketID()));
        pushViewController(detail);
    } else if (item == kAddOwn) {
        showAlert(addMyStockAndSync(chart->stkName(), chart->stKCode(), chart->stkMarketID()).message);
    } else if (item == kPeriods) {
        showIndexPicker();
    } else if (item == kBuy || item == kSell) {
        tradeWithStock(chartStock(), item == kBuy ? 0 : 1);
    } else if (item == kDeals) {
        auto deals = std::make_shared<VTACJViewController>();
        deals->setStockCode(chart->stKCode());
        deals->setStockName(chart->stkName());
        deals->setMarket(chart->stkMarketID());
        deals->setTitle("成交明细-" + chart->stkName());
        pushViewController(deals);
    } else if (item == kHome) {
        popToRootViewController();
    } else if (item == kOverlayOn || item == kOverlayOff) {
        auto& settings = VTAUserDefoult::standerDefoult();
        settings.setBool(!settings.getBoolForKey(VTAFSView::kOverlaySetting), VTAFSView::kOverlaySetting);
        requestMarketInfo();
    }
}

// ---------------------------------------------------------------- picker

// The picker turns to the chart's indicator and period each time it is
// shown: taps and pinches on the chart may have changed them.
void VTAHQViewController::showIndexPicker() {
    if (!kChartView_) return;
    if (kxCircle_.empty())
        for (int i = 0; i < KLine::kPeriodCount; ++i) kxCircle_.push_back(KLine::periodName(i));
    if (!picker_) {
        picker_ = std::make_shared<UIPickerView>();
        picker_->setDataSource(this);
        picker_->setDelegate(this);
        picker_->setShowsSelectionIndicator(true);
    }
    auto keys = VTAKXView::techDictionary().allKeys();
    auto at = std::find(keys.begin(), keys.end(), kChartView_->techName());
    picker_->selectRow(at == keys.end() ? 0 : static_cast<int>(at - keys.begin()), 0, true);
    picker_->selectRow(kChartView_->typeIndex(), 1, true);
    if (!indexPickerTab_) {
        indexPickerTab_ = QZTabView::initWithPickerView(picker_);
        view()->addSubview(indexPickerTab_);
    }
    view()->bringSubviewToFront(indexPickerTab_.get());
    indexPickerTab_->slideUp();
}

int VTAHQViewController::pickerViewNumberOfRowsInComponent(UIPickerView&, int component) {
    return component == 0 ? static_cast<int>(VTAKXView::techDictionary().count()) : static_cast<int>(kxCircle_.size());
}

std::string VTAHQViewController::pickerViewTitleForRow(UIPickerView&, int row, int component) {
    if (row < 0) return "";
    if (component == 0) {
        const auto& pairs = VTAKXView::techDictionary().pairs();
        return row < static_cast<int>(pairs.size()) ? pairs[static_cast<size_t>(row)].second : "";
    }
    return row < static_cast<int>(kxCircle_.size()) ? kxCircle_[static_cast<size_t>(row)] : "";
}

void VTAHQViewController::pickerViewDidSelectRow(UIPickerView&, int row, int component) {
    if (!kChartView_ || row < 0) return;
    if (component == 0) {
        const auto& pairs = VTAKXView::techDictionary().pairs();
        if (row >= static_cast<int>(pairs.size())) return;
        const std::string& name = pairs[static_cast<size_t>(row)].first;
        kChartView_->setTechName(name);
        VTAUserDefoult::standerDefoult().setString(name, VTAKXView::kTechSetting);
    } else {
        kChartView_->setTypeIndex(row);
    }
    kChartView_->setChartHQRS(nullptr);
    kChartView_->setShowCursor(false);
    requestMarketInfo();
}
