#pragma once
// The headlines of one news column (menu link "newslist?..."): asked with the
// link's own request (messages/NewsTexts.h) every time the list comes into
// view, one row per headline with its time, read headlines greyed; a tap
// opens the article and greys the row at once. Headlines of two lines get a
// tall row. The navigation bar's search button opens the stock finder.
//
// A reply that is no record sets alerts "数据处理错误" and keeps the rows; an
// error set keeps them silently; a failure alerts its description.
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/storage/Digest.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class InfoContentViewController;

class InfoTitleViewController : public VTAViewControllers, public UITableViewDataSource, public UITableViewDelegate {
public:
    static constexpr int kListTag = 3301;

    InfoTitleViewController();
    ~InfoTitleViewController() override;

    void viewWillDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Sends the list request; false when the link asks nothing.
    bool requestDigest();
    void doSearchStock();
    // Opens the article of the row as a tap does; answers the screen pushed.
    std::shared_ptr<InfoContentViewController> openDigestAtIndex(int index);

    const std::vector<Digest>& tableData() const { return tableData_; }
    UITableView* tableView() {
        view();
        return tableView_.get();
    }
    // The height a headline takes in a row (bold 16 within 304 points).
    static double titleHeightOf(const std::string& title);
    static std::shared_ptr<UIColor> unreadTitleColor();

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void showDigests(const RequestReply& reply);

    std::vector<Digest> tableData_;
    std::unordered_set<std::string> readIds_;
    std::shared_ptr<UITableView> tableView_;
};
