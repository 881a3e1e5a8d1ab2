#pragma once
// The base of the older server lists: one grid (VTATableView) across the
// content view showing set 0 of the last reply, a toolbar with "首页", the
// stock finder and "刷新", and an optional page bar.
//
// "刷新" sends requestTableViewContent: when the screen's menu link has a
// query, its pairs joined by "&", then "&" and the trade session text
// "tradeUserInfo". The text carries the trade session, so it goes with request
// type 5 (enciphered, compressed reply), never in clear. Tag kContentTag.
//
// Replies: a reply that does not parse shows "数据解析错误"; an error set shows
// its error text; otherwise the grid is made anew with one title per field
// (the field's descriptor text, white) and one row per record (each field's
// text, red, as cellText gives it).
//
// Requests go through the screen's RequestBinding: leaving the screen
// cancels them.
#include <memory>

#include "shell/VTAViewControllers.h"
#include "ui/VTAPageCtr.h"
#include "ui/VTATableView.h"

class VTATCRS;

class VTATableViewController : public VTAViewControllers, public VTAPageCtrDelegate, public VTATableViewDelegate {
public:
    static constexpr int kContentTag = 3301;
    static constexpr double kPageCtrlHeight = 44;

    VTATableViewController();
    ~VTATableViewController() override;

    void createToolbarItems() override;
    void onCommandRefresh() override { requestTableViewContent(); }

    // The text "刷新" sends (empty when the menu link has no query).
    std::string tableViewContentRequestText() const;
    virtual void requestTableViewContent();
    // Shows (YES) or hides the page bar along the bottom of the content view.
    void showPageCtrl(bool show);

    VTATableView* myTableView() const { return myTableView_.get(); }
    const std::shared_ptr<VTATCRS>& tableData() const { return tableData_; }
    VTAPageCtr* pageCtrl() const { return pageCtrl_.get(); }

    // Paging state of the lists built on this base: whether the page bar is
    // shown (showPageCtrl keeps it), rows per page (sent as "count"), the
    // current page (0 for the first), first and last page reached.
    bool needPageCtrl = false;
    int T_pageSize = 20;
    int curPage = 0;
    bool isBOF = true;
    bool isEOF = false;
    // Puts the page bar (when shown) on page curPage + 1, offering "上一页"
    // only when not isBOF and "下一页" only when not isEOF.
    void updatePageCtrl();

    void pageActionFromPageCtr(VTAPageCtr& pageCtr) override {}

protected:
    // Shows set 0 of a reply (the base's reply handling for kContentTag).
    void showReply(const RequestReply& reply);
    void rebuildGrid();
    // The text the grid shows for a field of the current record: the field's
    // text as the server sent it; a list whose server sends codes (a currency
    // as 0, 1, 2) gives the customer the words for them instead.
    virtual std::string cellText(VTATCRS& set, int field) const;

    std::shared_ptr<VTATableView> myTableView_;
    std::shared_ptr<VTATCRS> tableData_;
    std::shared_ptr<VTAPageCtr> pageCtrl_;
};
