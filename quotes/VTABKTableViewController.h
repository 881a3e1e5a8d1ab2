#pragma once
// The sector grid ("bkhqlist"): the sectors of the request its menu link
// names, as buttons three to a row and ten rows to a page, with the page bar
// along the bottom (a tap beside the buttons hides or shows it). A sector's
// button opens its member list through the link
// "bkph?tc_mfuncno=100&tc_sfuncno=31&<f0>=<v0>&<f1>=<v1>" (field name and
// value of the sector's columns 0 and 1), titled with its column 2.
//
// The request goes out each time the screen is shown and on "刷新"; a page
// turn curls the page up (forward) or down (back).
#include <memory>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "ui/VTAPageCtr.h"

class VTATCRS;

class VTABKTableViewController : public VTAViewControllers,
                                 public UITableViewDataSource,
                                 public UITableViewDelegate,
                                 public VTAPageCtrDelegate {
public:
    static constexpr int kListTag = 3201;
    static constexpr int kColumnsPerRow = 3, kMaxRowPerPage = 10;
    static constexpr double kRowHeight = 44, kItemWidth = 80, kItemHeight = 38, kPageCtrHeight = 44;
    static constexpr const char* kPageAnimation = "HQPXPageAction";

    // The kind of grid item; the sectors are buttons (1).
    explicit VTABKTableViewController(int contentType);
    ~VTABKTableViewController() override;

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void createToolbarItems() override;
    void onCommandRefresh() override { requestList(); }

    void requestList();
    // The sector button with that record index was tapped.
    void doButtonAction(int recordIndex);
    void pageActionFromPageCtr(VTAPageCtr& pageCtr) override;

    // ---- state (tests) ----
    int contentType() const { return contentType_; }
    int tolPage() const { return tolPage_; }
    int curPage() const { return curPage_; }
    int rowCountIntPage() const { return rowCountIntPage_; }
    const std::shared_ptr<VTATCRS>& datasource() const { return datasource_; }
    VTAPageCtr* pageCtr() const { return pageCtr_.get(); }
    UITableView* tableView() const { return myTableView_.get(); }
    // The button of a record on the page shown (null when not on it).
    UIButton* buttonOfRecord(int recordIndex) const;
    // The member link of a record ("" past the records).
    std::string memberLinkOfRecord(int recordIndex) const;

    // ---- table ----
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override { return rowCountIntPage_; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

private:
    void listArrived(const RequestReply& reply);
    int recordCount() const;
    // Table rows of all the sectors, and of the current page.
    int allRows() const;
    int rowsOfPage(int page) const;

    int contentType_;
    int rowCountIntPage_ = 0;
    int tolPage_ = 1, curPage_ = 0;
    std::shared_ptr<VTATCRS> datasource_;
    std::shared_ptr<VTAPageCtr> pageCtr_;
    std::shared_ptr<UITableView> myTableView_;
};
