#pragma once
// A list of menu items: the children of a menu group, the F10 items of the
// quote page, or rows the server sends for the list's own menu link.
//
// Tapping an item opens it as the home board does: through the dispatcher and
// the trade gate, handing on the list's own message (the quote page's F10
// list hands "stkcode=...&market=..." to the news lists it opens). An item the
// dispatcher makes no screen for opens nothing.
//
// The toolbar offers "帐号" (the logged-in trade accounts pager, once one is
// registered): the stock accounts when the list's own menu link is one of the
// trade menu groups ("trademenu", "kfsjj", "kvr", "rzrq", "jlc", "jsf",
// "zndt"), the Hong Kong accounts for any other link.
//
// List types: kMenuList (the items given with setMenus), kStockList (the
// same, made for the quote page), kServerList: the rows come from the server.
// The request is the query of the list's menu link (the text after its "?"),
// request type 3, tag kListTag, sent when the list comes on screen (again
// on each return until the rows arrived). Set 0 of
// the reply gives one item per record: "title" (else the record's first
// field) and "link"; a non-empty "newstypeid" of its first record is stored in
// the setting "newstypeid" (the news screens read it).
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class VTAListViewController : public VTAViewControllers, public UITableViewDataSource, public UITableViewDelegate {
public:
    enum ListType { kMenuList = 0, kServerList = 1, kStockList = 2 };
    static constexpr int kListTag = 3201;
    static constexpr double kStockQuotesShortening = 36;

    VTAListViewController();
    ~VTAListViewController() override;
    // A list made for the quote page: its content is 36 points shorter.
    static std::shared_ptr<VTAListViewController> initWithStockQuotes();

    void setListType(int type) { listType_ = type; }
    int listType() const { return listType_; }
    // 0: title with a disclosure arrow; 1: title only.
    void setCellType(int type) { cellType_ = type; }
    int cellType() const { return cellType_; }
    // 0 plain, 1 grouped (before the view loads).
    void setTableStyle(int style) { tableStyle_ = style; }
    void setMenus(std::vector<std::shared_ptr<VTAMenu>> menus);
    const std::vector<std::shared_ptr<VTAMenu>>& menus() const { return menus_; }
    UITableView* tableView() {
        view();
        return table_.get();
    }

    // Opens the item as a tap does; answers the screen pushed (null for none).
    virtual std::shared_ptr<UIViewController> openItemAtIndex(int index);
    // Whether "帐号" opens the Hong Kong accounts (by the list's own link).
    bool accountsPagerForHK() const;
    // What "帐号" does; answers the pager pushed (null when none).
    std::shared_ptr<UIViewController> openAccountsPager();
    // Sends the server list's request (nothing without a query in the link).
    void requestListContent();

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;
    void onCommandRefresh() override { requestListContent(); }

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

private:
    void showRows(const RequestReply& reply);

    int listType_ = kMenuList;
    int cellType_ = 0;
    int tableStyle_ = 0;
    bool forStockQuotes_ = false;
    std::vector<std::shared_ptr<VTAMenu>> menus_;
    std::shared_ptr<UITableView> table_;
    bool loaded_ = false;  // the server's rows arrived
};
