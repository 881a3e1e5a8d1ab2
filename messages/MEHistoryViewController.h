#pragma once
// The messages the server pushed in a date range, asked through the service
// client (3780/6, at most 30, nothing more fetched) and listed, not stored. A
// row opens the message as a history detail, where starring it stores it.
//
// While the answer is awaited the progress overlay says "查询历史信息中...".
// A reply that is no record sets shows "数据解析错误" and the empty list
// stays; an error set, no messages ("没有查询到历史信息") or a failure shows
// its text and the screen goes back 2 seconds later, unless the customer has
// left it meanwhile. Leaving hides the overlay.
#include <memory>
#include <vector>

#include "net/XXNetworkManager.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

class NSTimer;
class QZMessageExpress;

class MEHistoryViewController : public UIViewController,
                                public UITableViewDataSource,
                                public UITableViewDelegate,
                                public XXNetworkManagerDelegate {
public:
    static constexpr const char* kQueryingText = "查询历史信息中...";
    static constexpr const char* kNothingText = "没有查询到历史信息";
    static constexpr double kErrorSeconds = 1.75, kPopSeconds = 2;

    // Days as yyyymmdd; an end of 0 is open-ended.
    MEHistoryViewController(int beginDate, int endDate);
    ~MEHistoryViewController() override;

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void historyFavoriteAction(bool favorite);
    void popAction();

    int beginDate() const { return beginDate_; }
    int endDate() const { return endDate_; }
    const std::vector<std::shared_ptr<QZMessageExpress>>& tableData() const { return tableData_; }
    UITableView* tableView() const { return tableView_.get(); }
    bool isPopPending() const { return popTimer_ != nullptr; }

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    void serviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    void serviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void serviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;

private:
    // Shows the error for 1.75 s and goes back 2 s later.
    void failAndLeave(const std::string& text);

    int beginDate_, endDate_;
    int currentIndex_ = -1;
    std::vector<std::shared_ptr<QZMessageExpress>> tableData_;
    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<NSTimer> popTimer_;
};
