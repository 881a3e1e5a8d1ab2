#pragma once
// The subscription of several new issues in one order ("新股申购", opened by
// the new-issue list with the ticked issues' codes and markets). Three
// requests of function 100 with the trade session text, each under a tag of
// its own:
//   limits (100/30, kLimitsTag)      "stkcode" the codes joined by ","; set 0
//                                    "fundavl" shows beside "资金总计:", set 1
//                                    (one record per issue) fills the form;
//                                    asked for once, on the first appearance
//   calculation (100/19, kCalcTag)   "确定": "policyid" the strategy,
//                                    "codes", "markets", "params" the inputs
//                                    joined by "," (empty for 等资金 and
//                                    按上限申购); the answer is confirmed in
//                                    "申购确认", or refused with "可申购股数为0股"
//   order (100/20, kOrderTag)        "确认": "fundids", "price", "markets",
//                                    "secuids", "qty", "codes" of the
//                                    calculated issues (the shareholder
//                                    account of the login in each market);
//                                    the answer's result lines, one per issue;
//                                    an answer short of them (or none at
//                                    all) may hide a subscription taken:
//                                    the lines it has, then
//                                    kUnknownOutcomeText says where to look
// The strategy (自定义, 等资金, 自定义比例, 自定义资金, 按上限申购; its index
// is "policyid") is picked from a wheel under the button beside "申购策略:".
// Each issue is a section: name, code, price, upper limit, most that can be
// subscribed, and, for the strategies with an input, a number field with the
// strategy's unit.
//
// One request at a time; a failure ends the stage it belonged to (nothing
// is sent again by coming back). An issue whose market has no shareholder
// account of the customer stops the order with "没有对应的股东代码".
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "ui/VTATextField.h"

class TradePickerStrip;
class UIButton;
class UILabel;
class VTATCRS;

class VTAXGBuyViewController : public VTAViewControllers,
                               public UITableViewDataSource,
                               public UITableViewDelegate,
                               public VTATextFieldDelegate {
public:
    static constexpr int kLimitsTag = 7024;
    static constexpr int kCalcTag = 7025;
    static constexpr int kOrderTag = 7026;
    static constexpr int kEqualFunds = 1, kUpperLimit = 4;
    static constexpr const char* kEmptyInputText = "输入不能为空，请仔细检查";
    static constexpr const char* kZeroText = "可申购股数为0股";
    static constexpr const char* kConfirmTitle = "申购确认";
    static constexpr const char* kNoShareholderText = "没有对应的股东代码";
    static constexpr const char* kUnknownOutcomeText = "申购已发出，请进入当日委托查询结果";

    VTAXGBuyViewController();
    ~VTAXGBuyViewController() override;

    void setXgCodes(std::vector<std::string> codes) { xgCodes_ = std::move(codes); }
    void setXgMarkets(std::vector<std::string> markets) { xgMarkets_ = std::move(markets); }
    const std::vector<std::string>& xgCodes() const { return xgCodes_; }
    const std::vector<std::string>& xgMarkets() const { return xgMarkets_; }

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void createToolbarItems() override;
    void onCommandOK() override;
    // Sends the request of the stage: the order, else the calculation, else
    // the limits (only while they are missing). False when nothing was sent.
    bool requestNewShareBid();
    // The strategy wheel.
    void showPicker();
    void setStrategy(int index);

    int strategyIndex() const { return strategyIndex_; }
    bool doTradeNow() const { return doTradeNow_; }
    bool getComformInfo() const { return getComformInfo_; }
    VTATCRS* xgInfo() const { return xgInfo_.get(); }
    VTATCRS* comFirtInfo() const { return comFirtInfo_.get(); }
    UILabel* tolMoney() const { return tolMoney_.get(); }
    UIButton* strategyBtn() const { return strategyBtn_.get(); }
    UITableView* tableView() const { return table_.get(); }
    TradePickerStrip* strategyPicker() const { return picker_.get(); }
    // The input of the issue (section); null out of range.
    VTATextField* item(size_t section) const { return section < items_.size() ? items_[section].get() : nullptr; }
    static const std::vector<std::string>& strategies();
    // Whether the strategy takes an input per issue.
    static bool hasInput(int strategy) { return strategy != kEqualFunds && strategy != kUpperLimit; }

    int numberOfSectionsInTableView(UITableView&) override;
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::string tableViewTitleForHeaderInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 44; }
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    bool requestLimits();
    bool requestCalculation();
    bool requestOrder();
    void limitsArrived(const RequestReply& reply);
    void calculationArrived(const RequestReply& reply);
    void orderArrived(const RequestReply& reply);

    std::vector<std::string> xgCodes_, xgMarkets_;
    std::shared_ptr<UILabel> tolMoney_;
    std::shared_ptr<UIButton> strategyBtn_;
    std::shared_ptr<UITableView> table_;
    std::vector<std::shared_ptr<VTATextField>> items_;
    std::unique_ptr<TradePickerStrip> picker_;
    std::shared_ptr<VTATCRS> xgInfo_, comFirtInfo_;
    std::shared_ptr<UIAlertView> confirmAlert_;
    int strategyIndex_ = 0;
    bool doTradeNow_ = false;
    bool getComformInfo_ = false;
};
