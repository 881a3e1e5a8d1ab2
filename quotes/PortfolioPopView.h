#pragma once
// The small chooser of the own-stock screen's two views, opened from its
// title: "自选行情" (row 0, the quotes) and "自选资讯" (row 1, the news of the
// own stocks), white on its pop-up image. A tapped row is reported to the
// delegate, which is not owned.
#include <memory>
#include <string>

#include "platform/uikit/UITableView.h"

class PortfolioPopDelegate {
public:
    virtual ~PortfolioPopDelegate() = default;
    virtual void selectedPopTableViewRow(int row) {}
};

class PortfolioPopView : public UIView, public UITableViewDataSource, public UITableViewDelegate {
public:
    static constexpr double kRowHeight = 40;
    static constexpr const char* kRowTitles[2] = {"自选行情", "自选资讯"};

    PortfolioPopView();
    ~PortfolioPopView() override;
    std::string className() const override { return "PortfolioPopView"; }

    void setDelegate(PortfolioPopDelegate* delegate) { delegate_ = delegate; }
    // Shows the row as chosen.
    void selectRow(int row);
    UITableView* tableView() const { return table_.get(); }

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override { return 2; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return kRowHeight; }
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

private:
    std::shared_ptr<UITableView> table_;
    PortfolioPopDelegate* delegate_ = nullptr;
};
