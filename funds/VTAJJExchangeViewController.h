#pragma once
// The fund conversion form ("of_jjzh", order 500/38): the customer converts
// units of a fund held into another fund of the same company. A fund form
// (FundForm.h) without the risk re-ask.
//
// Seven rows: 基金名称 (a picker of the funds held), 转出代码, 转入代码 (six
// digits), the target's 基金名称, 可用份额, 转换份额 (份) and 巨额方式 (a picker:
// "取消" or "顺延", sent as redeemtype 0 / 1).
//
// The funds held are the session's ("the funds you have", which the fund
// query hub and the dividend form share): on each appearance the first of
// them is shown; without them they are asked for (500/41, kHoldingsTag) and
// kept there. A full target code is looked up (500/50, kTargetTag) for its
// name. Each kind of reply comes under its own tag, so a late holdings
// answer is never taken for the target's, nor either for the order's.
//
// The order needs the target code, a fund held and units of digits with at
// most one point above 0 ("请输入正确的份额"); the units field is emptied as
// the order goes. A conversion taken changes the units held: the session's
// holdings go, to be asked for again.
#include <vector>

#include "funds/FundForm.h"
#include "funds/FundPickerSheet.h"

class VTAJJExchangeViewController : public FundForm {
public:
    static constexpr int kHoldingsTag = 1620;
    static constexpr int kTargetTag = 1621;
    static constexpr int kOrderTag = 1622;
    static constexpr int kFundPickerTag = 0;
    static constexpr int kTypePickerTag = 6;
    static constexpr const char* kNoFundsText = "没有可选基金！";

    VTAJJExchangeViewController();

    UILabel* fundName();
    UILabel* fundCode();
    VTATextField* newFundCode();
    UILabel* newFundName();
    UILabel* numCanUsed();
    VTATextField* numOfChange();
    UILabel* typeLabel();
    const std::vector<std::string>& myFunds() const { return myFunds_; }
    FundPickerSheet& pickers() { return pickers_; }

    // The order while one is outstanding, else the holdings or the target.
    void requestFundExchange();

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void myTextFieldReachMax(VTATextField& field, int maxLength) override;

protected:
    void buildForm() override;
    int formRowCount() const override { return 7; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    std::string orderRefusal() override;
    std::string orderSummary() const override;
    std::optional<RequestBuilder> orderRequest() override;
    std::string successText() const override { return "转换已提交，请在当日委托中查询!"; }
    void orderSucceeded(const RequestReply& reply) override;

private:
    void holdingsReplied(const RequestReply& reply);
    void targetReplied(const RequestReply& reply);
    void showHolding(VTATCRS& set);
    void picked(int tag, int row);

    std::vector<std::string> myFunds_;
    const std::vector<std::string> typeArray_{"取消", "顺延"};
    std::shared_ptr<UILabel> fundName_, fundCode_, newFundName_, numCanUsed_, typeLabel_;
    std::shared_ptr<VTATextField> newFundCode_, numOfChange_;
    FundPickerSheet pickers_;
};
