#include "funds/VTAJJQueryViewController.h"

#include "core/MenuFunctions.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "funds/OwnFunds.h"
#include "funds/VTAJJBuySaleViewController.h"
#include "funds/VTAJJZXView.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"
#include "ui/VTASheetPicker.h"

namespace Key = FundContract::Key;
namespace Col = FundContract::Col;

namespace {

std::shared_ptr<VTATCRS> fundTypes() {
    auto types = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kFundTypes);
    return types && !types->isError() ? types : nullptr;
}

std::string textOf(const VTATCRS& set, const char* name) { return set.toStringWithFieldName(name).value_or(""); }

std::string sessionText() { return VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""); }

}  // namespace

VTAJJQueryViewController::VTAJJQueryViewController() {
    bindRequest(kTypesTag, [this](const RequestReply& r) { typesArrived(r); });
}

VTAJJQueryViewController::~VTAJJQueryViewController() {
    if (picker_) {
        picker_->setDataSource(nullptr);
        picker_->setDelegate(nullptr);
    }
    if (optionSheet_) optionSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    if (auto editor = editor_.lock()) editor->setDelegate(nullptr);
}

void VTAJJQueryViewController::viewWillDidLoad() {
    VTATradeQueryViewController::viewWillDidLoad();
    if (!positionName_) positionName_ = Col::kCursor;
    if (rankedPage())
        if (auto types = fundTypes(); types && types->rowsAffected() > 0) {
            types->fetchFirst();
            style_ = types->toStringAtIndex(0).value_or("");
            orderType_ = 0;
        }
}

// ---- the toolbar ----

void VTAJJQueryViewController::createToolbarItems() {
    using Action = void (VTAJJQueryViewController::*)();
    auto item = [this](const char* title, Action action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [this, action](UIBarButtonItem&) { (this->*action)(); });
    };
    using Self = VTAJJQueryViewController;
    std::vector<std::shared_ptr<UIBarButtonItem>> buttons;
    switch (pageType_) {
        case kInformation:
            buttons = {item("认购", &Self::rgAction), item("申购", &Self::sgAction), item("加入自选", &Self::addAction),
                       item("资讯", &Self::infoAction)};
            break;
        case kCancellable:
        case kPickForOrder:
            buttons = {item("首页", &Self::onCommandHome), stockFinderButton(), item("确定", &Self::onCommandOK)};
            break;
        case kHoldings:
            buttons = {item("首页", &Self::onCommandHome), item("赎回", &Self::redeemAction),
                       item("分红", &Self::shareAction), item("资讯", &Self::infoAction)};
            break;
        case kOwnFunds:
            buttons = {item("认购", &Self::rgAction), item("申购", &Self::sgAction), item("编辑", &Self::editAction),
                       item("资讯", &Self::infoAction)};
            break;
        case kRanking:
        case kRating:
            buttons = {item("分类", &Self::optionAction), item("加入自选", &Self::addAction),
                       item("资讯", &Self::infoAction)};
            break;
        case kTradeQuery:
            buttons = {item("首页", &Self::onCommandHome), stockFinderButton(), item("刷新", &Self::onCommandRefresh)};
            break;
        default:
            buttons = {item("首页", &Self::onCommandHome), stockFinderButton(), item("确定", &Self::doneAction)};
            break;
    }
    std::vector<std::shared_ptr<UIBarButtonItem>> items;
    for (auto& b : buttons) {
        if (!items.empty()) items.push_back(flexibleSpaceBarBtn());
        items.push_back(b);
    }
    toolbar()->setItems(items);
}

// ---- requests ----

void VTAJJQueryViewController::requestTradeInfo() {
    const std::string cursor = cursorStack().empty() ? "" : cursorStack().back();
    auto menu = viewMenu();
    switch (pageType_) {
        case kInformation:
        case kPickForOrder:
            if (menu) sendListRequest(tradeInfoRequest(), 5);
            return;
        case kCancellable:
        case kHoldings:
        case kTradeQuery: {
            if (!menu) return;
            // The base list request without "count".
            VTAStringDictionary pairs = parseQuery(menu->link());
            if (!cursor.empty()) pairs.setValue(cursor, *positionName_);
            RequestBuilder request = RequestBuilder::fromText("");
            for (const auto& [key, value] : pairs) request.add(key, value);
            request.add("fundid", tradeFundId()).appendFields(sessionText());
            sendListRequest(request, 5);
            return;
        }
        case kOwnFunds: {
            RequestBuilder request = RequestBuilder::fromLinkQuery(menu ? menu->link() : "");
            std::vector<std::string> codes = ownFundCodes();
            // A list whose first entry is no code is taken as empty: never the general list.
            if (!codes.empty() && (codes.front().empty() || codes.front() == kMissingFieldText)) codes.clear();
            std::string joined;
            for (const auto& c : codes) joined += (joined.empty() ? "" : ",") + c;
            request.add(Key::kFundCode, joined).add(Key::kCount, static_cast<int>(codes.size()));
            sendListRequest(request, 3);
            return;
        }
        case kRanking:
        case kRating: {
            if (!fundTypes()) {
                sendRequest(kTypesTag, RequestBuilder(FundContract::kFundTypes), 3);
                return;
            }
            if (style_.empty()) return;  // no type to ask for
            if (pageType_ == kRanking) {
                RequestBuilder request(FundContract::kRanking);
                request.add(Key::kStyle, style_).add(Key::kOrderType, orderType_ + 1);
                sendListRequest(request, 3);
            } else {
                RequestBuilder request(FundContract::kRating);
                request.add(Key::kStyle, style_)
                    .add(Key::kQueryFlag, 0)
                    .add(Key::kCount, T_pageSize)
                    .add(Key::kCursor, cursor);
                sendListRequest(request, 3);
            }
            return;
        }
        case kPickForPlan: {
            RequestBuilder request = RequestBuilder::trade(FundContract::kPlanFunds.sub);
            request.add(Key::kQueryFlag, 1).add(Key::kCount, kPlanPageSize).add(Key::kCursor, cursor);
            sendListRequest(request, 4, kPlanListTag);
            return;
        }
        default:
            return;
    }
}

void VTAJJQueryViewController::typesArrived(const RequestReply& reply) {
    auto types = reply.sharedSet(0);
    // An empty list is not kept: the next appearance asks again.
    if (!types || types->rowsAffected() == 0) return;
    VTAParamter::shareParamter().setTCRS(types, TradeSessionKey::kFundTypes);
    types->fetchFirst();
    style_ = types->toStringAtIndex(0).value_or("");
    orderType_ = 0;
    requestTradeInfo();
}

void VTAJJQueryViewController::listReplyArrived(const RequestReply& reply) {
    VTATradeQueryViewController::listReplyArrived(reply);
    if (!rankedPage() || !reply.first()) return;
    auto types = fundTypes();
    if (!types) return;
    std::string name;
    const int at = types->recordIndexWithFieldIndex(0, style_);
    if (at >= 0) {
        types->moveToIndex(at);
        name = types->toStringAtIndex(1).value_or("");
        types->fetchFirst();
    }
    if (pageType_ == kRanking) name += kPeriods[orderType_];
    setTitle(name + (viewMenu() ? viewMenu()->title() : ""));
}

void VTAJJQueryViewController::requestDidFail(const RequestFailure& failure) {
    // A refused type list leaves the page as it was.
    if (failure.tag == kTypesTag) {
        VTAViewControllers::requestDidFail(failure);
        return;
    }
    VTATradeQueryViewController::requestDidFail(failure);
}

// ---- the type and period picker ----

void VTAJJQueryViewController::optionAction() {
    auto types = fundTypes();
    if (!types || types->rowsAffected() == 0) return;
    if (!picker_) {
        picker_ = std::make_shared<UIPickerView>();
        picker_->setShowsSelectionIndicator(true);
        picker_->setDataSource(this);
        picker_->setDelegate(this);
    }
    picker_->reloadAllComponents();
    const int at = types->recordIndexWithFieldIndex(0, style_);
    if (at >= 0) picker_->selectRow(at, 0, false);
    if (pageType_ == kRanking) picker_->selectRow(orderType_, 1, false);
    if (optionSheet_) optionSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    optionSheet_ = std::make_shared<VTASheetPicker>("请选择排序设置\n基金类型---周期", picker_, this, "取消", "确定");
    optionSheet_->setTag(kOptionSheetTag);
    optionSheet_->showInView(view().get());
}

int VTAJJQueryViewController::numberOfComponentsInPickerView(UIPickerView&) { return pageType_ == kRanking ? 2 : 1; }

int VTAJJQueryViewController::pickerViewNumberOfRowsInComponent(UIPickerView&, int component) {
    if (component == 1) return static_cast<int>(kPeriods.size());
    auto types = fundTypes();
    return types ? types->rowsAffected() : 0;
}

std::string VTAJJQueryViewController::pickerViewTitleForRow(UIPickerView&, int row, int component) {
    if (component == 1) return row >= 0 && row < static_cast<int>(kPeriods.size()) ? kPeriods[row] : "";
    auto types = fundTypes();
    if (!types || row < 0 || row >= types->rowsAffected()) return "";
    types->moveToIndex(row);
    std::string name = types->toStringAtIndex(1).value_or("");
    types->fetchFirst();
    return name;
}

void VTAJJQueryViewController::pickerViewDidSelectRow(UIPickerView&, int row, int component) {
    if (component == 1) {
        if (row >= 0 && row < static_cast<int>(kPeriods.size())) orderType_ = row;
        return;
    }
    auto types = fundTypes();
    if (!types || row < 0 || row >= types->rowsAffected()) return;
    types->moveToIndex(row);
    style_ = types->toStringAtIndex(0).value_or("");
    types->fetchFirst();
}

void VTAJJQueryViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet == optionSheet_.get()) {
        if (buttonIndex == 0) {
            resetPaging();
            requestTradeInfo();
        }
        return;
    }
    VTATradeQueryViewController::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
}

// ---- row actions ----

std::string VTAJJQueryViewController::selectedFundCode() {
    VTATCRS* record = selectedRecord();
    if (!record) return "";
    std::string code = textOf(*record, Col::kTradingCode);
    return code.empty() ? textOf(*record, Col::kFundCode) : code;
}

void VTAJJQueryViewController::openWithMessage(const std::string& link, const std::string& title,
                                               const std::string& text, int type) {
    auto vc = VTAUIFactory::viewControllerWithLink(link, title);
    if (!vc) return;
    if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get()))
        screen->setViewMessage(VTAMessage::messageWithSender(
            std::any(std::weak_ptr<UIViewController>(sharedController())), std::any(text), type));
    pushViewController(vc);
}

void VTAJJQueryViewController::rgAction() {
    openWithMessage("of_jjrg?tc_mfuncno=500&tc_sfuncno=34", "基金认购", "ofcode=" + selectedFundCode(), 1);
}

void VTAJJQueryViewController::sgAction() {
    openWithMessage("of_jjsg?tc_mfuncno=500&tc_sfuncno=35", "基金申购", "ofcode=" + selectedFundCode(), 1);
}

void VTAJJQueryViewController::shareAction() {
    openWithMessage("of_fhsz?tc_mfuncno=500&tc_sfuncno=39", "分红设置", "ofcode=" + selectedFundCode(), 1);
}

void VTAJJQueryViewController::addAction() {
    VTATCRS* record = selectedRecord();
    if (!record) {
        showAlert("添加失败，非法代码！");
        return;
    }
    showAlert(addOwnFund(textOf(*record, Col::kShortName), textOf(*record, Col::kTradingCode)));
}

void VTAJJQueryViewController::infoAction() {
    auto items = menusWithLink("of_jjzx", -1);
    if (!items || items->empty()) return;
    auto vc = VTAUIFactory::viewControllerWithMenu(items->front());
    if (!vc) return;
    if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get()))
        screen->setViewMessage(
            VTAMessage::messageWithSender(std::any(std::weak_ptr<UIViewController>(sharedController())),
                                          std::any("ofcode=" + selectedFundCode()), 0));
    pushViewController(vc);
}

void VTAJJQueryViewController::editAction() {
    // The list as stored, named where the page shows the fund: a code the
    // page could not show is kept, never lost by an edit.
    std::vector<VTAJJZXView::Fund> data;
    for (const auto& code : ownFundCodes()) {
        std::string name = code;
        if (tableData_ && !tableData_->isError()) {
            const int at =
                tableData_->recordIndexWithFieldIndex(tableData_->fieldsIndexWithName(Col::kTradingCode), code);
            if (at >= 0) {
                tableData_->moveToIndex(at);
                name = textOf(*tableData_, Col::kShortName);
                tableData_->fetchFirst();
            }
        }
        data.emplace_back(name, code);
    }
    auto window = UIApplication::sharedApplication().keyWindow();
    if (!window) return;
    auto editor = std::make_shared<VTAJJZXView>(UIScreen::mainScreen().applicationFrame(), VTAJJZXView::kTitle, data);
    editor->setDelegate(this);
    editor->showFromBottomInView(window);
    editor_ = editor;
}

void VTAJJQueryViewController::paramViewOnCommandOK(VTAParamView&) { requestTradeInfo(); }

void VTAJJQueryViewController::redeemAction() {
    if (VTATCRS* record = selectedRecord())
        if (auto one = record->subTCRSWithRange(record->currentIndex(), 1))
            VTAParamter::shareParamter().setTCRS(one, TradeSessionKey::kFunds);
    if (auto vc = VTAUIFactory::viewControllerWithLink("of_jjsh?tc_mfuncno=500&tc_sfuncno=36", "基金赎回"))
        pushViewController(vc);
}

void VTAJJQueryViewController::onCommandOK() {
    if (pageType_ == kCancellable)
        cancelOrder();
    else if (pageType_ == kPickForOrder)
        pickForOrder();
}

VTATCRS* VTAJJQueryViewController::chosenRecord(const char* emptyListText) {
    if (!tableData_) return nullptr;
    if (tableData_->rowsAffected() == 0) {
        showAlert(emptyListText);
        return nullptr;
    }
    VTATCRS* record = selectedRecord();
    if (!record) showAlert("没有选中记录.");
    return record;
}

void VTAJJQueryViewController::cancelOrder() {
    VTATCRS* record = chosenRecord("没有可撤单!");
    if (!record) return;
    const std::string code = textOf(*record, Col::kFundCode), name = textOf(*record, Col::kFundName);
    const std::string sno = textOf(*record, Col::kOrderNumber);
    RequestBuilder request = RequestBuilder::trade(FundContract::kCancel.sub);
    request.add(Key::kOrderNumber, sno);
    if (request.refused()) {
        showAlert(request.refusal());
        return;
    }
    setWithdrawRequest(request.text());
    showWithdrawSheet("请仔细确定撤单信息：\n基金：" + name + "(" + code + ")\n委托号：" + sno);
}

void VTAJJQueryViewController::pickForOrder() {
    VTATCRS* record = chosenRecord("没有基金信息!");
    if (!record) return;
    NSUserDefaults::standardUserDefaults().setObject(Value(textOf(*record, Col::kTradingCode)),
                                                     VTAJJBuySaleViewController::kPickedCodeKey);
    popViewControllers(1);
}

void VTAJJQueryViewController::doneAction() {
    VTATCRS* record = selectedRecord();
    if (!record) return;
    NSUserDefaults::standardUserDefaults().setObject(Value(textOf(*record, Col::kFundCode)), kPickedForPlanKey);
    popViewControllers(1);
}
