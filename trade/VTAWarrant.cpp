#include "trade/VTAWarrant.h"

#include "core/RequestBuilder.h"
#include "core/Utilities.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/WarrantContract.h"
#include "platform/graphics/UIColor.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "trade/TradeFormViews.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace {

using namespace WarrantContract;

std::shared_ptr<UILabel> valueLabel(const std::string& text, std::shared_ptr<UIColor> color) {
    auto l = tradeFormValueLabel(text);
    l->setTextColor(std::move(color));
    return l;
}

std::string textOf(const VTATCRS& set, const std::string& field) {
    return set.toStringWithFieldName(field).value_or("");
}

}  // namespace

VTAWarrant::VTAWarrant() {
    bindRequest(kQueryTag, [this](const RequestReply& r) { warrantArrived(r); });
    bindRequest(kExerciseTag, [this](const RequestReply& r) { exerciseArrived(r); }, {.order = true});
}

VTAWarrant::~VTAWarrant() {
    for (auto* f : {codeField_.get(), orderSumField_.get()})
        if (f) f->setFieldDelegate(nullptr);
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

void VTAWarrant::viewWillDidLoad() {
    auto grey = UIColor::grayColor();
    gdhLabel_ = valueLabel(kNoShareholderLabel, UIColor::blueColor());
    codeField_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 180, 30), 6, "<行权代码>", 4);
    nameLabel_ = valueLabel("<权证名称>", UIColor::blackColor());
    priceLabel_ = valueLabel("<价格>", grey);
    freeMoneyLabel_ = valueLabel("<可用资金>", grey);
    freeSumLabel_ = valueLabel("<可用数量>", grey);
    orderSumField_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 180, 30), 16, "<行权数量>", 4);
    orderSumField_->setTellsLimit(true);
    for (auto* f : {codeField_.get(), orderSumField_.get()}) {
        f->setFont(defaultFont());
        f->setFieldDelegate(this);
    }
    for (auto* l : {&exerciseTypeLabel_, &exerciseMethodLabel_, &exerciseRatioLabel_, &settlementMethodLabel_,
                    &settlementPriceLabel_, &dueDateLabel_})
        *l = valueLabel("", grey);
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
    loadShareholders();
    keepToolbarAboveKeyboard();
}

void VTAWarrant::loadShareholders() {
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    if (!customer) return;
    namespace Account = TradeContract::Col;
    for (customer->fetchFirst(); !customer->isEOF(); customer->fetchNext()) {
        const std::string market = textOf(*customer, Account::kMarket);
        const std::string secuid = textOf(*customer, Account::kSecuId);
        const std::string display = textOf(*customer, Account::kMarketName) + secuid;
        gdhData_.setValue(std::string(Key::kMarket) + "=" + market + "&" + Key::kSecuId + "=" + secuid + "&" +
                              Key::kFundId + "=" + textOf(*customer, Account::kFundId),
                          display);
        gdhDict_.setValue(display, market);  // a later account of the market replaces an earlier one
    }
    customer->fetchFirst();
}

void VTAWarrant::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto ok = std::make_shared<UIBarButtonItem>("确定", UIBarButtonItemStyle::Bordered, this,
                                                [this](UIBarButtonItem&) { onCommandOK(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), ok});
}

std::shared_ptr<UITableViewCell> VTAWarrant::tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    switch (ip.row) {
        case 0:
            return tradeFormCell("股东号", gdhLabel_, true);
        case 1:
            return tradeFormCell("行权代码", codeField_, false);
        case 2:
            return tradeFormCell("证券名称", nameLabel_, false);
        case 3:
            return tradeFormCell("行权价格", priceLabel_, false);
        case 4:
            return tradeFormCell("可用资金", freeMoneyLabel_, false);
        case 5:
            return tradeFormCell("可用数量", freeSumLabel_, false);
        case 6:
            return tradeFormCell("行权数量", orderSumField_, false);
        case 7:
            return tradeFormCell("行权类型", exerciseTypeLabel_, false);
        case 8:
            return tradeFormCell("行权方式", exerciseMethodLabel_, false);
        case 9:
            return tradeFormCell("行权比例", exerciseRatioLabel_, false);
        case 10:
            return tradeFormCell("结算方式", settlementMethodLabel_, false);
        case 11:
            return tradeFormCell("结算价", settlementPriceLabel_, false);
        default:
            return tradeFormCell("到期日期", dueDateLabel_, false);
    }
}

// ---- the query ----

void VTAWarrant::myTextFieldReachMax(VTATextField& field, int) {
    if (&field != codeField_.get()) return;
    setFrameStatus(kAwaitingQuery);
    requestWarrantTrade();
}

bool VTAWarrant::requestWarrantTrade() {
    if (gdhData_.empty()) return false;
    if (frameStatus() == kAwaitingExercise) {
        RequestBuilder request = RequestBuilder::trade(kExercise, false);
        request.appendFields(gdhData_.getValueForKey(gdhLabel_->text()).value_or(""))
            .add(Key::kStockCode, codeField_->text())
            .add(Key::kPrice, priceLabel_->text())
            .add(Key::kQty, orderSumField_->text());
        if (sendRequest(kExerciseTag, request, 4)) return true;
        setFrameStatus(kHandled);
        return false;
    }
    if (frameStatus() != kAwaitingQuery || utf8Length(codeField_->text()) != 6) return false;
    RequestBuilder request = RequestBuilder::trade(kQuery, false);
    request.add(Key::kStockCode, codeField_->text()).add(Key::kQueryFlag, 1);
    return sendRequest(kQueryTag, request, 4);
}

void VTAWarrant::warrantArrived(const RequestReply& reply) {
    setFrameStatus(kHandled);
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(kUnreadableText);
        return;
    }
    const std::string display = gdhDict_.getValueForKey(textOf(*set, Col::kMarket)).value_or("");
    tradeDisable_ = utf8Length(display) < 6;
    // No account of the warrant's market: the data is shown, the account row keeps its placeholder.
    gdhLabel_->setText(tradeDisable_ ? kNoShareholderLabel : display);
    isWarrantInfoOK_ = true;
    queriedCode_ = textOf(*set, Col::kCode);
    codeField_->setText(queriedCode_);
    nameLabel_->setText(textOf(*set, Col::kName));
    priceLabel_->setText(textOf(*set, Col::kExercisePrice));
    freeMoneyLabel_->setText(textOf(*set, Col::kFundAvl));
    freeSumLabel_->setText(textOf(*set, Col::kAvailable));
    exerciseTypeLabel_->setText(textOf(*set, Col::kKind));
    exerciseMethodLabel_->setText(textOf(*set, Col::kStyle));
    exerciseRatioLabel_->setText(textOf(*set, Col::kRatio));
    settlementMethodLabel_->setText(textOf(*set, Col::kSettlement));
    settlementPriceLabel_->setText(textOf(*set, Col::kSettlementPrice));
    dueDateLabel_->setText(textOf(*set, Col::kExpiry));
    table_->reloadData();
    if (tradeDisable_) showAlert(kNoShareholderText);
}

// ---- the exercise ----

void VTAWarrant::onCommandOK() {
    if (tradeDisable_) {
        showAlert(kNoShareholderText);
        return;
    }
    if (gdhData_.empty() || frameStatus() == kAwaitingExercise) return;
    const std::string account = gdhLabel_->text();
    // The data shown must be the warrant of the code as it stands now.
    if (account.empty() || account == kNoShareholderLabel || !isWarrantInfoOK_ || codeField_->text() != queriedCode_) {
        showAlert(kBadWarrantText);
        return;
    }
    const std::string quantity = orderSumField_->text();
    if (quantity.empty() || intValueOfText(quantity) == 0) return;
    for (auto* f : {codeField_.get(), orderSumField_.get()}) f->resignFirstResponder();
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(
        "您确定要发送如下信息吗？\n权证行权 \n证券代码：" + codeField_->text() + " \n证券名称：" + nameLabel_->text() +
            " \n行权价格：" + priceLabel_->text() + " \n行权数量：" + quantity + " \n",
        nullptr, std::string("取消"), std::string("确定"), std::vector<std::string>{});
    sheet_->setActionSheetStyle(UIActionSheetStyle::Default);
    sheet_->setTag(kSheetTag);
    sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    sheet_->showInView(view().get());
}

void VTAWarrant::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != sheet_.get() || sheet.tag() != kSheetTag || buttonIndex != 0) return;
    setFrameStatus(kAwaitingExercise);
    requestWarrantTrade();
    orderSumField_->setText("");
}

void VTAWarrant::exerciseArrived(const RequestReply& reply) {
    setFrameStatus(kHandled);
    if (!reply.first()) {
        showAlert(kUnreadableText);
        return;
    }
    doneAlert_ = alertWithDelegate(kAcceptedText, kDoneAlertTag);
}

void VTAWarrant::alertViewClickedButtonAtIndex(UIAlertView& alert, int) {
    if (&alert == doneAlert_.get() && alert.tag() == kDoneAlertTag) popViewControllers(1);
}

bool VTAWarrant::myTextFieldWillShowKeyboard(VTATextField& field) {
    if (&field == orderSumField_.get()) table_->setContentOffset(CGPointMake(0, 120), true);
    return true;
}

void VTAWarrant::myTextFieldDidHideKeyboard(VTATextField& field) {
    if (&field == orderSumField_.get()) table_->setContentOffset(CGPointMake(0, 0), true);
}

void VTAWarrant::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::ErrorSet && failure.tag == kQueryTag) isWarrantInfoOK_ = false;
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        // An answer that cannot be read ends its stage, as an answer does.
        setFrameStatus(kHandled);
        showAlert(kUnreadableText);
        return;
    }
    // A refusal ends the stage as an answer does; a lost request starts again.
    setFrameStatus(failure.kind == RequestFailure::Kind::ErrorSet ? kHandled : kAwaitingQuery);
    VTAViewControllers::requestDidFail(failure);
}
