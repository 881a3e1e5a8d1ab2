#include "quotes/VTACJViewController.h"

#include "core/MarketTime.h"
#include "platform/graphics/UIColor.h"
#include "quotes/TransDetailCell.h"
#include "quotes/TransactionDetailsViewController.h"
#include "ui/Alerts.h"

VTACJViewController::VTACJViewController() {
    bindRequest(kDetailTag, [this](const RequestReply& reply) { showReply(reply); });
}

VTACJViewController::~VTACJViewController() {
    if (myTableView_) {
        myTableView_->setDelegate(nullptr);
        myTableView_->setDataSource(nullptr);
    }
    if (pageCtr_) pageCtr_->setDelegate(nullptr);
}

void VTACJViewController::viewWillDidLoad() {
    CGRect b = contentView()->bounds();
    myTableView_ = makeDealsTable(b, this, this);
    contentView()->addSubview(myTableView_);
    pageSize_ = TransactionDetailsViewController::kPageSize;
    pageCtr_ = std::make_shared<VTAPageCtr>(CGRectMake(0, 0, b.size.width, 44));
    pageCtr_->setDelegate(this);
    pageCtr_->showFromBottomInView(contentView());
    keepRowsClearOfPageBar(true);
    offset_ = 0;
    bigSetting_ = tickBigDealThreshold(kDefaultThreshold);
}

void VTACJViewController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Plain, this,
                                                 [action = std::move(action)](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("自选", [this] { goToZXHQ(); }), flexibleSpaceBarBtn(),
                         item("排序", [this] { goToPXHQ(); }), flexibleSpaceBarBtn(),
                         item("刷新", [this] { onCommandRefresh(); })});
}

void VTACJViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    requestDetailPrice();
}

void VTACJViewController::requestDetailPrice() {
    cancelRequests();
    sendRequest(kDetailTag, tickRequest(stockCode_ + "." + std::to_string(market_), offset_), 3);
}

void VTACJViewController::registerAutoRefresh() {
    startAutoRefresh([this] { requestDetailPrice(); });
}

// The list's own windows, in hours and minutes on the exchanges' clock (not
// the configured sessions): Hong Kong 10:00-12:30 and 14:30-16:30, the other
// markets 9:30-11:30 and 13:00-15:00.
bool VTACJViewController::isInsideTradingWindow() const {
    const int minute = marketMinuteOfDayNow();
    const int hhmm = minute / 60 * 100 + minute % 60;
    auto inside = [hhmm](int from, int to) { return hhmm > from && hhmm < to; };
    if (market_ == 3) return inside(1000, 1230) || inside(1430, 1630);
    return inside(930, 1130) || inside(1300, 1500);
}

void VTACJViewController::onCommandRefresh() {
    if (isInsideTradingWindow()) requestDetailPrice();
}

void VTACJViewController::showReply(const RequestReply& reply) {
    TickReading reading = readTickReply(reply.sets, TickVolumeText::Plain);
    if (reading.outcome == TickReading::Outcome::NoSets) {
        showAlert(TransactionDetailsViewController::kNoSetsText);
        return;
    }
    if (reading.outcome == TickReading::Outcome::Unreadable) return;
    cjItems_ = std::move(reading.rows);
    myTableView_->reloadData();
    pageCtr_->setStatusIsEnd(static_cast<int>(cjItems_.size()) < pageSize_, offset_ < 1, offset_ / pageSize_ + 1);
    prepage_ = pageCtr_->curPage();
    registerAutoRefresh();
}

void VTACJViewController::pageActionFromPageCtr(VTAPageCtr& pageCtr) {
    int page = pageCtr.curPage();
    offset_ = pageSize_ * (page - 1);
    UIView::beginAnimations("PageAction");
    UIView::setAnimationDuration(kPageCurlSeconds);
    UIView::setAnimationTransition(
        page > prepage_ ? UIViewAnimationTransition::CurlUp : UIViewAnimationTransition::CurlDown, contentView(), true);
    UIView::setAnimationCurve(page < prepage_ ? UIViewAnimationCurve::EaseIn : UIViewAnimationCurve::EaseOut);
    cjItems_.clear();
    myTableView_->reloadData();
    UIView::commitAnimations();
    requestDetailPrice();
}

int VTACJViewController::tableViewNumberOfRowsInSection(UITableView&, int) { return static_cast<int>(cjItems_.size()); }

std::shared_ptr<UITableViewCell> VTACJViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                     const NSIndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<CJCell>(table.dequeueReusableCellWithIdentifier(CJCell::kReuseIdentifier));
    if (!cell) cell = std::make_shared<CJCell>();
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(cjItems_.size()))
        cell->setRow(cjItems_[indexPath.row], bigSetting_);
    return cell;
}

void VTACJViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) {
    table.deselectRowAtIndexPath(indexPath, false);
    const bool show = !pageCtr_->superview();
    if (show)
        pageCtr_->showFromBottomInView(contentView());
    else
        pageCtr_->hideWithAnimation(true);
    keepRowsClearOfPageBar(show);
}

void VTACJViewController::keepRowsClearOfPageBar(bool barShown) {
    myTableView_->setContentInset(UIEdgeInsets{0, 0, barShown ? pageCtr_->frame().size.height : 0, 0});
}

void VTACJViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(TransactionDetailsViewController::kNoSetsText);
        return;
    }
    RequestBinding::requestDidFail(failure);
}
