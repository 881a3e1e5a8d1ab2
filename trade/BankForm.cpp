#include "trade/BankForm.h"

#include "platform/uikit/UILabel.h"
#include "trade/BankTransferRules.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"

BankForm::BankForm(double editingOffset) : editingOffset_(editingOffset) {}

BankForm::~BankForm() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto& f : fields_) f->setDelegate(nullptr);
    for (auto& s : strips_) s->tab()->setDelegate(nullptr);
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

UITableView* BankForm::tableView() {
    view();
    return table_.get();
}

void BankForm::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setScrollEnabled(false);
    makeFormViews();
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void BankForm::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto ok = std::make_shared<UIBarButtonItem>("确定", UIBarButtonItemStyle::Done, this,
                                                [this](UIBarButtonItem&) { onCommandOK(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), ok});
}

void BankForm::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    closeStrips();
}

std::shared_ptr<UITableViewCell> BankForm::tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    return cellForRow(ip.row);
}

void BankForm::tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) { rowTapped(ip.row); }

TradePickerStrip* BankForm::addStrip(std::function<std::vector<std::string>()> titles,
                                     std::function<void(int)> picked) {
    strips_.push_back(std::make_unique<TradePickerStrip>(std::move(titles), std::move(picked)));
    strips_.back()->tab()->setDelegate(this);
    return strips_.back().get();
}

void BankForm::openStrip(TradePickerStrip* strip, int row) {
    for (auto& s : strips_)
        if (s.get() != strip && s->isOpen()) s->slideDown();
    endEditing();
    strip->showIn(*contentView(), row);
}

void BankForm::closeStrips() {
    for (auto& s : strips_)
        if (s->isOpen()) s->slideDown();
}

void BankForm::tabViewDidSlideDown(QZTabView&) {
    if (!table_) return;
    if (auto selected = table_->indexPathForSelectedRow()) table_->deselectRowAtIndexPath(*selected, true);
}

std::shared_ptr<UITextField> BankForm::makeField(const std::string& placeholder, bool secure) {
    auto f = std::make_shared<UITextField>(CGRectMake(110, 8, 165, 31));
    f->setBorderStyle(UITextBorderStyle::None);
    f->setFont(UIFont::systemFontOfSize(17));  // the size of the rows' values beside it
    f->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    f->setTextAlignment(UITextAlignment::Right);
    f->setBackgroundColor(UIColor::clearColor());
    f->setKeyboardType(UIKeyboardType::NumbersAndPunctuation);
    f->setReturnKeyType(UIReturnKeyType::Done);
    f->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    f->setPlaceholder(placeholder);
    f->setSecureTextEntry(secure);
    f->setDelegate(this);
    fields_.push_back(f);
    return f;
}

std::shared_ptr<UITableViewCell> BankForm::choiceCell(const std::string& title, const std::string& value) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "Cell");
    cell->textLabel()->setText(title);
    cell->detailTextLabel()->setText(value);
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

std::shared_ptr<UITableViewCell> BankForm::valueCell(const std::string& title, const std::string& value) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "Cell");
    cell->textLabel()->setText(title);
    cell->detailTextLabel()->setText(value);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    return cell;
}

std::shared_ptr<UITableViewCell> BankForm::fieldCell(const std::string& title,
                                                     const std::shared_ptr<UITextField>& field) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "Cell");
    cell->textLabel()->setText(title);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    field->removeFromSuperview();
    cell->contentView()->addSubview(field);
    return cell;
}

void BankForm::reloadForm() {
    if (table_) table_->reloadData();
}

void BankForm::textFieldDidBeginEditing(UITextField&) {
    closeStrips();
    table_->setContentOffset(CGPointMake(0, editingOffset_), true);
}

bool BankForm::textFieldShouldReturn(UITextField&) {
    scrollToTop();
    endEditing();
    return true;
}

void BankForm::scrollToTop() {
    if (table_) table_->setContentOffset(CGPointMake(0, 0), true);
}

void BankForm::endEditing() { view()->endEditing(true); }

bool BankForm::checkAmount(const std::string& text) {
    if (isTransferAmount(text)) return true;
    showAlert(kCheckAmountText);
    return false;
}

void BankForm::askToConfirm(const std::string& summary) {
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(summary, this, std::string("取消"), std::string("确定"),
                                             std::vector<std::string>{});
    sheet_->showInView(view().get());
}

void BankForm::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet == sheet_.get() && buttonIndex == 0) confirmed();
}
