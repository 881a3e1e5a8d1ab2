#include "quotes/EditPortfolioViewController.h"

#include <algorithm>

#include "core/ParsedReply.h"
#include "core/RequestBuilder.h"
#include "core/Utilities.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/PortfolioContract.h"
#include "core/contracts/QuoteContract.h"
#include "core/contracts/ResultContract.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UIScreen.h"
#include "quotes/PortfolioStore.h"
#include "shell/TradeSession.h"
#include "ui/Alerts.h"

namespace {

// The columns "3|1|4" of a list reply, read by position.
constexpr const char* kCodeMarketNameFields = "3|1|4";

PortfolioDao::StockList stocksByPosition(VTATCRS& set) {
    PortfolioDao::StockList stocks;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
        auto stock = std::make_shared<QZPortfolioStock>(set.toStringAtIndex(0).value_or(""),
                                                        static_cast<int>(set.toIntAtIndex(1)));
        stock->setName(set.toStringAtIndex(2).value_or(""));
        stocks.push_back(std::move(stock));
    }
    set.fetchFirst();
    return stocks;
}

std::string textOf(const VTATCRS& set, const char* column) { return set.toStringWithFieldName(column).value_or(""); }

}  // namespace

EditPortfolioViewController::EditPortfolioViewController() {
    bindRequest(kServerListTag, [this](const RequestReply& r) { serverListArrived(r); });
    bindRequest(kNamesTag, [this](const RequestReply& r) { namesArrived(r); });
    bindRequest(kBindTag, [this](const RequestReply& r) { bindArrived(r); });
}

EditPortfolioViewController::~EditPortfolioViewController() {
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
}

void EditPortfolioViewController::loadView() {
    CGRect app = UIScreen::mainScreen().applicationFrame();
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, app.size.width, app.size.height - 44));
    root->setBackgroundColor(UIColor::clearColor());
    CGRect b = root->bounds();
    tableView_ =
        std::make_shared<UITableView>(CGRectMake(0, 0, b.size.width, b.size.height - 44), UITableViewStyle::Plain);
    bindToolbar_ = std::make_shared<UIToolbar>(CGRectMake(0, b.size.height - 44, 320, 44));
    bindToolbar_->setBarStyle(UIBarStyle::Black);
    root->addSubview(tableView_);
    root->addSubview(bindToolbar_);
    setView(root);
}

void EditPortfolioViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setTitle(kTitle);
    navigationItem()->setLeftBarButtonItem(std::make_shared<UIBarButtonItem>(
        "取消", UIBarButtonItemStyle::Plain, this, [this](UIBarButtonItem&) { cancelAction(); }));
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        "完成", UIBarButtonItemStyle::Done, this, [this](UIBarButtonItem&) { doneAction(); }));
    createToolbarItems();
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
    tableView_->setEditing(true);
    refreshPortfolioData();
}

void EditPortfolioViewController::createToolbarItems() {
    auto add = std::make_shared<UIBarButtonItem>("添加持仓股", UIBarButtonItemStyle::Bordered, this,
                                                 [this](UIBarButtonItem&) { addPositionToPortfolioAction(); });
    bindToolbar_->setItems({UIBarButtonItem::flexibleSpace(), add, UIBarButtonItem::flexibleSpace()});
}

void EditPortfolioViewController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    if (ownStocksLiveOnServer()) {
        requestDownloadPortfolio();
    } else if (!portfolioTable().listPortfolioStocks().empty()) {
        requestLocalPortfolioInfo();
    } else {
        setOwnStocksLiveOnServer();
        requestDownloadPortfolio();
    }
}

void EditPortfolioViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    cancelRequests();
}

XXDelegateRef EditPortfolioViewController::asDelegate() {
    auto self = std::dynamic_pointer_cast<EditPortfolioViewController>(sharedController());
    return self ? XXDelegateRef(self) : XXDelegateRef(static_cast<XXNetworkManagerDelegate*>(this));
}

// ---------------------------------------------------------------- requests

void EditPortfolioViewController::requestDownloadPortfolio() {
    RequestBuilder download(PortfolioContract::kDownload);
    download.add(PortfolioContract::Key::kWithNames, 1).add(PortfolioContract::Key::kField, kCodeMarketNameFields);
    sendRequest(kServerListTag, download, 6);
}

void EditPortfolioViewController::requestLocalPortfolioInfo() {
    RequestBuilder names(QuoteContract::kSnapshot);
    names.add(QuoteContract::Key::kCode, joinStockIds(portfolioTable().listPortfolioStocks(), "|"))
        .add(QuoteContract::Key::kField, kCodeMarketNameFields);
    sendRequest(kNamesTag, names, 3);
}

void EditPortfolioViewController::requestBindPortfolio() {
    RequestBuilder bind(PortfolioContract::kAddHoldings);
    bind.add(PortfolioContract::Key::kFundAccount, fundId_)
        .appendFields(VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""));
    sendRequest(kBindTag, bind, 7);
}

void EditPortfolioViewController::saveToServer() {
    isUpdateSuccess_ = true;
    XXNetworkManager::sharedManager().requestUpdatePortfolio(updatedPortfolio(), asDelegate());
}

std::string EditPortfolioViewController::updatedPortfolio() const { return joinStockIds(tableData_, "|"); }

// The table as it now stands; rows the customer already edited stay as
// shown and only take the table's names.
void EditPortfolioViewController::refreshPortfolioData() {
    auto stored = portfolioTable().listPortfolioStocks();
    if (!isEdited_) {
        tableData_ = std::move(stored);
    } else {
        for (auto& row : tableData_)
            for (const auto& s : stored)
                if (s->symbol() == row->symbol() && s->marketId() == row->marketId() && !s->name().empty())
                    row->setName(s->name());
    }
    if (tableView_) tableView_->reloadData();
}

// ---------------------------------------------------------------- replies

void EditPortfolioViewController::serverListArrived(const RequestReply& reply) {
    VTATCRS* result = reply.first();
    VTATCRS* stocks = reply.set(1);
    if (!result || result->toIntWithFieldName(ResultContract::Col::kResult) != 1 || !stocks) {
        showAlert("下载自选股失败");
        return;
    }
    if (replacePortfolio(stocksByPosition(*stocks)))
        setPortfolioDownloaded();
    else
        showAlert("下载自选股失败");
    refreshPortfolioData();
}

void EditPortfolioViewController::namesArrived(const RequestReply& reply) {
    VTATCRS* set = reply.set(0);
    if (set && !portfolioTable().updateStockNames(stocksByPosition(*set))) showAlert("获取自选股信息失败");
    refreshPortfolioData();
}

void EditPortfolioViewController::bindArrived(const RequestReply& reply) {
    VTATCRS* result = reply.first();
    if (!result || result->toIntWithFieldName(ResultContract::Col::kResult) != 1) {
        showAlert("添加持仓股失败", result ? textOf(*result, ResultContract::Col::kMessage) : "");
        return;
    }
    std::string code = textOf(*result, ResultContract::Col::kCode);
    auto ids = utf8Length(code) >= 2 ? stockIdsOfListText(code) : std::nullopt;
    if (!ids || ids->empty()) return;
    // Kept on the phone only, the list adds to the table and takes nothing away.
    const PortfolioDao::StockList named = portfolioTable().listPortfolioStocks();
    bool stored = ownStocksLiveOnServer() ? replacePortfolio(*ids) : portfolioTable().moveToDatabaseWithStocks(*ids);
    if (!stored) {
        showAlert("添加持仓股失败");
        return;
    }
    // The answer names its stocks by id only: the rows keep the names they had
    // and the quote server names the holdings that are new.
    portfolioTable().updateStockNames(named);
    setPortfolioDownloaded();
    refreshPortfolioData();
    requestLocalPortfolioInfo();
    showTaggedAlert(kBoundAlertTag, "添加持仓股成功", {"确定"});
}

void EditPortfolioViewController::requestDidFail(const RequestFailure& failure) {
    const bool transport =
        failure.kind == RequestFailure::Kind::Network || failure.kind == RequestFailure::Kind::Service;
    // The lists fail silently on the way; the customer still has the table.
    if (transport && failure.tag != kBindTag) return;
    RequestBinding::requestDidFail(failure);
}

void EditPortfolioViewController::xserviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int tag) {
    if (tag != kSaveTag) return;
    ParsedReply reply(data);
    if (!reply.readable() || reply.sets().empty()) return saveEnded(RequestBinding::kUnreadableText);
    if (reply.isError()) return saveEnded(reply.errorText());
    VTATCRS* result = reply.firstRecord();
    std::string message = result ? textOf(*result, ResultContract::Col::kMessage) : "";
    if (!result || result->toIntWithFieldName(ResultContract::Col::kResult) != 1)
        return saveEnded("编辑自选股失败", message);
    if (!replacePortfolio(tableData_)) return saveEnded("编辑自选股失败", message);
    isUpdateSuccess_ = false;
    isEdited_ = false;
    if (bindAfterSave_) {
        bindAfterSave_ = false;
        requestBindPortfolio();
        return;
    }
    showTaggedAlert(kSavedAlertTag, "编辑自选股成功", {"确定"});
}

void EditPortfolioViewController::xserviceDidNetworkError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == kSaveTag) saveEnded(error.localizedDescription());
}

void EditPortfolioViewController::xserviceDidServiceError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == kSaveTag) saveEnded(error.localizedDescription());
}

// A save that did not go through: the editor stays open with the edits.
void EditPortfolioViewController::saveEnded(const std::string& failureText, const std::string& failureMessage) {
    isUpdateSuccess_ = false;
    bindAfterSave_ = false;
    showAlert(failureText, failureMessage);
}

// ---------------------------------------------------------------- actions

void EditPortfolioViewController::doneAction() {
    if (!isEdited_) return close();
    if (isUpdateSuccess_) return;
    if (ownStocksLiveOnServer()) return saveToServer();
    if (!replacePortfolio(tableData_)) {
        showAlert("编辑自选股失败");
        return;
    }
    close();
}

void EditPortfolioViewController::cancelAction() {
    if (!isEdited_) return close();
    showTaggedAlert(kSaveAskAlertTag, "您已编辑自选股，是否保存?", {"取消", "保存"});
}

void EditPortfolioViewController::addPositionToPortfolioAction() {
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    if (!hasTradeSession() || !customer || customer->rowsAffected() < 1) {
        showAlert(kNoTradeTitle, kNoTradeText);
        return;
    }
    customer->fetchFirst();
    fundId_ = textOf(*customer, "fundid");
    showTaggedAlert(kBindAskAlertTag, "是否将当前帐户" + maskedFundId(fundId_) + "的持仓股加入自选股",
                    {"取消", "确定"});
}

// The holdings join the list the customer sees: edits are saved first.
void EditPortfolioViewController::askToBindHoldings() {
    if (!isEdited_) return requestBindPortfolio();
    if (isUpdateSuccess_) return;
    if (ownStocksLiveOnServer()) {
        bindAfterSave_ = true;
        return saveToServer();
    }
    if (!replacePortfolio(tableData_)) {
        showAlert("编辑自选股失败");
        return;
    }
    isEdited_ = false;
    requestBindPortfolio();
}

std::string EditPortfolioViewController::maskedFundId(const std::string& fundId) {
    if (fundId.size() < 9) return "******";
    return fundId.substr(0, 4) + "****" + fundId.substr(8);
}

void EditPortfolioViewController::close() { dismissModalViewControllerAnimated(true); }

std::shared_ptr<UIAlertView> EditPortfolioViewController::showTaggedAlert(int tag, const std::string& title,
                                                                          const std::vector<std::string>& buttons) {
    auto alert = std::make_shared<UIAlertView>(title, "", nullptr, std::nullopt, buttons);
    alert->setTag(tag);
    auto self = std::dynamic_pointer_cast<EditPortfolioViewController>(sharedController());
    if (self)
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<UIAlertViewDelegate>(self)));
    else
        alert->setDelegate(static_cast<UIAlertViewDelegate*>(this));
    alert->show();
    return alert;
}

void EditPortfolioViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    switch (alert.tag()) {
        case kSaveAskAlertTag:
            if (buttonIndex == 0)
                close();
            else
                doneAction();
            break;
        case kSavedAlertTag:
        case kBoundAlertTag:
            close();
            break;
        case kBindAskAlertTag:
            if (buttonIndex == 1) askToBindHoldings();
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------- table

int EditPortfolioViewController::tableViewNumberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(tableData_.size());
}

std::shared_ptr<UITableViewCell> EditPortfolioViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                             const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Subtitle, "Cell");
    if (ip.row >= 0 && ip.row < static_cast<int>(tableData_.size())) {
        const auto& stock = *tableData_[ip.row];
        cell->textLabel()->setText(stock.name());
        cell->detailTextLabel()->setText(stock.symbol());
    }
    return cell;
}

void EditPortfolioViewController::tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                                              const NSIndexPath& ip) {
    if (style != UITableViewCellEditingStyle::Delete || ip.row < 0 || ip.row >= static_cast<int>(tableData_.size()))
        return;
    isEdited_ = true;
    tableData_.erase(tableData_.begin() + ip.row);
    table.deleteRowsAtIndexPaths({ip}, UITableViewRowAnimation::Fade);
}

void EditPortfolioViewController::tableViewMoveRowAtIndexPath(UITableView&, const NSIndexPath& from,
                                                              const NSIndexPath& to) {
    const int count = static_cast<int>(tableData_.size());
    if (from.row == to.row || from.row < 0 || from.row >= count || to.row < 0 || to.row >= count) return;
    isEdited_ = true;
    auto stock = tableData_[from.row];
    tableData_.erase(tableData_.begin() + from.row);
    tableData_.insert(tableData_.begin() + to.row, std::move(stock));
}

NSIndexPath EditPortfolioViewController::tableViewTargetIndexPathForMoveFromRowAtIndexPath(
    UITableView&, const NSIndexPath& from, const NSIndexPath& proposed) {
    return proposed.section != from.section ? from : proposed;
}
