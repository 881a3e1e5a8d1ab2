#include "messages/MEHistoryDateSelectViewController.h"

#include "core/MarketTime.h"
#include "core/QZUtil.h"
#include "messages/MEHistoryViewController.h"
#include "platform/uikit/UIDatePicker.h"
#include "platform/uikit/UIScreen.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"

namespace {

// The day a moment falls on in the server's calendar (China Standard Time,
// where its messages are dated), held as noon of that day in the phone's
// zone: the picker and the rows show that day, and intValueFromDate reads it
// back, whatever the zone.
NSDate serverDay(const NSDate& moment) {
    LocalDateParts day = marketDateParts(moment);
    return localDate(day.year, day.month, day.day, 12).value_or(moment);
}

}  // namespace

MEHistoryDateSelectViewController::MEHistoryDateSelectViewController() {
    NSDate now = NSDate::date();
    dateArray_ = {serverDay(now.dateByAddingTimeInterval(-kDefaultSpan)), serverDay(now)};
}

MEHistoryDateSelectViewController::~MEHistoryDateSelectViewController() {
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
}

void MEHistoryDateSelectViewController::loadView() {
    CGRect app = UIScreen::mainScreen().applicationFrame();
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, app.size.width, app.size.height - 44));
    root->setBackgroundColor(UIColor::clearColor());
    tableView_ = std::make_shared<UITableView>(root->bounds(), UITableViewStyle::Grouped);
    tableView_->setScrollEnabled(false);
    root->addSubview(tableView_);
    datePicker_ = std::make_shared<UIDatePicker>(CGRectMake(0, 200, 320, 216));
    datePicker_->setDatePickerMode(UIDatePickerMode::Date);
    root->addSubview(datePicker_);
    setView(root);
}

void MEHistoryDateSelectViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setTitle("历史");
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        "查询", UIBarButtonItemStyle::Done, this, [this](UIBarButtonItem&) { doneAction(); }));
    datePicker_->setDate(dateArray_[0]);
    datePicker_->addTarget(
        this, [this](UIControl&) { dateChangedAction(); }, UIControlEventValueChanged);
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void MEHistoryDateSelectViewController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    tableView_->selectRowAtIndexPath(NSIndexPath{0, 0}, false, UITableViewScrollPosition::Top);
}

int MEHistoryDateSelectViewController::selectedRow() const {
    auto selected = tableView_->indexPathForSelectedRow();
    return selected && selected->row >= 0 && selected->row < 2 ? selected->row : 0;
}

std::shared_ptr<UITableViewCell> MEHistoryDateSelectViewController::tableViewCellForRowAtIndexPath(
    UITableView& table, const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("CustomCellID");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "CustomCellID");
    if (ip.row >= 0 && ip.row < 2) {
        cell->textLabel()->setText(startstopArray_[ip.row]);
        cell->detailTextLabel()->setText(dateFormatter_.stringFromDate(dateArray_[ip.row]));
    }
    return cell;
}

void MEHistoryDateSelectViewController::tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    if (ip.row >= 0 && ip.row < 2) datePicker_->setDate(dateArray_[ip.row], true);
}

void MEHistoryDateSelectViewController::dateChangedAction() {
    const int row = selectedRow();
    dateArray_[row] = datePicker_->date();
    if (auto cell = tableView_->cellForRowAtIndexPath({0, row}))
        cell->detailTextLabel()->setText(dateFormatter_.stringFromDate(dateArray_[row]));
}

std::shared_ptr<UIViewController> MEHistoryDateSelectViewController::doneAction() {
    const int begin = QZUtil::intValueFromDate(dateArray_[0]);
    const int end = QZUtil::intValueFromDate(dateArray_[1]);
    if (begin > end) {
        showAlert("起止日期无效", "起始日期不能晚于结束日期");
        return nullptr;
    }
    auto list = std::make_shared<MEHistoryViewController>(begin, end);
    return pushViewController(list) ? list : nullptr;
}
