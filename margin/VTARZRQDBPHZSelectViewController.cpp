#include "margin/VTARZRQDBPHZSelectViewController.h"

#include "core/VTATCRS.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "margin/MarginToolbar.h"
#include "margin/VTARZRQDBPHZOperateViewController.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UINavigationItem.h"
#include "ui/Alerts.h"
#include "ui/VTASheetPicker.h"

namespace Credit = MarginContract::Value;

namespace {

constexpr const char* kOutTitle = "划出信用帐户";
constexpr const char* kInTitle = "划入信用帐户";

std::string screenTitleOf(const std::string& direction) {
    return direction == Credit::kOutOfCredit ? "担保品划转-划出" : "担保品划转-划入";
}

}  // namespace

VTARZRQDBPHZSelectViewController::VTARZRQDBPHZSelectViewController()
    : MarginStockList(4), dirTypeValue_(Credit::kOutOfCredit), dirTypeDesc_(kOutTitle) {
    dirChoice_.setItemWithTitle(kOutTitle, Credit::kOutOfCredit);
    dirChoice_.setItemWithTitle(kInTitle, Credit::kIntoCredit);
}

VTARZRQDBPHZSelectViewController::~VTARZRQDBPHZSelectViewController() { closeSheet(); }

void VTARZRQDBPHZSelectViewController::viewWillDidLoad() {
    MarginStockList::viewWillDidLoad();
    setTitle(screenTitleOf(dirTypeValue_));
    // The form leads back with "返回": this list's title would leave no room for the form's.
    navigationItem()->setBackBarButtonItem(
        std::make_shared<UIBarButtonItem>("返回", UIBarButtonItemStyle::Bordered, this, nullptr));
}

void VTARZRQDBPHZSelectViewController::createToolbarItems() {
    setMarginToolbar(*this, "划转方向", [this] { onChoiceDir(); });
}

RequestBuilder VTARZRQDBPHZSelectViewController::tradeInfoRequest() const {
    RequestBuilder request = MarginStockList::tradeInfoRequest();
    request.add(MarginContract::Key::kBusiFlag, dirTypeValue_);
    return request;
}

// ---- the direction ----

void VTARZRQDBPHZSelectViewController::onChoiceDir() {
    closeSheet();
    dirPicker_ = std::make_shared<UIPickerView>();
    dirPicker_->setShowsSelectionIndicator(true);
    dirPicker_->setDataSource(this);
    dirPicker_->setDelegate(this);
    dirPicker_->reloadAllComponents();
    dirPicker_->selectRow(std::max(0, dirChoice_.indexOfValue(dirTypeValue_)), 0, false);
    dirSheet_ = std::make_shared<VTASheetPicker>("划转方向", dirPicker_, this, "取消", "确定");
    dirSheet_->showInView(view().get());
}

std::string VTARZRQDBPHZSelectViewController::pickerViewTitleForRow(UIPickerView&, int row, int) {
    const auto& items = dirChoice_.items();
    return row >= 0 && row < static_cast<int>(items.size()) ? items[size_t(row)].title() : std::string();
}

void VTARZRQDBPHZSelectViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != dirSheet_.get()) {
        MarginStockList::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
        return;
    }
    if (buttonIndex == 0 && dirPicker_) chooseDirection(dirPicker_->selectedRowInComponent(0));
}

void VTARZRQDBPHZSelectViewController::chooseDirection(int row) {
    const auto& items = dirChoice_.items();
    if (row < 0 || row >= static_cast<int>(items.size())) return;
    dirTypeDesc_ = items[size_t(row)].title();
    dirTypeValue_ = items[size_t(row)].value();
    setTitle(screenTitleOf(dirTypeValue_));
    // Another direction lists other shares: from their first page.
    resetPaging();
    requestTradeInfo();
}

void VTARZRQDBPHZSelectViewController::closeSheet() {
    if (dirSheet_) {
        dirSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
        if (dirSheet_->isVisible()) dirSheet_->dismissWithClickedButtonIndex(-1, false);
    }
    if (dirPicker_) {
        dirPicker_->setDataSource(nullptr);
        dirPicker_->setDelegate(nullptr);
    }
    dirSheet_.reset();
    dirPicker_.reset();
}

// ---- the form ----

void VTARZRQDBPHZSelectViewController::onCommandOK() {
    if (dirTypeValue_ != Credit::kOutOfCredit && dirTypeValue_ != Credit::kIntoCredit) {
        showAlert("请先选择划转方向");
        return;
    }
    MarginStockList::onCommandOK();
}

std::shared_ptr<VTAViewControllers> VTARZRQDBPHZSelectViewController::formFor(VTATCRS& record) {
    namespace Col = TradeQueryContract::Col;
    return VTARZRQDBPHZOperateViewController::initWithTradeSide(
        dirTypeDesc_, dirTypeValue_, record.toStringWithFieldName(MarginContract::Col::kAvailable).value_or(""),
        record.toStringWithFieldName(Col::kMarket).value_or(""));
}
