#pragma once
// The modification form of a fixed-investment plan (智能定投, link
// "zndt_xg", "修改智能定投", or from the opened plans' "修改" with the plan
// handed in): the plan chosen in a picker of the customer's opened plans
// (500/1804, tag kListTag, asked on every appearance unless a plan was
// handed in), its amount, dates, period and pay day (IFIForm.h) changed and
// sent (500/1802, tag kOrderTag) after the confirmation sheet. No risk re-ask.
//
// Eight rows: 基金代码 (the plan picker), 基金名称, 净值, 定投金额, 开始日期,
// 结束日期, 扣款周期, 扣款日. Loading a plan shows its own pay day and keeps
// it: a change of the amount alone sends the plan's pay day back unchanged.
// Nothing is sent while no plan is loaded; a plan whose dates do not read
// leaves the date rows empty, and the form refuses until they are set.
#include <vector>

#include "funds/IFIForm.h"

class IFIModifyViewController : public IFIForm {
public:
    static constexpr int kOrderTag = 1104;
    static constexpr int kListTag = kOpenedPlansTag;
    static constexpr double kDefaultSpan = 2592000;  // thirty days
    static constexpr const char* kNoPlanText = "请选择定投计划";

    IFIModifyViewController();
    ~IFIModifyViewController() override;

    // The plan to change, handed in by the opened plans' list.
    void setFundInfo(const IFIFundInfo& info) { fundInfo_ = info; }
    const std::optional<IFIFundInfo>& fundInfo() const { return fundInfo_; }
    const std::vector<IFIFundInfo>& openedFundsArray() const { return openedFunds_; }
    TradePickerStrip* fundSymbolPicker() const { return planStrip_.get(); }
    UILabel* fundSymbol();
    UILabel* fundName();
    UILabel* netValue();

    void viewDidAppear(bool animated) override;
    // Loads plan `index` of the list; nothing when there is none.
    void reloadTableViewWithObjectAtIndex(int index);
    void doneAction() { onCommandOK(); }

protected:
    void buildForm() override;
    int formRowCount() const override { return 8; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    void closeOwnStrips() override;
    PlanOrder currentPlan() const override;
    std::string planRefusal() const override;
    std::string operationName() const override { return "修改智能定投"; }
    std::optional<RequestBuilder> orderRequest() override { return planModifyRequest(pending_); }
    std::string successText() const override { return ""; }
    void orderSucceeded(const RequestReply& reply) override;
    void requestDidFail(const RequestFailure& failure) override;

private:
    void requestOpenedFunds();
    void listReplied(const RequestReply& reply);
    void openPlanPicker();

    std::optional<IFIFundInfo> fundInfo_;
    std::vector<IFIFundInfo> openedFunds_;
    int loaded_ = -1;
    std::shared_ptr<UILabel> codeLabel_, nameLabel_, navLabel_;
    std::unique_ptr<TradePickerStrip> planStrip_;
};
