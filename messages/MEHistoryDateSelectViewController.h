#pragma once
// The date range of a history search: two rows, "开始日期" and "结束日期"
// (the last 7 days when the screen opens, ending on the server's today, the
// day its newest messages carry, which is the inbox's "今天" whatever the
// phone's zone), and a date picker that sets the selected row. "查询" refuses
// a start later than the end ("起止日期无效"), else opens the history list
// for the two days as shown, each as yyyymmdd (the same day the check
// compared).
#include <memory>
#include <vector>

#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

class UIDatePicker;

class MEHistoryDateSelectViewController : public UIViewController,
                                          public UITableViewDataSource,
                                          public UITableViewDelegate {
public:
    static constexpr double kDefaultSpan = 604800;  // 7 days

    MEHistoryDateSelectViewController();
    ~MEHistoryDateSelectViewController() override;

    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    // "查询": answers the list pushed (null when refused).
    std::shared_ptr<UIViewController> doneAction();
    void dateChangedAction();

    const std::vector<NSDate>& dateArray() const { return dateArray_; }
    UIDatePicker* datePicker() const { return datePicker_.get(); }
    UITableView* tableView() const { return tableView_.get(); }

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override { return 2; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

private:
    int selectedRow() const;

    std::vector<std::string> startstopArray_{"开始日期", "结束日期"};
    std::vector<NSDate> dateArray_;
    NSDateFormatter dateFormatter_{"yyyy-MM-dd"};
    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<UIDatePicker> datePicker_;
};
