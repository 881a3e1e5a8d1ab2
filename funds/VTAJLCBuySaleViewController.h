#pragma once
// The wealth-plan order form ("jlcrg" subscription, trade type 1; "jlcsg"
// purchase, trade type 2): the brokerage's collective plans are ordered as
// funds are (VTAJJBuySaleViewController: the same lookup, orders and risk
// re-ask), in whole thousands of 元, after the plan's notice to the customer.
//
// Eight rows: the fund form's without the list of funds. The plan comes from
// the plan list as a message of type 1 holding the plan as a stock (code and
// name); each appearance with one looks it up. A code the lookup does not
// find ("查无此基金信息！") leaves the rows as they were.
//
// "确定": the code, then the amount (planAmountRefusal: "请输入金额",
// "请输入正确的金额", "输入金额的金额必须为1000的整数倍"), then the notice "致客户";
// its "确定" shows the order's sheet. The notice is no consent: the order
// carries the risk check until the customer accepts the brokerage's risk
// warning in the re-ask, which sends the same order again with the check
// waived. The answer is shown ("认购已提交，请在当日委托中查询" / "申购...") and
// the form stays for another order; the amount is emptied.
#include "funds/VTAJJBuySaleViewController.h"

class VTAJLCBuySaleViewController : public VTAJJBuySaleViewController {
public:
    static constexpr int kNoticeAlertTag = 1620;
    static constexpr const char* kNoticeTitle = "致客户";
    static const char* const kNoticeText;

    void viewDidAppear(bool animated) override;
    void onCommandOK() override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;
    // The summary the last "确定" built, for the sheet after the notice.
    const std::string& commandSummary() const { return strCommandOK_; }

protected:
    int formRowCount() const override { return 8; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int) override {}
    bool emptiesRowsOfUnknownFund() const override { return false; }
    std::string orderRefusal() override;
    std::string successText() const override;
    void orderSucceeded(const RequestReply& reply) override;

private:
    std::string strCommandOK_;
};
