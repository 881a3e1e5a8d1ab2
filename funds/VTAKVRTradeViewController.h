#pragma once
// The buy form of the quoted repo (澄穗通, link "kvrmr"): the customer picks
// one of the product's repo codes, sees its yield, its early-termination
// yield, its term and the cash available, enters an amount in 元 and
// confirms; the buy order (500/56) carries the amount in hundreds of 元. A
// fund form (FundForm.h) without the risk re-ask.
//
// Six rows of 43 points under "交易时间是9:30-11:30,13:00-15:05": 证券名称 (a
// picker of the products), 委托金额, 可买资金, 收益率, 提前终止收益率, 期限.
//
// Every appearance asks for the product list (500/54, tag kListTag) and the
// picker's rows become that list, in its order. A product handed in by the
// product list (a VTAMessage of type 1 holding a VTAStock) stays chosen;
// otherwise the list's first product is. Each choice asks for the product's
// information (100/27, tag kInfoTag); the form shows the reply of the product
// still chosen only. Nothing is chosen while an order is on its way.
//
// The order needs an amount that becomes an exact quantity
// (repoQuantityOfAmount), the chosen product's information, and the
// customer's shareholder account of its market; the sheet's "确定" sends it
// and empties the amount.
#include <memory>
#include <string>
#include <vector>

#include "core/VTATCRS.h"
#include "funds/FundForm.h"

class TradePickerStrip;
class VTAStock;

class VTAKVRTradeViewController : public FundForm {
public:
    static constexpr int kListTag = 1111;
    static constexpr int kInfoTag = 1660;
    static constexpr int kOrderTag = 1661;
    static constexpr double kRowHeight = 43;
    static constexpr const char* kTradingHoursText = "交易时间是9:30-11:30,13:00-15:05";
    static constexpr const char* kSuccessText = "澄穗通委托已提交，请进入当日委托查询!";

    VTAKVRTradeViewController();
    ~VTAKVRTradeViewController() override;

    UILabel* nameLabel();
    VTATextField* moneyField();
    UILabel* moneyLabel();
    UILabel* maxIncomeLabel();
    UILabel* minIncomeLabel();
    UILabel* deadLineLabel();
    TradePickerStrip* codePicker() const { return picker_.get(); }
    const std::string& tradeCode() const { return tradeCode_; }
    int selectedIndex() const { return selectedIndex_; }
    // The products of the last list reply: code and name.
    const std::vector<std::shared_ptr<VTAStock>>& productData() const { return productData_; }

    void viewDidAppear(bool animated) override;
    void onCommandRefresh() override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return kRowHeight; }
    std::string tableViewTitleForHeaderInSection(UITableView&, int) override { return kTradingHoursText; }

protected:
    void buildForm() override;
    int formRowCount() const override { return 6; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    std::string orderRefusal() override;
    std::string orderSummary() const override;
    std::optional<RequestBuilder> orderRequest() override;
    std::string successText() const override { return kSuccessText; }

private:
    void requestKVRInfo();
    void requestKVRTrade();
    void listReplied(const RequestReply& reply);
    void infoReplied(const RequestReply& reply);
    void choose(const std::string& code, const std::string& name);

    std::shared_ptr<UILabel> nameLabel_, moneyLabel_, maxIncomeLabel_, minIncomeLabel_, deadLineLabel_;
    std::shared_ptr<VTATextField> moneyField_;
    std::unique_ptr<TradePickerStrip> picker_;
    std::vector<std::shared_ptr<VTAStock>> productData_;
    int selectedIndex_ = 0;
    std::string tradeCode_;
    bool handedTaken_ = false;
    std::shared_ptr<VTATCRS> baseRs_, fundRs_;  // the chosen product's last good information
};
