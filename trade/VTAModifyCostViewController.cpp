#include "trade/VTAModifyCostViewController.h"

#include "core/RequestBuilder.h"
#include "core/Utilities.h"
#include "core/VTAStock.h"
#include "core/contracts/TradeQueryContract.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationItem.h"
#include "trade/TradeFormViews.h"
#include "ui/Alerts.h"
#include "ui/DisplayCell.h"
#include "ui/Drawing.h"

namespace {

using namespace TradeQueryContract;

}  // namespace

VTAModifyCostViewController::VTAModifyCostViewController(const std::shared_ptr<VTAStock>& stock,
                                                         const std::string& costPrice, const std::string& gdh)
    : gdhID_(gdh) {
    setTitle("修改成本");
    stockCodeLabel_ = tradeFormValueLabel(stock ? stock->code() : "");
    stockNameLabel_ = tradeFormValueLabel(stock ? stock->name() : "");
    oldCostLabel_ = tradeFormValueLabel(costPrice);
    marketID_ = stock ? static_cast<unsigned>(stock->marketID()) : 0;
    newCostField_ = std::make_shared<UITextField>(CGRectMake(0, 0, 180, 30));
    newCostField_->setPlaceholder("请输入新成本");
    newCostField_->setKeyboardType(UIKeyboardType::NumbersAndPunctuation);
    newCostField_->setReturnKeyType(UIReturnKeyType::Done);
    newCostField_->setBorderStyle(UITextBorderStyle::RoundedRect);
    newCostField_->setTextAlignment(UITextAlignment::Right);
    newCostField_->setDelegate(this);
    bindRequest(kCostTag, [this](const RequestReply& reply) { costChanged(reply); },
                {.order = true, .unknownOutcomeText = kUnknownOutcomeText});
}

VTAModifyCostViewController::~VTAModifyCostViewController() { newCostField_->setDelegate(nullptr); }

void VTAModifyCostViewController::viewWillDidLoad() {
    // Presented over the list: only its "取消" leaves it (no way home from under it).
    navigationItem()->setRightBarButtonItem(nullptr);
    hideToolBar();
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

std::shared_ptr<UITableViewCell> VTAModifyCostViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                             const NSIndexPath& ip) {
    switch (ip.row) {
        case 0:
            return tradeFormCell("证券名称", stockNameLabel_, false);
        case 1:
            return tradeFormCell("证券代码", stockCodeLabel_, false);
        case 2:
            return tradeFormCell("原成本", oldCostLabel_, false);
        case 3:
            return tradeFormCell("修改为", newCostField_, false);
        default:
            break;
    }
    auto cell = std::dynamic_pointer_cast<VTAContentCell>(table.dequeueReusableCellWithIdentifier("Modify"));
    if (!cell) cell = std::make_shared<VTAContentCell>(UITableViewCellStyle::Default, "Modify");
    if (!modify_) {
        modify_ = std::make_shared<UIButton>(UIButtonType::RoundedRect, CGRectMake(10, 7, 280, 30));
        modify_->setTitle("修改");
        modify_->addTarget(
            this, [this](UIControl&) { onCommandOK(); }, UIControlEventTouchUpInside);
    }
    cell->setView(modify_);
    return cell;
}

bool VTAModifyCostViewController::textFieldShouldReturn(UITextField& field) {
    field.resignFirstResponder();
    return true;
}

void VTAModifyCostViewController::onCommandOK() {
    if (isTrading_) return;
    newCostField_->resignFirstResponder();
    if (!gtm_matchesPattern(newCostField_->text(), kCostPattern)) {
        showAlert(kBadCostText);
        return;
    }
    requestModifyPrice();
}

bool VTAModifyCostViewController::requestModifyPrice() {
    RequestBuilder request = RequestBuilder::trade(kCostChange.sub);
    request.add(Key::kMarket, static_cast<long long>(marketID_))
        .add(Key::kStockCode, stockCodeLabel_->text())
        .add(Key::kCostPrice, newCostField_->text())
        .add(Key::kSecuId, gdhID_);
    isTrading_ = sendRequest(kCostTag, request, 4);
    return isTrading_;
}

void VTAModifyCostViewController::costChanged(const RequestReply& reply) {
    isTrading_ = false;
    if (!reply.first()) {
        showAlert(kUnreadableText);
        return;
    }
    doneAlert_ = alertWithDelegate(kChangedText);
}

void VTAModifyCostViewController::requestDidFail(const RequestFailure& failure) {
    isTrading_ = false;
    if (failure.kind == RequestFailure::Kind::Unreadable)
        showAlert(kUnreadableText);
    else
        VTAViewControllers::requestDidFail(failure);
}

void VTAModifyCostViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (&alert != doneAlert_.get() || buttonIndex != 0) return;
    // What the bar's "取消" does: the list closes this form and refreshes.
    if (auto cancel = navigationItem()->leftBarButtonItem()) cancel->performAction();
}
