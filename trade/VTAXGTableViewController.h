#pragma once
// The list of new issues ("xgsg"): the issues of the customer's shareholder
// markets, from which the customer ticks several and goes on to subscribe
// them together (VTAXGBuyViewController, "新股申购").
//
// Request: the menu link's pairs and "market" with the "market" of every
// shareholder account of the login, joined by "," ("0,1"); no paging, fund
// account or session text (type 5). Each appearance and "刷新" ask again;
// the ticks go with the list.
//
// Grid: every field but the cursor field and the unlisted ones, titled by
// the descriptors; when the first descriptor is empty the eight fixed
// titles stand over the first eight columns (the field names over any
// beyond). A radio button leads each row, enabled only for an issue
// subscribable today ("status" 0), whose first column is blue; the sign
// field colours its own cell as in the other lists. A double tap ticks an
// enabled row; on a later issue it says "对不起，该股票非申购日不可申购!".
//
// "申购": the ticked issues, each code once, in row order; none ticked:
// "请点击左边的多选按钮或者双击该列选中股票！". An unreadable reply shows
// "数据解析错误".
#include <string>
#include <vector>

#include "trade/VTATradeQueryViewController.h"

class VTAXGTableViewController : public VTATradeQueryViewController {
public:
    static constexpr const char* kNoTickText = "请点击左边的多选按钮或者双击该列选中股票！";
    static constexpr const char* kNotTodayText = "对不起，该股票非申购日不可申购!";
    static constexpr const char* kUnreadableText = "数据解析错误";
    static constexpr const char* kBuyTitle = "新股申购";

    void requestTradeInfo() override;
    RequestBuilder tradeInfoRequest() const override;
    bool showsField(const std::string& name) const override;
    void loadTable() override;
    void createToolbarItems() override;
    void onCommandOK() override;
    void tableViewDoubleClickAtIndex(VTATableView& table, int index) override;

    // The fixed titles of a reply whose first descriptor is empty.
    static const std::vector<std::string>& fixedTitles();

protected:
    std::string unreadableListText() const override { return kUnreadableText; }

private:
    // Whether the record at the index can be subscribed today.
    bool subscribableAt(int index) const;
};
