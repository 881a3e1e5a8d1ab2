#include "trade/VTATradeQueryViewController.h"

#include "core/QZUtil.h"
#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "platform/graphics/UIColor.h"
#include "platform/uikit/UINavigationController.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "shell/VTAUIFactory.h"
#include "trade/VTAModifyCostViewController.h"
#include "ui/Alerts.h"
#include "ui/Palette.h"

namespace {

using namespace TradeQueryContract;

constexpr int kRed = 41, kGreen = 42, kWhite = 43;

std::string sessionText() { return VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""); }

std::string textOf(const VTATCRS& set, const std::string& field) {
    return set.toStringWithFieldName(field).value_or("");
}

bool beginsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

VTATradeQueryViewController::VTATradeQueryViewController() {
    bindListTag(kListTag);
    bindListTag(kPlanListTag);
    bindRequest(kWithdrawTag, [this](const RequestReply& reply) { withdrawArrived(reply); }, {.order = true});
}

VTATradeQueryViewController::~VTATradeQueryViewController() {
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

void VTATradeQueryViewController::viewWillDidLoad() {
    T_pageSize = kPageSize;
    parseLink();
}

void VTATradeQueryViewController::viewDidAppear(bool animated) {
    VTATableViewController::viewDidAppear(animated);
    requestTradeInfo();
}

void VTATradeQueryViewController::viewWillDisappear(bool animated) {
    VTATableViewController::viewWillDisappear(animated);
    // Leaving cancels the requests: a cancel still on its way gets no answer
    // here any more (the customer is told to look at the day's orders).
    isWithdraw_ = false;
}

void VTATradeQueryViewController::parseLink() {
    auto menu = viewMenu();
    const std::string link = menu ? menu->link() : "";
    unlist_ = queryValue(link, LinkKey::kUnlist).value_or("");
    positionName_ = queryValue(link, LinkKey::kPosition);
    signField_ = queryValue(link, LinkKey::kSign).value_or("");
    pageAlias_ = pageAliasFromMenuLink(link);
}

std::string VTATradeQueryViewController::pageAliasFromMenuLink(const std::string& link) { return stripQuery(link); }

bool VTATradeQueryViewController::isHoldings() const {
    return signField_ == TradeQueryContract::Value::kIncomeSign && pageAlias_ == kHoldingsCommand;
}

// ---- requests ----

RequestBuilder VTATradeQueryViewController::tradeInfoRequest() const {
    auto menu = viewMenu();
    VTAStringDictionary pairs = parseQuery(menu ? menu->link() : "");
    pairs.setValue(std::to_string(T_pageSize), Key::kCount);
    if (!lastPoststr_.empty() && positionName_) pairs.setValue(lastPoststr_.back(), *positionName_);
    RequestBuilder request = RequestBuilder::fromText("");
    for (const auto& [key, value] : pairs) request.add(key, value);
    // The login's fund account (not whichever record another screen left current).
    request.add(Key::kFundId, tradeFundId()).appendFields(sessionText());
    return request;
}

void VTATradeQueryViewController::requestTradeInfo() {
    if (!viewMenu()) return;
    sendListRequest(tradeInfoRequest(), tradeInfoRequestType());
}

bool VTATradeQueryViewController::sendListRequest(const RequestBuilder& request, int type, int tag) {
    return sendRequest(tag, request, type);
}

void VTATradeQueryViewController::bindListTag(int tag) {
    bindRequest(tag, [this](const RequestReply& reply) { listReplyArrived(reply); });
}

void VTATradeQueryViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kWithdrawTag) {
        isWithdraw_ = false;
        if (failure.kind == RequestFailure::Kind::Unreadable) {
            showAlert(unreadableWithdrawText());
            return;
        }
    } else if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(unreadableListText());
        return;
    } else if (failure.kind == RequestFailure::Kind::ErrorSet) {
        // Until the next good page the row actions find no record.
        tableData_.reset();
    }
    VTATableViewController::requestDidFail(failure);
}

// ---- replies and the grid ----

void VTATradeQueryViewController::listReplyArrived(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set) return;  // no set: nothing to show
    isIFIQuery_ = reply.tag == kPlanListTag;
    if (isIFIQuery_) recordsCountOfIFI_ = set->rowsAffected();
    tableData_ = set;
    if (positionName_ && set->fieldsIndexWithName(*positionName_) >= 0 && !needPageCtrl) showPageCtrl(true);
    loadTable();
}

bool VTATradeQueryViewController::showsField(const std::string& name) const {
    if (positionName_ && name == *positionName_) return false;
    if (name == Col::kCursor) return false;
    return unlist_.find(name) == std::string::npos;
}

void VTATradeQueryViewController::replaceGrid() {
    UIView* content = contentView();
    if (myTableView_) {
        myTableView_->setDelegate(nullptr);
        myTableView_->removeFromSuperview();
    }
    CGRect b = content->bounds();
    const double height = b.size.height - (pageCtrl_ ? kPageCtrlOverlap : 0);
    myTableView_ = std::make_shared<VTATableView>(CGRectMake(0, 0, b.size.width, height));
    myTableView_->setDelegate(this);
    content->insertSubview(myTableView_, 0);  // under the page bar
}

std::shared_ptr<UIColor> VTATradeQueryViewController::signColor(int sign) {
    return colorWithIndex(sign > 0 ? kRed : sign < 0 ? kGreen : kWhite);
}

void VTATradeQueryViewController::loadTable() {
    replaceGrid();
    if (tableData_) {
        VTATCRS& set = *tableData_;
        std::vector<int> columns;
        std::vector<std::string> titles;
        for (int i = 0; i < set.fieldCount(); ++i)
            if (showsField(set.getFieldNameAtIndex(i))) {
                columns.push_back(i);
                titles.push_back(set.getFieldDescAtIndex(i));
            }
        myTableView_->appendTopTitles(titles, VTATableView::Colors(titles.size(), UIColor::whiteColor()));
        const int signIndex = signField_.empty() ? -1 : set.fieldsIndexWithName(signField_);
        const bool planFlagShown =
            isIFIQuery_ && showsField(Col::kPlanScheduled) && set.fieldsIndexWithName(Col::kPlanScheduled) >= 0;
        for (set.fetchFirst(); !set.isEOF();) {
            // A plan that does not run is left out of the list and the set alike,
            // so that grid rows and records keep the same indexes.
            if (planFlagShown && textOf(set, Col::kPlanScheduled) != "1") {
                set.deleteRecordAtIndex(set.currentIndex());
                continue;
            }
            const int sign = signIndex >= 0 ? QZUtil::integerFromSignStr(set.toStringAtIndex(signIndex)) : 0;
            std::vector<std::string> items;
            VTATableView::Colors colors;
            for (size_t k = 0; k < columns.size(); ++k) {
                items.push_back(set.toStringAtIndex(columns[k]).value_or(""));
                if (columns[k] == signIndex || (k > 0 && sign != 0))
                    colors.push_back(signColor(sign));
                else
                    colors.push_back(UIColor::whiteColor());
            }
            myTableView_->appendRowItems(items, colors);
            set.fetchNext();
        }
        set.fetchFirst();
    }
    myTableView_->loadData();
    if (needPageCtrl) {
        pageCtrl_->superview()->bringSubviewToFront(pageCtrl_.get());
        updateEnds();
    }
}

void VTATradeQueryViewController::updateEnds() {
    isBOF = curPage < 1;
    std::string cursor;
    int rows = 0;
    if (tableData_) {
        rows = tableData_->rowsAffected();
        if (rows > 0 && positionName_) {
            tableData_->moveToIndex(rows - 1);
            cursor = textOf(*tableData_, *positionName_);
            tableData_->fetchFirst();
        }
    }
    const bool shortPage = isIFIQuery_ ? recordsCountOfIFI_ < kPlanPageSize : rows < T_pageSize;
    isEOF = cursor.empty() || shortPage;
    updatePageCtrl();
}

// ---- paging ----

void VTATradeQueryViewController::pageActionFromPageCtr(VTAPageCtr& pageCtr) {
    const int wanted = pageCtr.curPage(), shown = curPage + 1;
    if (wanted != shown) turnPage(wanted > shown);
}

void VTATradeQueryViewController::turnPage(bool forward) {
    if (forward) {
        std::string cursor;
        if (tableData_ && tableData_->rowsAffected() > 0 && positionName_) {
            tableData_->moveToIndex(tableData_->rowsAffected() - 1);
            cursor = textOf(*tableData_, *positionName_);
            tableData_->fetchFirst();
        }
        // No page to go on from (an error emptied it): stay, and never keep an empty cursor.
        if (cursor.empty()) {
            updatePageCtrl();
            return;
        }
        lastPoststr_.push_back(cursor);
        ++curPage;
    } else {
        if (lastPoststr_.empty()) {
            updatePageCtrl();
            return;
        }
        lastPoststr_.pop_back();
        --curPage;
    }
    UIView::beginAnimations("page");
    UIView::setAnimationDuration(1.0);
    UIView::setAnimationCurve(forward ? UIViewAnimationCurve::EaseOut : UIViewAnimationCurve::EaseIn);
    UIView::setAnimationTransition(forward ? UIViewAnimationTransition::CurlUp : UIViewAnimationTransition::CurlDown,
                                   contentView(), true);
    if (myTableView_) {
        myTableView_->setDelegate(nullptr);
        myTableView_->removeFromSuperview();
        myTableView_.reset();
    }
    UIView::commitAnimations();
    requestTradeInfo();
}

void VTATradeQueryViewController::resetPaging() {
    lastPoststr_.clear();
    curPage = 0;
    isBOF = true;
    updatePageCtrl();
}

// ---- toolbar and row actions ----

void VTATradeQueryViewController::createToolbarItems() {
    auto item = [this](const char* title, void (VTATradeQueryViewController::*action)()) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [this, action](UIBarButtonItem&) { (this->*action)(); });
    };
    auto home = item("首页", &VTATradeQueryViewController::onCommandHome);
    auto refresh = item("刷新", &VTATradeQueryViewController::onCommandRefresh);
    auto flex = [this] { return flexibleSpaceBarBtn(); };
    if (signField_ == TradeQueryContract::Value::kIncomeSign) {
        std::vector<std::shared_ptr<UIBarButtonItem>> items{home, flex(), refresh, flex()};
        if (isHoldings()) {
            items.push_back(item("修改成本", &VTATradeQueryViewController::onCommandChangeCost));
            items.push_back(flex());
        }
        items.push_back(item("买入", &VTATradeQueryViewController::onCommandBid));
        items.push_back(flex());
        items.push_back(item("卖出", &VTATradeQueryViewController::onCommandAsk));
        toolbar()->setItems(items);
    } else if (title() == kTodayOrdersTitle) {
        toolbar()->setItems(
            {home, flex(), refresh, flex(), item("撤单", &VTATradeQueryViewController::withdrawAction)});
    } else {
        VTATableViewController::createToolbarItems();
    }
}

VTATCRS* VTATradeQueryViewController::selectedRecord() {
    if (!tableData_ || tableData_->rowsAffected() == 0) return nullptr;
    const int row = myTableView_ ? myTableView_->getSelectedIndex() : 0;
    if (row < 0 || row >= tableData_->rowsAffected()) return nullptr;
    tableData_->moveToIndex(row);
    return tableData_.get();
}

std::shared_ptr<VTAStock> VTATradeQueryViewController::stockFromTableData() {
    VTATCRS* record = selectedRecord();
    if (!record) return nullptr;
    const int market = beginsWith(textOf(*record, Col::kMarketName), "深") ? 1 : 2;
    return std::make_shared<VTAStock>(textOf(*record, Col::kStockCode), textOf(*record, Col::kStockName), market);
}

void VTATradeQueryViewController::onCommandBid() {
    auto stock = stockFromTableData();
    if (!stock || stock->code().size() != 6) {
        showAlert("错误代码");
        return;
    }
    tradeWithStock(stock, 0);
}

void VTATradeQueryViewController::onCommandAsk() {
    auto stock = stockFromTableData();
    if (!stock || stock->code().size() != 6) {
        showAlert("错误代码");
        return;
    }
    const VTATCRS& record = *tableData_;
    const std::string secuid = textOf(record, Col::kSecuId);
    // The order screen preselects the holding's account by its display text.
    if (utf8Length(secuid) >= 2)
        tradeWithStock(stock, 1, textOf(record, Col::kMarketName) + secuid);
    else
        tradeWithStock(stock, 1);
}

void VTATradeQueryViewController::onCommandChangeCost() {
    auto stock = stockFromTableData();
    if (!stock || stock->code().size() != 6) {
        showAlert("错误代码");
        return;
    }
    const VTATCRS& record = *tableData_;
    stock->setMarketID(intValueOfText(textOf(record, Col::kMarket)));
    auto change =
        std::make_shared<VTAModifyCostViewController>(stock, textOf(record, Col::kCost), textOf(record, Col::kSecuId));
    auto nav = UINavigationController::initWithRootViewController(change);
    nav->navigationBar()->setBarStyle(UIBarStyle::Black);
    std::weak_ptr<UIViewController> self = sharedController();
    change->navigationItem()->setLeftBarButtonItem(
        std::make_shared<UIBarButtonItem>("取消", UIBarButtonItemStyle::Bordered, this, [self](UIBarButtonItem&) {
            if (auto list = std::dynamic_pointer_cast<VTATradeQueryViewController>(self.lock()))
                list->cancelModelCost();
        }));
    costChange_ = change;
    presentModalViewController(nav, true);
}

void VTATradeQueryViewController::cancelModelCost() {
    // Coming back into view asks for the page again (viewDidAppear).
    dismissModalViewControllerAnimated(true);
}

void VTATradeQueryViewController::tableViewDoubleClickAtIndex(VTATableView&, int index) {
    if (!isHoldings() || !tableData_ || index < 0 || index >= tableData_->rowsAffected()) return;
    tableData_->moveToIndex(index);
    const std::string market = textOf(*tableData_, Col::kMarketName);
    auto stock = std::make_shared<VTAStock>(textOf(*tableData_, Col::kStockCode), textOf(*tableData_, Col::kStockName),
                                            market.empty() || beginsWith(market, "深") ? 1 : 2);
    if (auto page = VTAUIFactory::stockPageWithStocks({stock}, 0)) ::pushViewController(page);
}

// ---- the cancel of today's orders ----

void VTATradeQueryViewController::withdrawAction() { prepareWithdraw(); }

bool VTATradeQueryViewController::prepareWithdraw() {
    if (!tableData_) return false;
    if (tableData_->rowsAffected() == 0) {
        showAlert("没有任何记录!");
        return false;
    }
    VTATCRS* record = selectedRecord();
    if (!record || utf8Length(textOf(*record, Col::kStockCode)) != 6) {
        showAlert("没有选中任何记录!");
        return false;
    }
    const std::string name = textOf(*record, Col::kStockName), code = textOf(*record, Col::kStockCode);
    const std::string price = textOf(*record, Col::kOrderPrice), quantity = textOf(*record, Col::kOrderQty);
    const std::string number = textOf(*record, Col::kOrderNumber), secuid = textOf(*record, Col::kSecuId);
    const int market = beginsWith(textOf(*record, Col::kMarketName), "沪") ? 2 : 1;

    // The fund account of the order's shareholder account; the login's when none matches.
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    if (!customer) {
        showAlert(VTAUIFactory::kNoTradeLoginText);  // the trade session ended while the list was open
        return false;
    }
    std::string fundid = tradeFundId();
    for (customer->fetchFirst(); !customer->isEOF(); customer->fetchNext())
        if (textOf(*customer, Col::kSecuId) == secuid) {
            fundid = textOf(*customer, TradeContract::Col::kFundId);
            break;
        }
    customer->fetchFirst();

    RequestBuilder request = RequestBuilder::trade(kCancel.sub);
    request.add(Key::kFundId, fundid)
        .add(Key::kOrderNumber, number)
        .add(Key::kQuoteMarket, market)
        .add(Key::kSecuId, secuid);
    if (request.refused()) {
        showAlert(request.refusal());
        return false;
    }
    withdrawRequest_ = request.text();
    showWithdrawSheet("请仔细确定撤单信息：\n股票：" + name + "(" + code + ")\n委托价格：" + price + "\n委托数量：" +
                      quantity + "\n委托单号：" + number);
    return true;
}

void VTATradeQueryViewController::showWithdrawSheet(const std::string& title) {
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(title, nullptr, std::string("取消"), std::string("确定"),
                                             std::vector<std::string>{});
    sheet_->setActionSheetStyle(UIActionSheetStyle::Automatic);
    sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    sheet_->showInView(view().get());
}

void VTATradeQueryViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != sheet_.get()) return;
    isWithdraw_ = buttonIndex == 0;
    if (isWithdraw_) requestWithdraw();
}

void VTATradeQueryViewController::requestWithdraw() {
    if (utf8Length(withdrawRequest_) < 2 || isRequestInFlight(kWithdrawTag)) return;
    if (!sendRequest(kWithdrawTag, withdrawRequest_, 4)) isWithdraw_ = false;
}

void VTATradeQueryViewController::withdrawArrived(const RequestReply& reply) {
    isWithdraw_ = false;
    // No record set says nothing of the cancel: never taken for its acceptance.
    if (!reply.first()) {
        showAlert(unreadableWithdrawText());
        return;
    }
    acceptedAlert_ = alertWithDelegate(kWithdrawAcceptedText);
}

void VTATradeQueryViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int) {
    if (&alert == acceptedAlert_.get()) popViewControllers(1);
}
