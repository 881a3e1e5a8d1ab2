#pragma once
// The opening form of a fixed-investment plan (智能定投, link "zndt_kt",
// "开通智能定投"): the fund by its six-digit code, looked up (100/24, tag
// kLookupTag) for its name, net value, company and the cash available; the
// amount, dates, period and pay day of IFIForm.h; the opening (500/1801, tag
// kOrderTag) after the confirmation sheet, with the risk re-ask.
//
// Toolbar: "首页", "确定". Ten rows: 查询可定投基金 (the fund query hub's list of funds open for plans,
// when the hub is registered), 基金代码, 基金名称, 净值, 可用资金, 定投金额,
// 开始日期, 结束日期, 扣款周期, 扣款日. The dates start today and a week on.
//
// The lookup goes when the code reaches six digits, when "完成" leaves a code
// of two to five, and on appearing with a code the hub left under the
// platform user default "IFIFundSymbol" (which is then removed). The opening
// needs a code, an amount of digits with at most one point, and a successful
// lookup of that code (the code asked; its company goes with the plan);
// sending it empties the amount. Success shows the server's "msg" (its "确定"
// closes the form).
#include "funds/IFIForm.h"

class IFIOpenViewController : public IFIForm {
public:
    static constexpr int kLookupTag = 1102;
    static constexpr int kOrderTag = 1103;
    static constexpr const char* kPickedCodeKey = "IFIFundSymbol";
    static constexpr double kDefaultSpan = 604800;  // a week
    static constexpr int kFundListPage = 9;         // the hub's funds open for plans

    IFIOpenViewController();

    VTATextField* fundSymbolTF();
    UILabel* fundName();
    UILabel* netValue();
    UILabel* availableAmount();
    const std::string& tacode() const { return tacode_; }

    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;
    void myTextFieldReachMax(VTATextField& field, int maxLength) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    // Row 0: the hub's list of funds open for plans.
    void onCommandQuery();

protected:
    void buildForm() override;
    int formRowCount() const override { return 10; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    PlanOrder currentPlan() const override;
    std::string planRefusal() const override;
    std::string operationName() const override { return "开通智能定投"; }
    std::optional<RequestBuilder> orderRequest() override;
    std::string successText() const override { return ""; }
    void orderSucceeded(const RequestReply& reply) override;
    void requestDidFail(const RequestFailure& failure) override;

private:
    void requestIFIQueryWithFundSymbol(const std::string& code);
    void lookupReplied(const RequestReply& reply);

    std::shared_ptr<VTATextField> codeField_;
    std::shared_ptr<UILabel> nameLabel_, navLabel_, cashLabel_;
    std::string askedCode_, lookedUpCode_, tacode_;
};
