#include "margin/VTARZRQXJHKViewController.h"

#include "core/VTATCRS.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginRepayRules.h"
#include "margin/MarginToolbar.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"
#include "trade/TradeFormViews.h"
#include "ui/Alerts.h"
#include "ui/DisplayCell.h"
#include "ui/Drawing.h"

namespace Col = MarginContract::Col;

namespace {

constexpr int kNumbersAndPunctuation = 2;

std::shared_ptr<UILabel> formLabel(double width, UITextAlignment alignment, const std::string& text = "") {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, width, 31));
    l->setFont(defaultFont());
    l->setTextAlignment(alignment);
    l->setBackgroundColor(UIColor::clearColor());
    l->setText(text);
    return l;
}

}  // namespace

VTARZRQXJHKViewController::VTARZRQXJHKViewController() {
    bindRequest(kDebtTag, [this](const RequestReply& r) { debtArrived(r); });
    bindRequest(kRepayTag, [this](const RequestReply& r) { repayArrived(r); },
                {.order = true, .unknownOutcomeText = kUnknownOutcomeText});
}

VTARZRQXJHKViewController::~VTARZRQXJHKViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    if (backMoney_) backMoney_->setFieldDelegate(nullptr);
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

UILabel* VTARZRQXJHKViewController::moneyCountLabel() {
    view();
    return moneyCount_.get();
}
UILabel* VTARZRQXJHKViewController::backMoneyCountLabel() {
    view();
    return backMoneyCount_.get();
}
VTATextField* VTARZRQXJHKViewController::backMoneyField() {
    view();
    return backMoney_.get();
}
UIButton* VTARZRQXJHKViewController::allButton() {
    view();
    return all_.get();
}
UITableView* VTARZRQXJHKViewController::tableView() {
    view();
    return table_.get();
}

void VTARZRQXJHKViewController::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->frame(), UITableViewStyle::Grouped);
    moneyType_ = formLabel(120, UITextAlignment::Right, "人民币");
    moneyCount_ = formLabel(120, UITextAlignment::Right);
    backMoneyCount_ = formLabel(120, UITextAlignment::Right);
    backMoney_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 120, 31), 12, "输入金额", kNumbersAndPunctuation);
    backMoney_->setTellsLimit(true);
    backMoney_->setFont(defaultFont());
    all_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    all_->setFrame(CGRectMake(0, 0, 52, 31));  // centred in its column: clear of the number before it
    all_->setTitle("全部");
    all_->addTarget(
        this, [this](UIControl&) { allBtnAction(); }, UIControlEventTouchUpInside);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void VTARZRQXJHKViewController::createToolbarItems() { setMarginToolbar(*this); }

std::shared_ptr<UITableViewCell> VTARZRQXJHKViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                           const NSIndexPath& ip) {
    static const char* const kTitles[] = {"币种", "可用金额", "需还款金额", "还款金额"};
    const std::shared_ptr<UIView> values[] = {moneyType_, moneyCount_, backMoneyCount_, backMoney_};
    auto cell = std::make_shared<VTAHQCell>(UITableViewCellStyle::Default, "VTA hqCell indentifier");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    const int row = std::clamp(ip.row, 0, 3);
    std::shared_ptr<UIView> third =
        row == 2 ? std::static_pointer_cast<UIView>(all_) : formLabel(60, UITextAlignment::Left);
    cell->loadItems({tradeRowItem(formLabel(80, UITextAlignment::Left, kTitles[row]), 10), tradeRowItem(values[row]),
                     tradeRowItem(third)},
                    {100, 120, 60});
    return cell;
}

// ---- appearing and leaving ----

void VTARZRQXJHKViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    backMoney_->setFieldDelegate(this);
    isRepay_ = false;
    requestDebt();
}

void VTARZRQXJHKViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    backMoney_->setFieldDelegate(nullptr);
}

void VTARZRQXJHKViewController::requestDebt() { sendRequest(kDebtTag, marginDebtRequest(), 4); }

void VTARZRQXJHKViewController::debtArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) return;
    debtKnown_ = true;
    moneyCount_->setText(set->toStringWithFieldName(Col::kMayRepay).value_or(""));
    backMoneyCount_->setText(set->toStringWithFieldName(Col::kRepay).value_or(""));
}

// ---- the repayment ----

void VTARZRQXJHKViewController::allBtnAction() { backMoney_->setText(backMoneyCount_->text()); }

void VTARZRQXJHKViewController::onCommandOK() {
    view()->endEditing(true);
    if (!debtKnown_ || isRepay_) return;  // the debt first; one repayment at a time
    const std::string amount = backMoney_->text();
    if (!isPositiveDecimalText(amount)) {
        showAlert(kBadAmountText);
        return;
    }
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(marginSheetText({{"币种", "人民币"}, {"还款金额", amount}}), nullptr,
                                             std::string("取消"), std::string("确定"), std::vector<std::string>{});
    sheet_->setActionSheetStyle(UIActionSheetStyle::Default);
    sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    sheet_->showInView(view().get());
}

void VTARZRQXJHKViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != sheet_.get() || buttonIndex != 0) return;
    const std::string amount = backMoney_->text();
    isRepay_ = sendRequest(kRepayTag, marginCashRepayRequest(amount), 4);
    backMoney_->setText("");
}

void VTARZRQXJHKViewController::repayArrived(const RequestReply& reply) {
    isRepay_ = false;
    VTATCRS* set = reply.first();
    if (!set || set->toStringWithFieldName(Col::kMessageOk).value_or("").empty()) {
        // Neither taken nor refused in so many words: the customer is told
        // where to look, and the debt shows what the books say now.
        showAlert(kUnknownOutcomeText);
        requestDebt();
        return;
    }
    showAlert("还款委托已经成功提交！");
    requestDebt();
}

void VTARZRQXJHKViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kRepayTag) isRepay_ = false;
    VTAViewControllers::requestDidFail(failure);
}

// ---- the keyboard ----

bool VTARZRQXJHKViewController::myTextFieldWillShowKeyboard(VTATextField&) {
    table_->setContentOffset(CGPointMake(0, kKeyboardScroll), true);
    return true;
}

void VTARZRQXJHKViewController::myTextFieldDidHideKeyboard(VTATextField&) {
    table_->setContentOffset(CGPointMake(0, 0), true);
}
