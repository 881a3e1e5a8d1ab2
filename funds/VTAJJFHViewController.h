#pragma once
// The dividend-method form ("of_fhsz", order 500/39): how a fund held pays
// its dividends, reinvested as new units ("红利转投", dividmethod 0) or in
// cash ("现金分红", 1). A fund form (FundForm.h) without the risk re-ask.
//
// Four rows: 基金名称 (a picker of the funds held), 基金代码, 昨日净值 and 新分红方式
// (a picker). The funds held are the session's ("the funds you have", shared
// with the conversion form and the fund query hub), asked for (500/41,
// kHoldingsTag) when it has none; then the net values of all of them at once
// (504/24 with the codes joined by ",", kNetValuesTag), kept for the fund
// picked later. A fund handed in by the query hub (a message "ofcode=..." of
// type 1) is shown first when it is among them; otherwise the first one.
//
// Each kind of reply comes under its own tag, and the pickers leave the
// order alone: an order's answer is always the order's.
#include <vector>

#include "funds/FundForm.h"
#include "funds/FundPickerSheet.h"

class VTAJJFHViewController : public FundForm {
public:
    static constexpr int kHoldingsTag = 1630;
    static constexpr int kNetValuesTag = 1631;
    static constexpr int kOrderTag = 1632;
    static constexpr int kFundPickerTag = 0;
    static constexpr int kMethodPickerTag = 3;
    static constexpr int kMethodSheetTag = 6;
    static constexpr const char* kNoFundsText = "没有可选基金!";

    VTAJJFHViewController();

    UILabel* fundName();
    UILabel* fundCode();
    UILabel* fundPrice();
    UILabel* fundFH();
    const std::optional<std::vector<std::string>>& myFundsdata() const { return myFundsdata_; }
    FundPickerSheet& pickers() { return pickers_; }

    // The holdings, or the net values once the funds held are known.
    void requestFundBonus();

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

protected:
    void buildForm() override;
    int formRowCount() const override { return 4; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    std::string orderRefusal() override;
    std::string orderSummary() const override;
    std::optional<RequestBuilder> orderRequest() override;
    std::string successText() const override { return "设置已提交，请在当日委托中查询!"; }

private:
    void holdingsReplied(const RequestReply& reply);
    void netValuesReplied(const RequestReply& reply);
    // Takes the funds held from the set and shows the one to start with.
    void takeHoldings(VTATCRS& set);
    void showNetValue();
    void picked(int tag, int row);

    std::optional<std::vector<std::string>> myFundsdata_;
    std::shared_ptr<VTATCRS> myFundsHqData_;
    const std::vector<std::string> fenHongData_{"红利转投", "现金分红"};
    std::shared_ptr<UILabel> fundName_, fundCode_, fundPrice_, fundFH_;
    FundPickerSheet pickers_;
};
