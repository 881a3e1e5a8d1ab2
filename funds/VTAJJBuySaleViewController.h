#pragma once
// The fund order form: a customer logged in to trading subscribes to an
// open-end fund in its offering period (认购, trade type 1, "of_jjrg", order
// 500/34) or purchases units of an open fund (申购, trade type 2, "of_jjsg",
// 500/35), by amount. A fund form (FundForm.h) with the risk re-ask.
//
// Nine rows: the list of funds open for the operation (it opens the fund
// query hub to pick one), 基金代码 (six digits), 基金名称, 今日状态, 认购净值 /
// 昨日净值, the amount (元), 可用资金, 风险级别 and the customer's own risk
// tolerance (the login's "~ofriskvalue").
//
// The fund lookup (100/24, tag kLookupTag) fills name, status, net value,
// risk level and cash; it is sent when the code field reaches six
// characters, and on every appearance with six characters in it (so a code
// picked in the hub, left under the platform user default "JJSGRG", or handed
// in by a message "ofcode=..." of type 1, is looked up). An unknown code
// empties the fund's rows ("查无此基金信息！"). A code whose lookup is on its
// way is not asked again (a slow line, the code completed again): it is
// looked up and answered once.
//
// The order needs a code and an amount of digits with at most one point;
// the form does not require a successful lookup (the server judges the
// code). A refused order empties the amount and keeps the rest; success
// empties it too and the alert's "确定" closes the form.
#include "funds/FundForm.h"

class VTAJJBuySaleViewController : public FundForm {
public:
    static constexpr int kLookupTag = 1600;
    static constexpr int kOrderTag = 1601;
    static constexpr const char* kPickedCodeKey = "JJSGRG";

    VTAJJBuySaleViewController();

    int tradeType() const { return tradeType_; }
    void setTradeType(int type) { tradeType_ = type; }

    VTATextField* fundCode();
    VTATextField* tradePrice();
    UILabel* fundName();
    UILabel* fundState();
    UILabel* fundValue();
    UILabel* riskLabel();
    UILabel* moneyCanUsed();
    UILabel* suiteLabel();

    // The lookup while no order is outstanding, the order while one is.
    void requestFundTrade();

    void viewDidAppear(bool animated) override;
    void myTextFieldReachMax(VTATextField& field, int maxLength) override;

protected:
    void buildForm() override;
    int formRowCount() const override { return 9; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    std::string orderRefusal() override;
    std::string orderSummary() const override;
    std::optional<RequestBuilder> orderRequest() override;
    std::string successText() const override;
    void orderSucceeded(const RequestReply& reply) override;
    void orderRefused(const std::string& text) override;
    // An unreadable lookup shows nothing.
    void requestDidFail(const RequestFailure& failure) override;
    // Whether a lookup that finds no fund empties the fund's rows (the
    // wealth plans' form keeps them).
    virtual bool emptiesRowsOfUnknownFund() const { return true; }

private:
    void lookupReplied(const RequestReply& reply);
    void showFund(const std::string& name, const std::string& state, const std::string& value, const std::string& risk);
    void openFundList();

    int tradeType_ = 2;
    std::string lookupCode_;  // of the last lookup sent
    std::shared_ptr<VTATextField> fundCode_, tradePrice_;
    std::shared_ptr<UILabel> fundName_, fundState_, fundValue_, riskLabel_, moneyCanUsed_, suiteLabel_;
};
