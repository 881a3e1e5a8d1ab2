#pragma once
// The paged trade query list: set 0 of a server reply as a grid (a title row
// of the fields' descriptors, a row per record), asked for a page at a time,
// with actions on the selected row. What it lists comes from the menu link:
// its pairs are the request ("tradequery?tc_mfuncno=500&tc_sfuncno=13&...")
// and three keys are the screen's own: "position" names the cursor field,
// "sign" the field whose sign colours a row, "unlist" a text in which every
// field not to show occurs. The menu links "tradequery", "trade_zjcx" and
// "trade_gfcx" (holdings) open this class itself; the cancel, history and
// new-issue lists, and the fund and margin lists, derive from it.
//
// The list request (tradeInfoRequest): the link's pairs, "count" the page
// size, the cursor key with the last cursor of the stack after the first
// page, "fundid" the login's fund account and the trade session text; type
// 5, tag kListTag. Each appearance asks for the current page again.
//
// Paging: the page bar shows from the first reply that has the cursor field
// on. Forward pushes the cursor of the page's last record on the stack,
// back pops it; the page has ended ("下一页" not offered) when fewer records
// than the page size came, or the last one's cursor is missing or empty.
//
// Rows: every field but the cursor field, "poststr" and the unlisted ones is
// a column, titled by its descriptor in white. The sign field's cell is red
// (palette 41) when positive, green (42) when negative, white (43) at zero;
// a signed row takes that colour from its second column on.
//
// Row actions (the selected row; row 0 until one is tapped): holdings
// ("sign=income" on "trade_gfcx") change the cost (VTAModifyCostViewController,
// modal), buy and sell (the order screen through the trade gate; a sell
// hands the row's shareholder account), and a double tap opens the stock's
// quote page; today's orders (the title "当日委托") cancel the selected order
// (500/7, tag kWithdrawTag, after a confirmation sheet; the accepted cancel's
// alert takes the customer back).
//
// Hooks for the lists that derive from it (each may be replaced):
//   viewWillDidLoad        page size kPageSize, then parseLink; call it first
//   parseLink              reads the three link keys and the link's command
//   requestTradeInfo       sends the list request; paging, "刷新" and every
//                          appearance call it, so a list that replaces it
//                          decides what they send
//   tradeInfoRequest       the base list request text, for a list that sends
//                          it with fields of its own or another request type
//   tradeInfoRequestType   the request type requestTradeInfo sends with (5)
//   listReplyArrived       shows a list reply: set 0 becomes tableData
//                          (an error set's text is shown, tableData emptied);
//                          bindListTag sends another tag's replies here
//   showsField             whether a field of set 0 is a column
//   unreadableListText     what an unreadable list reply shows
//   loadTable              builds the grid of tableData and updates paging
//   createToolbarItems, onCommandOK, onCommandRefresh, onCommandChangeCost,
//   onCommandBid, onCommandAsk, withdrawAction, tableViewDoubleClickAtIndex:
//                          the toolbar and the row actions
// Replies of kPlanListTag (1101) are the fixed-investment plan lists: rows
// whose "schedueleflag" (when shown) is not "1" are dropped, and such a page
// has ended when fewer than kPlanPageSize records came.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"
#include "platform/uikit/UIActionSheet.h"
#include "shell/VTATableViewController.h"

class VTAModifyCostViewController;
class VTAStock;

class VTATradeQueryViewController : public VTATableViewController, public UIActionSheetDelegate {
public:
    static constexpr int kListTag = 7020;
    static constexpr int kPlanListTag = 1101;
    static constexpr int kWithdrawTag = 7021;
    static constexpr int kPageSize = 12;
    static constexpr int kPlanPageSize = 30;
    static constexpr double kPageCtrlOverlap = 42;  // the grid is this much shorter above the page bar
    static constexpr const char* kUnreadableListText = "数据解析错误!";
    static constexpr const char* kWithdrawAcceptedText = "撤单已提交，请进入当日委托查询!";
    static constexpr const char* kTodayOrdersTitle = "当日委托";
    static constexpr const char* kHoldingsCommand = "trade_gfcx";

    VTATradeQueryViewController();
    ~VTATradeQueryViewController() override;

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // ---- hooks ----
    virtual void parseLink();
    virtual void requestTradeInfo();
    virtual RequestBuilder tradeInfoRequest() const;
    virtual int tradeInfoRequestType() const { return 5; }
    virtual void loadTable();
    virtual bool showsField(const std::string& name) const;
    void createToolbarItems() override;
    void onCommandRefresh() override { requestTradeInfo(); }
    void requestTableViewContent() override { requestTradeInfo(); }
    virtual void onCommandChangeCost();
    virtual void onCommandBid();
    virtual void onCommandAsk();
    virtual void withdrawAction();
    // Sends the prepared cancel (withdrawRequest) when it is at least 2 characters long.
    virtual void requestWithdraw();
    // A new VTAStock of the selected row: code "stkcode", name "stkname",
    // market 1 when "~market" begins "深", else 2; null without a record.
    virtual std::shared_ptr<VTAStock> stockFromTableData();
    void pageActionFromPageCtr(VTAPageCtr& pageCtr) override;
    void tableViewDoubleClickAtIndex(VTATableView& table, int index) override;
    // Closes the cost change and asks for the page again.
    void cancelModelCost();
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

    // ---- what the link and the replies set ----
    // The link text before its first "?".
    static std::string pageAliasFromMenuLink(const std::string& link);
    const std::optional<std::string>& positionName() const { return positionName_; }
    const std::string& signField() const { return signField_; }
    const std::string& unlist() const { return unlist_; }
    const std::string& pageAlias() const { return pageAlias_; }
    // Entry k: the cursor of the last record of page k.
    const std::vector<std::string>& cursorStack() const { return lastPoststr_; }
    bool isIFIQuery() const { return isIFIQuery_; }
    const std::string& withdrawRequest() const { return withdrawRequest_; }
    void setWithdrawRequest(const std::string& text) { withdrawRequest_ = text; }
    bool isWithdraw() const { return isWithdraw_; }
    UIActionSheet* withdrawSheet() const { return sheet_.get(); }
    std::shared_ptr<VTAModifyCostViewController> costChange() const { return costChange_.lock(); }

protected:
    virtual void listReplyArrived(const RequestReply& reply);
    void bindListTag(int tag);
    void requestDidFail(const RequestFailure& failure) override;
    // The cancel's answer; and what an unreadable one shows.
    virtual void withdrawArrived(const RequestReply& reply);
    virtual std::string unreadableWithdrawText() const { return kUnreadableListText; }
    // What an unreadable list reply shows.
    virtual std::string unreadableListText() const { return kUnreadableListText; }
    // A new empty grid over the content view (above the page bar when shown), in place of the old one.
    void replaceGrid();
    // The colour of a sign: red above 0, green below, white at 0.
    static std::shared_ptr<UIColor> signColor(int sign);

    // Sends a list request under the tag (kListTag unless a list binds its own).
    bool sendListRequest(const RequestBuilder& request, int type, int tag = kListTag);
    // Back to the first page with an empty cursor stack.
    void resetPaging();
    // tableData moved to the grid's selected row; null without a record there.
    VTATCRS* selectedRecord();
    // The cancel of the selected order: checks the row ("没有任何记录!",
    // "没有选中任何记录!"), prepares withdrawRequest and shows the
    // confirmation sheet. False when nothing was prepared.
    bool prepareWithdraw();
    // The confirmation sheet of a prepared cancel (destructive "确定", "取消");
    // its "确定" sends withdrawRequest.
    void showWithdrawSheet(const std::string& title);
    bool isHoldings() const;

    std::optional<std::string> positionName_;
    std::string signField_;
    std::string unlist_;
    std::string pageAlias_;
    std::vector<std::string> lastPoststr_;
    bool isIFIQuery_ = false;
    int recordsCountOfIFI_ = 0;
    std::string withdrawRequest_;
    bool isWithdraw_ = false;

private:
    void updateEnds();
    void turnPage(bool forward);

    std::shared_ptr<UIActionSheet> sheet_;
    std::shared_ptr<UIAlertView> acceptedAlert_;
    std::weak_ptr<VTAModifyCostViewController> costChange_;
};
