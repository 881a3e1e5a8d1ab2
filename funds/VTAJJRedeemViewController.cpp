#include "funds/VTAJJRedeemViewController.h"

#include <algorithm>

#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "funds/FundRules.h"
#include "platform/uikit/UILabel.h"
#include "shell/TradeSession.h"
#include "ui/Alerts.h"
#include "ui/VTASheetPicker.h"

namespace Col = FundContract::Col;

namespace {

std::shared_ptr<VTATCRS> heldFunds() { return VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kFunds); }

std::string textOf(const VTATCRS& set, const char* name) { return set.toStringWithFieldName(name).value_or(""); }

}  // namespace

VTAJJRedeemViewController::VTAJJRedeemViewController() : FundForm(kOrderTag, false) {
    bindRequest(kHoldingsTag, [this](const RequestReply& r) { holdingsReplied(r); }, {.handlesErrorSet = true});
    bindRequest(kInfoTag, [this](const RequestReply& r) { infoReplied(r); }, {.handlesErrorSet = true});
}

VTAJJRedeemViewController::~VTAJJRedeemViewController() {
    if (picker_) {
        picker_->setDataSource(nullptr);
        picker_->setDelegate(nullptr);
    }
    if (pickerSheet_) pickerSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

UILabel* VTAJJRedeemViewController::fundName() {
    view();
    return fundName_.get();
}
UILabel* VTAJJRedeemViewController::fundCode() {
    view();
    return fundCode_.get();
}
UILabel* VTAJJRedeemViewController::fundStatus() {
    view();
    return fundStatus_.get();
}
UILabel* VTAJJRedeemViewController::fundPrice() {
    view();
    return fundPrice_.get();
}
UILabel* VTAJJRedeemViewController::numCanUsed() {
    view();
    return numCanUsed_.get();
}
UILabel* VTAJJRedeemViewController::typeLabel() {
    view();
    return typeLabel_.get();
}
UILabel* VTAJJRedeemViewController::riskLabel() {
    view();
    return riskLabel_.get();
}
VTATextField* VTAJJRedeemViewController::redeemNum() {
    view();
    return redeemNum_.get();
}

// ---- the form ----

void VTAJJRedeemViewController::buildForm() {
    fundName_ = valueLabel(UIColor::blueColor());
    fundCode_ = valueLabel(UIColor::blueColor());
    fundStatus_ = valueLabel();
    fundPrice_ = valueLabel();
    numCanUsed_ = valueLabel();
    typeLabel_ = valueLabel(UIColor::blueColor());
    typeLabel_->setText(typeArray_.front());
    riskLabel_ = valueLabel(UIColor::redColor());
    redeemNum_ = inputField(10, "<份额>", 2, "份");
    scrollsForKeyboard(redeemNum_.get());
    watchFields({redeemNum_.get()});
}

std::shared_ptr<UITableViewCell> VTAJJRedeemViewController::formCell(int row) {
    switch (row) {
        case 0:
            return formRow("基金名称", fundName_, true);
        case 1:
            return formRow("基金代码", fundCode_);
        case 2:
            return formRow("今日状态", fundStatus_);
        case 3:
            return formRow("昨日净值", fundPrice_);
        case 4:
            return formRow("可用份额", numCanUsed_);
        case 5:
            return formRow("赎回份额", redeemNum_);
        case 6:
            return formRow("巨额方式", typeLabel_, true);
        default:
            return formRow("风险级别", riskLabel_);
    }
}

void VTAJJRedeemViewController::formRowTapped(int row) {
    if (row == 0) {
        auto at = std::find(myFunds_.begin(), myFunds_.end(), fundName_->text());
        showPicker(kFundPickerTag, "请选择您要转换的基金", at == myFunds_.end() ? 0 : int(at - myFunds_.begin()));
    } else if (row == 6) {
        auto at = std::find(typeArray_.begin(), typeArray_.end(), typeLabel_->text());
        showPicker(kTypePickerTag, "请选择您要巨额方式", at == typeArray_.end() ? 0 : int(at - typeArray_.begin()));
    }
}

// ---- the pickers ----

const std::vector<std::string>& VTAJJRedeemViewController::rowsOf(const UIPickerView& picker) const {
    return picker.tag() == kTypePickerTag ? typeArray_ : myFunds_;
}

int VTAJJRedeemViewController::pickerViewNumberOfRowsInComponent(UIPickerView& picker, int) {
    return static_cast<int>(rowsOf(picker).size());
}

std::string VTAJJRedeemViewController::pickerViewTitleForRow(UIPickerView& picker, int row, int) {
    const auto& rows = rowsOf(picker);
    return row >= 0 && row < static_cast<int>(rows.size()) ? rows[row] : "";
}

void VTAJJRedeemViewController::showPicker(int tag, const std::string& title, int selected) {
    view()->endEditing(true);
    if (picker_) {
        picker_->setDataSource(nullptr);
        picker_->setDelegate(nullptr);
    }
    if (pickerSheet_) pickerSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    picker_ = std::make_shared<UIPickerView>();
    picker_->setTag(tag);
    picker_->setShowsSelectionIndicator(true);
    picker_->setDataSource(this);
    picker_->setDelegate(this);
    if (selected < picker_->numberOfRowsInComponent(0)) picker_->selectRow(selected, 0, false);
    pickerSheet_ = std::make_shared<VTASheetPicker>(title, picker_, this, "取消", "确定");
    pickerSheet_->setTag(tag);
    pickerSheet_->showInView(view().get());
}

void VTAJJRedeemViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != pickerSheet_.get()) {
        FundForm::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
        return;
    }
    if (buttonIndex != 0) return;
    const int row = picker_->selectedRowInComponent(0);
    if (row < 0) return;
    if (sheet.tag() == kTypePickerTag) {
        typeLabel_->setText(typeArray_[row]);
        return;
    }
    selectedFundIndex_ = row;
    auto funds = heldFunds();
    if (!funds || row >= funds->rowsAffected()) return;
    funds->moveToIndex(row);
    fundName_->setText(textOf(*funds, Col::kFundName));
    fundCode_->setText(textOf(*funds, Col::kFundCode));
    // Nothing of the fund before stays beside it, whatever its lookup answers.
    for (auto* label : {fundStatus_.get(), fundPrice_.get(), numCanUsed_.get(), riskLabel_.get()}) label->setText("");
    setFrameStatus(1);
    requestFundRedeem();
}

// ---- the funds held and the fund ----

void VTAJJRedeemViewController::viewDidAppear(bool animated) {
    FundForm::viewDidAppear(animated);
    if (isOrdering()) return;
    auto funds = heldFunds();
    if (funds && !funds->isError() && funds->rowsAffected() > 0) {
        funds->fetchFirst();
        takeHoldings(*funds);
    } else {
        setFrameStatus(0);
    }
    requestFundRedeem();
}

void VTAJJRedeemViewController::viewWillDisappear(bool animated) {
    if (pickerSheet_ && pickerSheet_->isVisible()) pickerSheet_->dismissWithClickedButtonIndex(1, false);
    VTAParamter::shareParamter().removeValueForKey(TradeSessionKey::kFunds);
    FundForm::viewWillDisappear(animated);
}

void VTAJJRedeemViewController::takeHoldings(VTATCRS& set) {
    setFrameStatus(1);
    const int at = set.currentIndex();
    myFunds_.clear();
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) myFunds_.push_back(textOf(set, Col::kFundName));
    set.moveToIndex(at);
    fundCode_->setText(textOf(set, Col::kFundCode));
    fundName_->setText(textOf(set, Col::kFundName));
    numCanUsed_->setText(textOf(set, Col::kAvailableUnits));
}

void VTAJJRedeemViewController::requestFundRedeem() {
    view();
    if (frameStatus() == 0) {
        sendQuery(kHoldingsTag, heldFundsRequest());
    } else if (!fundCode_->text().empty()) {
        sendQuery(kInfoTag, fundInfoRequest(fundCode_->text()));
    }
}

void VTAJJRedeemViewController::holdingsReplied(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set) return;
    if (set->isError()) {
        showAlert(set->getError());
        return;
    }
    if (set->rowsAffected() == 0) {
        showAlert(kNoFundsText);
        return;
    }
    VTAParamter::shareParamter().setTCRS(set, TradeSessionKey::kFunds);
    selectedFundIndex_ = 0;
    takeHoldings(*set);
    requestFundRedeem();
}

void VTAJJRedeemViewController::infoReplied(const RequestReply& reply) {
    if (reply.sets.size() < 2) {
        showAlert(kInfoMissingText);
        return;
    }
    VTATCRS* fund = reply.set(0);
    if (fund->isError()) {
        showAlert(fund->getError());
        return;
    }
    if (fund->rowsAffected() == 0) {
        showAlert(kUnknownFundText);
        return;
    }
    fundCode_->setText(textOf(*fund, Col::kFundCode));
    fundName_->setText(textOf(*fund, Col::kFundName));
    fundStatus_->setText(textOf(*fund, Col::kStatusText));
    fundPrice_->setText(textOf(*fund, Col::kNetValue));
    riskLabel_->setText(textOf(*fund, Col::kRiskText));
    VTATCRS* holding = reply.set(1);
    if (holding->isError()) {
        showAlert(holding->getError());
        return;
    }
    // The holding of the fund shown; a set without codes holds that one alone.
    int at = holding->fieldsIndexWithName(Col::kFundCode) < 0
                 ? (holding->rowsAffected() > 0 ? 0 : -1)
                 : holding->recordIndexWithFieldIndex(holding->fieldsIndexWithName(Col::kFundCode), fundCode_->text());
    if (at < 0) {
        numCanUsed_->setText("");
        return;
    }
    holding->moveToIndex(at);
    numCanUsed_->setText(textOf(*holding, Col::kAvailableUnits));
}

// ---- the order ----

std::string VTAJJRedeemViewController::orderRefusal() {
    if (std::string refusal = redeemUnitsRefusal(redeemNum()->getText()); !refusal.empty()) return refusal;
    if (fundCode_->text().empty()) return kNoHeldFundText;
    return "";
}

std::string VTAJJRedeemViewController::orderSummary() const {
    return redeemSummary(fundCode_->text(), fundName_->text(), redeemNum_->text());
}

std::optional<RequestBuilder> VTAJJRedeemViewController::orderRequest() {
    const std::string units = redeemNum()->getText();
    if (units.empty() || fundCode_->text().empty()) {
        showAlert(units.empty() ? kNoRedeemUnitsText : kNoHeldFundText);
        return std::nullopt;
    }
    auto type = std::find(typeArray_.begin(), typeArray_.end(), typeLabel_->text());
    RequestBuilder request = redeemRequest(fundCode_->text(), units, static_cast<int>(type - typeArray_.begin()));
    redeemNum_->setText("");
    return request;
}

void VTAJJRedeemViewController::orderSucceeded(const RequestReply& reply) {
    VTAParamter::shareParamter().removeValueForKey(TradeSessionKey::kFunds);
    FundForm::orderSucceeded(reply);
}
