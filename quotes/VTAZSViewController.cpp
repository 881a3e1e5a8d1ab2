#include "quotes/VTAZSViewController.h"

#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/QuoteContract.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/PortfolioDao.h"
#include "net/AddMyStockSync.h"
#include "platform/foundation/Clock.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"
#include "ui/Palette.h"
#include "ui/QuoteCells.h"

namespace Col = QuoteContract::Col;

VTAZSViewController::VTAZSViewController() {
    bindRequest(kListTag, [this](const RequestReply& r) { listArrived(r); });
}

VTAZSViewController::~VTAZSViewController() {
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    if (myTableView_) {
        myTableView_->setDelegate(nullptr);
        myTableView_->setDataSource(nullptr);
    }
}

bool VTAZSViewController::isSectorList() const {
    auto menu = viewMenu();
    return menu && stripQuery(menu->link()) == "bkph";
}

void VTAZSViewController::viewWillDidLoad() {
    UIView* content = contentView();
    myTableView_ = std::make_shared<UITableView>(content->bounds(), UITableViewStyle::Plain);
    myTableView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    myTableView_->setBackgroundColor(colorWithIndex(0));
    myTableView_->setSeparatorColor(colorWithIndex(47));
    myTableView_->setRowHeight(kRowHeight);
    myTableView_->setDataSource(this);
    myTableView_->setDelegate(this);
    content->addSubview(myTableView_);
}

void VTAZSViewController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [action = std::move(action)](UIBarButtonItem&) { action(); });
    };
    auto home = item("首页", [this] { onCommandHome(); });
    auto refresh = item("刷新", [this] { onCommandRefresh(); });
    if (isSectorList())
        toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), refresh});
    else
        toolbar()->setItems({home, flexibleSpaceBarBtn(), item("加入自选", [this] { portfolioAction(); }),
                             flexibleSpaceBarBtn(), refresh});
}

void VTAZSViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    requestList();
}

void VTAZSViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    pendingAdd_.reset();
}

void VTAZSViewController::requestList() {
    auto menu = viewMenu();
    if (!menu) return;
    RequestBuilder q = RequestBuilder::fromLinkQuery(menu->link());
    if (q.text().empty() && !q.refused()) return;
    q.add(QuoteContract::Key::kField, kFields);
    sendRequest(kListTag, q, 3);
}

void VTAZSViewController::listArrived(const RequestReply& reply) {
    zsRs_ = reply.sharedSet(0);
    const int rows = zsRs_ ? zsRs_->rowsAffected() : 0;
    if (selectedIndex_ >= rows) selectedIndex_ = rows - 1;
    myTableView_->reloadData();
    startAutoRefresh([this] { requestList(); });
}

int VTAZSViewController::tableViewNumberOfRowsInSection(UITableView&, int) { return zsRs_ ? zsRs_->rowsAffected() : 0; }

std::shared_ptr<UITableViewCell> VTAZSViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                     const NSIndexPath& path) {
    auto cell = std::dynamic_pointer_cast<HQTableCell>(table.dequeueReusableCellWithIdentifier("Quote"));
    if (!cell) {
        cell = std::make_shared<HQTableCell>(UITableViewCellStyle::Default, "Quote");
        cell->set_buttonTarget(this);
        cell->set_buttonAction([this](HQTableCell& c) { goToFSView(c); });
    }
    if (!zsRs_ || path.row < 0 || path.row >= zsRs_->rowsAffected()) return cell;
    VTATCRS& rs = *zsRs_;
    rs.moveToIndex(path.row);
    auto last = rs.toVTAFloatWithFieldName(Col::kLast);
    auto change = rs.toVTAFloatWithFieldName(Col::kChange);
    auto percent = rs.toVTAFloatWithFieldName(Col::kChangePercent);
    cell->setStockName(rs.toStringWithFieldName(Col::kName).value_or(""), UIFont::fontWithName("Arial", 15),
                       UIColor::whiteColor());
    cell->setStockCode(rs.toStringWithFieldName(Col::kCode).value_or(""), UIFont::fontWithName("Arial", 13),
                       UIColor::grayColor());
    cell->setPrice(rs.toStringWithFieldName(Col::kLast).value_or(""), UIFont::systemFontOfSize(17),
                   colorWithCompare(last, rs.toVTAFloatWithFieldName(Col::kPrevClose)));
    cell->setZD(rs.toStringWithFieldName(Col::kChange).value_or(""), UIFont::systemFontOfSize(15),
                colorWithSign(change ? change->toFloat() : 0));
    cell->setZDF(rs.toStringWithFieldName(Col::kChangePercent).value_or("") + "%", UIFont::systemFontOfSize(15),
                 !(percent && percent->toFloat() < 0));
    cell->setMarketID(static_cast<int>(rs.toIntWithFieldName(Col::kMarket)));
    rs.fetchFirst();
    return cell;
}

void VTAZSViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& path) {
    table.deselectRowAtIndexPath(path, false);
    const double now = Clock::now();
    const bool again = path.row == selectedIndex_ && now - oldTime_ < kDoubleTapSeconds;
    selectedIndex_ = path.row;
    oldTime_ = now;
    if (!again) return;
    if (auto cell = std::dynamic_pointer_cast<HQTableCell>(table.cellForRowAtIndexPath(path))) goToFSView(*cell);
}

// The stock of the first row with the cell's code and market; its market id
// is kept as the quote page's last market ("hkmarket").
void VTAZSViewController::goToFSView(HQTableCell& cell) {
    if (!zsRs_) return;
    VTATCRS& rs = *zsRs_;
    std::shared_ptr<VTAStock> stock;
    for (rs.fetchFirst(); !rs.isEOF() && !stock; rs.fetchNext()) {
        if (rs.toStringWithFieldName(Col::kCode).value_or("") != cell.stockCode() ||
            rs.toIntWithFieldName(Col::kMarket) != cell.marketID())
            continue;
        VTAUserDefoult::standerDefoult().setString(rs.toStringWithFieldName(Col::kMarket).value_or(""), "hkmarket");
        stock = std::make_shared<VTAStock>(cell.stockCode(), rs.toStringWithFieldName(Col::kName).value_or(""),
                                           cell.marketID());
        stock->setTypeID(static_cast<int>(rs.toIntWithFieldName(Col::kClass)));
    }
    rs.fetchFirst();
    if (!stock) return;
    if (auto page = VTAUIFactory::stockPageWithStocks({stock}, 0)) pushViewController(page);
}

// The row last tapped goes into the own stocks; an empty list adds nothing.
// While the server's answer to the last tap is awaited a tap sends nothing.
void VTAZSViewController::portfolioAction() {
    if (pendingAdd_ || !zsRs_ || selectedIndex_ < 0 || selectedIndex_ >= zsRs_->rowsAffected()) return;
    VTATCRS& rs = *zsRs_;
    rs.moveToIndex(selectedIndex_);
    auto stock = std::make_shared<QZPortfolioStock>(rs.toStringWithFieldName(Col::kCode).value_or(""),
                                                    static_cast<int>(rs.toIntWithFieldName(Col::kMarket)));
    stock->setName(rs.toStringWithFieldName(Col::kName).value_or(""));
    stock->setStockType(static_cast<int>(rs.toIntWithFieldName(Col::kClass)));
    rs.fetchFirst();

    PortfolioDao& portfolio = *DaoFactory::sharedInstance().portfolioDao();
    if (portfolio.existStockWithSymbol(stock->symbol(), stock->marketId())) {
        showAlert("自选股已经存在");
        return;
    }
    if (!VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer")) {
        showAlert(portfolio.addStock(*stock) ? "添加自选成功" : "添加自选失败");
        return;
    }
    auto self = std::dynamic_pointer_cast<VTAZSViewController>(sharedController());
    pendingAdd_ = stock;
    XXNetworkManager::sharedManager().requestAddPortfolio(
        stock->symbol() + "." + std::to_string(stock->marketId()),
        self ? XXDelegateRef(self) : XXDelegateRef(static_cast<XXNetworkManagerDelegate*>(this)));
}

// The table takes the stock only once the server has it.
void VTAZSViewController::addedOnServer(bool done, const std::string& failure) {
    auto stock = std::move(pendingAdd_);
    if (!done) {
        showAlert(failure.empty() ? "添加自选股失败" : failure);
        return;
    }
    const bool added = stock && DaoFactory::sharedInstance().portfolioDao()->addStock(*stock);
    showAlert(added ? "添加自选股成功" : "添加自选股失败");
}

void VTAZSViewController::xserviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int tag) {
    if (tag != XXNetworkManager::kAddTag) return;
    OwnStockAnswer answer = readOwnStockAnswer(data);
    addedOnServer(answer.done, answer.failure);
}

void VTAZSViewController::xserviceDidNetworkError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == XXNetworkManager::kAddTag) addedOnServer(false, error.localizedDescription());
}

void VTAZSViewController::xserviceDidServiceError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == XXNetworkManager::kAddTag) addedOnServer(false, error.localizedDescription());
}
