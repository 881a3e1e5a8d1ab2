#include "quotes/MarketQuotationSortViewController.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "core/MenuFunctions.h"
#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/PortfolioContract.h"
#include "core/contracts/QuoteContract.h"
#include "core/contracts/RankingContract.h"
#include "core/storage/DaoFactory.h"
#include "net/AddMyStockSync.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"
#include "quotes/StockQuotesViewController.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Palette.h"
#include "ui/SVProgressHUD.h"

namespace Col = QuoteContract::Col;
namespace Key = RankingContract::Key;

namespace {

constexpr int kNetworkAlertTag = 1906;
constexpr double kShortMark = 0.75, kLongMark = 1.75;

// A link value without its display label ("2^沪市" is "2").
std::string codeOf(const std::string& value) { return value.substr(0, value.find('^')); }

int functionNumber(const VTAStringDictionary& pairs, const char* key, int fallback) {
    auto v = pairs.getValueForKey(key);
    long n = v ? std::strtol(v->c_str(), nullptr, 10) : 0;
    return n > 0 && n < INT_MAX ? static_cast<int>(n) : fallback;
}

std::string textOf(const std::optional<VTAFloat>& v) { return v ? v->toString() : std::string("--"); }

}  // namespace

MarketQuotationSortViewController::MarketQuotationSortViewController() {
    bindRequest(kTotalTag, [this](const RequestReply& r) { totalArrived(r); });
    bindRequest(kWindowTag, [this](const RequestReply& r) { windowArrived(r); });
}

MarketQuotationSortViewController::~MarketQuotationSortViewController() {
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    if (myTableView_) {
        myTableView_->setDelegate(nullptr);
        myTableView_->setDataSource(nullptr);
    }
    if (paramView_) paramView_->setDelegate(nullptr);
    for (auto* band : {refreshHeaderView_.get(), refreshFooterView_.get()})
        if (band) band->setDelegate(nullptr);
}

// ---------------------------------------------------------------- loading

void MarketQuotationSortViewController::viewWillDidLoad() {
    UIView* content = contentView();
    myTableView_ = std::make_shared<UITableView>(content->bounds(), UITableViewStyle::Plain);
    myTableView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    myTableView_->setBackgroundColor(colorWithIndex(0));
    myTableView_->setSeparatorColor(colorWithIndex(47));
    myTableView_->setRowHeight(kRowHeight);
    myTableView_->setAlwaysBounceVertical(true);
    content->addSubview(myTableView_);
    willRequestDidLoad = true;
    compressData = true;

    CGRect app = UIScreen::mainScreen().applicationFrame();
    paramView_ =
        std::make_shared<VTAHQPXParamView>(CGRectMake(0, 0, app.size.width, app.size.height), VTAHQPXParamView::kTitle);
    paramView_->setDelegate(this);
    std::string market = kDefaultMarket, type = kDefaultType, sort = kDefaultSort;
    if (auto menu = viewMenu()) {
        auto pairs = parseQuery(menu->link());
        if (auto v = pairs.getValueForKey("market")) market = codeOf(*v);
        if (auto v = pairs.getValueForKey("type")) type = codeOf(*v);
        if (auto v = pairs.getValueForKey("sort")) sort = codeOf(*v);
    }
    paramView_->setSelectedMarket(market);
    paramView_->setSelectedType(type);
    paramView_->setSelectedSort(sort);
    setFrameStatus(0);
    isIncrease_ = true;
    selectedIndex_ = -1;
}

void MarketQuotationSortViewController::viewDidLoad() {
    VTAViewControllers::viewDidLoad();
    range_ = RankingWindow{};
    CGRect b = myTableView_->bounds();
    refreshHeaderView_ =
        std::make_shared<QZRefreshTableView>(CGRectMake(0, -b.size.height, b.size.width, b.size.height), true);
    refreshFooterView_ = std::make_shared<QZRefreshTableView>(CGRectMake(0, 0, b.size.width, b.size.height), false);
    refreshHeaderView_->setDelegate(this);
    refreshFooterView_->setDelegate(this);
    myTableView_->addSubview(refreshHeaderView_);
    myTableView_->addSubview(refreshFooterView_);
    myTableView_->setDataSource(this);
    myTableView_->setDelegate(this);
    placeFooter();
    refreshFooterView_->refreshLastUpdatedPosition();

    sortSegmentedControl_ =
        std::make_shared<UISegmentedControl>(std::vector<std::string>{kIncreaseText, kDecreaseText});
    sortSegmentedControl_->setMomentary(true);
    sortSegmentedControl_->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
    sortSegmentedControl_->setFrame(CGRectMake(0, 0, 80, 30));
    sortSegmentedControl_->addTarget(
        this, [this](UIControl&) { sortSwitched(); }, UIControlEventValueChanged);
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(sortSegmentedControl_));
}

void MarketQuotationSortViewController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [action = std::move(action)](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("分类", [this] { showParamView(); }), flexibleSpaceBarBtn(),
                         item("板块", [this] { openSectors(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("刷新", [this] { onCommandRefresh(); })});
}

void MarketQuotationSortViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    setRankingTitle();
}

void MarketQuotationSortViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    if (frameStatus() == 0)
        requestTotal();
    else
        registerAutoRefresh();
}

void MarketQuotationSortViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    collapseExpandedRow();
    selectedIndex_ = -1;
    if (headerReloading_ || footerReloading_) loadingFinished();
    SVProgressHUD::dismiss();
}

// ---------------------------------------------------------------- requests

std::string MarketQuotationSortViewController::rankingTitle() const {
    return paramView_->getMarketName() + "-" + paramView_->getTypeName() + "-" + paramView_->getSortName();
}

void MarketQuotationSortViewController::setRankingTitle() { setTitle(rankingTitle()); }

void MarketQuotationSortViewController::requestTotal() {
    stopAutoRefresh();
    RequestBuilder q(RankingContract::kTotal);
    q.add(Key::kMarket, paramView_->selectedMarket())
        .add(Key::kClass, paramView_->selectedType())
        .add(Key::kField, kTotalFields);
    sendRequest(kTotalTag, q, 3);
}

std::string MarketQuotationSortViewController::rangeRequestText() const {
    VTAStringDictionary pairs;
    if (auto menu = viewMenu()) pairs = parseQuery(menu->link());
    RequestBuilder q(functionNumber(pairs, "tc_mfuncno", RankingContract::kWindow.main),
                     functionNumber(pairs, "tc_sfuncno", RankingContract::kWindow.sub));
    pairs.removeValueForKey("tc_mfuncno");
    pairs.removeValueForKey("tc_sfuncno");
    pairs.removeValueForKey("sort");
    pairs.setValue(kWindowFields, Key::kField);
    pairs.setValue(paramView_->selectedMarket(), Key::kMarket);
    pairs.setValue(paramView_->selectedType(), Key::kClass);
    pairs.setValue(paramView_->selectedSort(), Key::kSort);
    pairs.setValue(std::to_string(range_.location), Key::kOffset);
    pairs.setValue(std::to_string(range_.length), Key::kCount);
    pairs.setValue(isIncrease_ ? "1" : "0", Key::kDirect);
    for (const auto& [key, value] : pairs) q.add(key, value);
    return q.text();
}

void MarketQuotationSortViewController::requestRange() {
    stopAutoRefresh();
    std::string text = rangeRequestText();
    if (text.empty()) return;
    sendRequest(kWindowTag, text, 3);
}

void MarketQuotationSortViewController::requestRangeIsIncrease(bool increase) {
    isIncrease_ = increase;
    range_ = RankingWindow{};
    requestRange();
}

void MarketQuotationSortViewController::registerAutoRefresh() {
    startAutoRefresh([this] { requestRange(); });
}

void MarketQuotationSortViewController::sortSwitched() {
    int segment = sortSegmentedControl_->selectedSegmentIndex();
    if (segment != 0 && segment != 1) return;
    paramView_->setSelectedSort(kDefaultSort);
    requestRangeIsIncrease(segment == 0);
    setRankingTitle();
}

// The total is the sum of the counts of its one row; a count without a value
// counts nothing.
void MarketQuotationSortViewController::totalArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    long long total = 0;
    if (set && !set->isEOF())
        for (int i = 0; i < set->fieldCount(); ++i) {
            int64_t n = set->toIntAtIndex(i);
            if (n > 0 && n < 999999999) total += n;
        }
    itemsCount_ = static_cast<int>(std::min<long long>(total, INT_MAX));
    setFrameStatus(1);
    requestRange();
}

void MarketQuotationSortViewController::windowArrived(const RequestReply& reply) {
    hqrs_ = reply.sharedSet(0);
    collapseExpandedRow();
    myTableView_->reloadData();
    placeFooter();
    loadingFinished();
    registerAutoRefresh();
}

void MarketQuotationSortViewController::loadingFinished() {
    headerReloading_ = footerReloading_ = false;
    refreshHeaderView_->qzRefreshScrollViewDataSourceDidFinishedLoading(*myTableView_);
    refreshFooterView_->qzRefreshScrollViewDataSourceDidFinishedLoading(*myTableView_);
    refreshFooterView_->refreshLastUpdatedPosition();
    refreshHeaderView_->refreshLastUpdatedPosition();
}

// A failed request ends the paging bands' loading too, so that the customer
// can pull again; a failure of the network re-arms the auto refresh once the
// customer has read it.
void MarketQuotationSortViewController::requestDidFail(const RequestFailure& failure) {
    if (headerReloading_ || footerReloading_) loadingFinished();
    if (failure.kind != RequestFailure::Kind::Network && failure.kind != RequestFailure::Kind::Service) {
        VTAViewControllers::requestDidFail(failure);
        return;
    }
    auto alert =
        std::make_shared<UIAlertView>(failure.text, "", nullptr, std::string("确定"), std::vector<std::string>{});
    alert->setDelegate(std::dynamic_pointer_cast<UIAlertViewDelegate>(sharedController()));
    alert->setTag(kNetworkAlertTag);
    alert->show();
}

void MarketQuotationSortViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int) {
    if (alert.tag() == kNetworkAlertTag && isViewLoaded() && view()->window()) registerAutoRefresh();
}

// ---------------------------------------------------------------- toolbar

void MarketQuotationSortViewController::showParamView() {
    UIView* window = view()->window();
    if (!window) window = UIApplication::sharedApplication().keyWindow();
    paramView_->showFromBottomInView(window);
}

void MarketQuotationSortViewController::paramViewOnCommandOK(VTAParamView&) {
    setFrameStatus(0);
    isIncrease_ = true;
    range_ = RankingWindow{};
    requestTotal();
    setRankingTitle();
}

// The sector grid: the menu's first "bkhqlist" item (the board's groups first).
void MarketQuotationSortViewController::openSectors() {
    auto menu = firstMenuWithCommand("bkhqlist");
    if (!menu) return;
    if (auto vc = VTAUIFactory::viewControllerWithMenu(menu)) pushViewController(vc);
}

// ---------------------------------------------------------------- paging

void MarketQuotationSortViewController::moveWindow(const RankingWindow& window) {
    range_ = window;
    headerReloading_ = footerReloading_ = true;
    requestRange();
}

void MarketQuotationSortViewController::qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView&) {
    moveWindow(range_.pulledDown(itemsCount_));
}

void MarketQuotationSortViewController::qzRefreshTableFooterDidTriggerRefresh(QZRefreshTableView&) {
    moveWindow(range_.pulledUp(itemsCount_));
}

Value MarketQuotationSortViewController::myRefreshLastUpdatedPosition(QZRefreshTableView&) {
    Value::Dict range{{"location", Value(int64_t(range_.location))}, {"length", Value(int64_t(range_.length))}};
    return Value(Value::Dict{{"TotalCount", Value(int64_t(itemsCount_))}, {"Range", Value(range)}});
}

// The footer band sits below the rows (below the table's height when the
// rows are fewer).
void MarketQuotationSortViewController::placeFooter() {
    if (!refreshFooterView_) return;
    double rows = 0;
    int n = tableViewNumberOfRowsInSection(*myTableView_, 0);
    for (int i = 0; i < n; ++i) rows += i == selectedIndex_ ? kExpandedRowHeight : kRowHeight;
    CGRect b = myTableView_->bounds();
    refreshFooterView_->setFrame(CGRectMake(0, std::max(rows, b.size.height), b.size.width, b.size.height));
}

void MarketQuotationSortViewController::scrollViewDidScroll(UIScrollView& sv) {
    refreshHeaderView_->qzRefreshScrollViewDidScroll(sv);
    refreshFooterView_->qzRefreshScrollViewDidScroll(sv);
}

void MarketQuotationSortViewController::scrollViewWillBeginDragging(UIScrollView&) { collapseExpandedRow(); }

void MarketQuotationSortViewController::scrollViewDidEndDragging(UIScrollView& sv, bool) {
    refreshHeaderView_->qzRefreshScrollViewDidEndDragging(sv);
    refreshFooterView_->qzRefreshScrollViewDidEndDragging(sv);
}

// ---------------------------------------------------------------- table

int MarketQuotationSortViewController::tableViewNumberOfRowsInSection(UITableView&, int) {
    return hqrs_ ? hqrs_->rowsAffected() : 0;
}

double MarketQuotationSortViewController::tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& path) {
    return path.row == selectedIndex_ ? kExpandedRowHeight : kRowHeight;
}

std::shared_ptr<UITableViewCell> MarketQuotationSortViewController::tableViewCellForRowAtIndexPath(
    UITableView& table, const NSIndexPath& path) {
    const bool expanded = path.row == selectedIndex_;
    const char* reuse = expanded ? "Expand" : "Normal";
    auto cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.dequeueReusableCellWithIdentifier(reuse));
    if (!cell) {
        cell = std::make_shared<MYExpandTableViewCell>(UITableViewCellStyle::Default, reuse, false);
        if (expanded) cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
        cell->setExpandButtonTarget(this);
        cell->setPortfolioAction([this](MYExpandTableViewCell& c) { portfolioAction(c); });
        cell->setBidAction([this](MYExpandTableViewCell& c) { bidAction(c); });
        cell->setAskAction([this](MYExpandTableViewCell& c) { askAction(c); });
        cell->setKLineAction([this](MYExpandTableViewCell& c) { kLineAction(c); });
        cell->setPositionAction([this](MYExpandTableViewCell& c) { positionAction(c); });
    }
    if (!hqrs_ || path.row < 0 || path.row >= hqrs_->rowsAffected()) return cell;
    VTATCRS& rs = *hqrs_;
    rs.moveToIndex(path.row);
    auto last = rs.toVTAFloatWithFieldName(Col::kLast);
    auto change = rs.toVTAFloatWithFieldName(Col::kChange);
    auto percent = rs.toVTAFloatWithFieldName(Col::kChangePercent);
    double rise = percent ? percent->toFloat() : 0;
    cell->setName(rs.toStringWithFieldName(Col::kName).value_or(""));
    cell->setSymbol(rs.toStringWithFieldName(Col::kCode).value_or(""));
    cell->setLastTrade(textOf(last), colorWithCompare(last, rs.toVTAFloatWithFieldName(Col::kPrevClose)));
    cell->setChange(textOf(change), colorWithSign(change ? change->toFloat() : 0));
    cell->setChangePercent(percent ? percent->toString() + "%" : "--", rise > 0 ? 0 : rise < 0 ? 1 : 2);
    cell->setMarketId(static_cast<int>(rs.toIntWithFieldName(Col::kMarket)));
    cell->setStockType(static_cast<int>(rs.toIntWithFieldName(Col::kClass)));
    rs.fetchFirst();
    return cell;
}

void MarketQuotationSortViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& path) {
    table.deselectRowAtIndexPath(path, false);
    collapseExpandedRow();
    openStockPage(path.row);
}

void MarketQuotationSortViewController::openRowAtIndex(int row) {
    NSIndexPath path{0, row};
    tableViewDidSelectRowAtIndexPath(*myTableView_, path);
}

void MarketQuotationSortViewController::tableViewDidSwipeCellAtIndexPath(UITableView& table, const NSIndexPath& path) {
    if (path.row == selectedIndex_) {
        collapseExpandedRow();
        return;
    }
    std::vector<NSIndexPath> rows{path};
    if (oldPath_ && *oldPath_ != path.row) rows.push_back({0, *oldPath_});
    selectedIndex_ = path.row;
    oldPath_ = path.row;
    table.reloadRowsAtIndexPaths(rows, UITableViewRowAnimation::None);
    placeFooter();
}

void MarketQuotationSortViewController::collapseExpandedRow() {
    if (selectedIndex_ < 0 && !oldPath_) return;
    int row = oldPath_.value_or(selectedIndex_);
    selectedIndex_ = -1;
    oldPath_.reset();
    if (myTableView_ && row >= 0 && row < tableViewNumberOfRowsInSection(*myTableView_, 0))
        myTableView_->reloadRowsAtIndexPaths({{0, row}}, UITableViewRowAnimation::None);
    placeFooter();
}

// ---------------------------------------------------------------- row actions

std::vector<std::shared_ptr<VTAStock>> MarketQuotationSortViewController::windowStocks() const {
    std::vector<std::shared_ptr<VTAStock>> stocks;
    if (!hqrs_) return stocks;
    VTATCRS& rs = *hqrs_;
    for (rs.fetchFirst(); !rs.isEOF(); rs.fetchNext()) {
        auto s = std::make_shared<VTAStock>(rs.toStringWithFieldName(Col::kCode).value_or(""),
                                            rs.toStringWithFieldName(Col::kName).value_or(""),
                                            static_cast<int>(rs.toIntWithFieldName(Col::kMarket)));
        s->setTypeID(static_cast<int>(rs.toIntWithFieldName(Col::kClass)));
        stocks.push_back(s);
    }
    rs.fetchFirst();
    return stocks;
}

// The back button of the quote page reads the market's name.
std::shared_ptr<UIViewController> MarketQuotationSortViewController::openStockPage(int row) {
    auto page = VTAUIFactory::stockListPageWithStocks(windowStocks(), row);
    if (!page) return nullptr;
    setTitle(paramView_->getMarketName());
    pushViewController(page);
    return page;
}

std::shared_ptr<VTAStock> MarketQuotationSortViewController::stockOfCell(const MYExpandTableViewCell& cell) const {
    auto stock = std::make_shared<VTAStock>(cell.symbol(), cell.nameLabel()->text(), cell.marketId());
    stock->setTypeID(cell.stockType());
    return stock;
}

void MarketQuotationSortViewController::bidAction(MYExpandTableViewCell& cell) {
    auto stock = stockOfCell(cell);
    collapseExpandedRow();
    tradeWithStock(stock, 0);
}

void MarketQuotationSortViewController::askAction(MYExpandTableViewCell& cell) {
    auto stock = stockOfCell(cell);
    collapseExpandedRow();
    tradeWithStock(stock, 1);
}

// "K线" and "五档": the quote page on its K-line or its trend page.
void MarketQuotationSortViewController::kLineAction(MYExpandTableViewCell&) { openStockPageAt(1); }

void MarketQuotationSortViewController::positionAction(MYExpandTableViewCell&) { openStockPageAt(0); }

void MarketQuotationSortViewController::openStockPageAt(int page) {
    int row = selectedIndex_;
    collapseExpandedRow();
    auto vc = openStockPage(row);
    if (auto* quotes = dynamic_cast<StockQuotesViewController*>(vc.get())) quotes->scrollToPageIndex(page);
}

// "+自选": the own-stock table, or first the server's list when own stocks
// live there (the table follows the server's answer).
void MarketQuotationSortViewController::portfolioAction(MYExpandTableViewCell& cell) {
    SVProgressHUD::show();
    needToAddStock_ = std::make_shared<QZPortfolioStock>(cell.symbol(), cell.marketId());
    needToAddStock_->setName(cell.nameLabel()->text());
    needToAddStock_->setStockType(cell.stockType());
    auto& portfolio = *DaoFactory::sharedInstance().portfolioDao();
    if (portfolio.existStockWithSymbol(cell.symbol(), cell.marketId())) {
        SVProgressHUD::dismissWithSuccess("自选股已经存在", kShortMark);
        return;
    }
    if (VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer")) {
        SVProgressHUD::setStatus("添加自选股...");
        auto self = std::dynamic_pointer_cast<MarketQuotationSortViewController>(sharedController());
        XXNetworkManager::sharedManager().requestAddPortfolio(
            cell.symbol() + "." + std::to_string(cell.marketId()),
            self ? XXDelegateRef(self) : XXDelegateRef(static_cast<XXNetworkManagerDelegate*>(this)));
        return;
    }
    if (portfolio.addStock(*needToAddStock_))
        SVProgressHUD::dismissWithSuccess("添加自选股成功", kShortMark);
    else
        SVProgressHUD::dismissWithError("添加自选股失败", kLongMark);
}

void MarketQuotationSortViewController::addedOnServer(bool ok, const std::string& failureText) {
    if (ok && needToAddStock_ && DaoFactory::sharedInstance().portfolioDao()->addStock(*needToAddStock_)) {
        SVProgressHUD::dismissWithSuccess("添加自选股成功", kShortMark);
        return;
    }
    SVProgressHUD::dismissWithError(ok ? "添加自选股失败" : failureText, kLongMark);
}

void MarketQuotationSortViewController::xserviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data,
                                                               int tag) {
    if (tag != XXNetworkManager::kAddTag) return;
    OwnStockAnswer answer = readOwnStockAnswer(data);
    addedOnServer(answer.done, answer.failure.empty() ? "添加自选股失败" : answer.failure);
}

void MarketQuotationSortViewController::xserviceDidNetworkError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == XXNetworkManager::kAddTag) addedOnServer(false, error.localizedDescription());
}

void MarketQuotationSortViewController::xserviceDidServiceError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == XXNetworkManager::kAddTag) addedOnServer(false, error.localizedDescription());
}
