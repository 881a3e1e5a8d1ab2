#pragma once
// The fund redemption form ("of_jjsh", order 500/36): the customer sells back
// units of a fund held. A fund form (FundForm.h) without the risk re-ask.
//
// Eight rows: 基金名称 (a picker of the funds held), 基金代码, 今日状态, 昨日净值,
// 可用份额, the units to redeem (份), 巨额方式 (a picker: "取消" cancels the
// excess of a large redemption, "顺延" defers it; sent as redeemtype 0 / 1)
// and 风险级别.
//
// Stages (frameStatus): 0 while the funds held are not known, 1 once they
// are. On appearing, a holding the fund query hub left in the session ("the
// funds you have", one record) is taken at once (stage 1); otherwise the
// funds held are asked for (500/41, kHoldingsTag) and kept in the session.
// Each fund shown, and each one picked, asks for its information (100/25,
// kInfoTag): set 0 the fund, set 1 the holding of it, whose available units
// are shown (the record of the fund's code; nothing when the holding is not
// among them). A fund picked shows its name and code from the funds held and
// nothing of the fund before it: its status, net value, available units and
// risk stay empty until its information comes, and so when the lookup
// answers "查无此基金信息！", an error or nothing. The session value goes
// when the form leaves the screen and after a redemption was taken.
//
// The order needs digits with at most one point above 0 ("请输入份额") and a
// fund; the units field is emptied as the order goes.
#include <vector>

#include "funds/FundForm.h"
#include "platform/uikit/UIPickerView.h"

class VTASheetPicker;

class VTAJJRedeemViewController : public FundForm, public UIPickerViewDataSource, public UIPickerViewDelegate {
public:
    static constexpr int kHoldingsTag = 1640;
    static constexpr int kInfoTag = 1641;
    static constexpr int kOrderTag = 1642;
    static constexpr int kFundPickerTag = 0;
    static constexpr int kTypePickerTag = 6;
    static constexpr const char* kNoFundsText = "没有可选基金！";
    static constexpr const char* kInfoMissingText = "数据错误！请重新选择代码";

    VTAJJRedeemViewController();
    ~VTAJJRedeemViewController() override;

    UILabel* fundName();
    UILabel* fundCode();
    UILabel* fundStatus();
    UILabel* fundPrice();
    UILabel* numCanUsed();
    UILabel* typeLabel();
    UILabel* riskLabel();
    VTATextField* redeemNum();
    const std::vector<std::string>& myFunds() const { return myFunds_; }
    int selectedFundIndex() const { return selectedFundIndex_; }
    // The picker of the sheet shown last (null before one was shown).
    UIPickerView* picker() const { return picker_.get(); }

    // The fund's information once the funds held are known, else the funds held.
    void requestFundRedeem();

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView& picker, int component) override;
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;

protected:
    void buildForm() override;
    int formRowCount() const override { return 8; }
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    std::string orderRefusal() override;
    std::string orderSummary() const override;
    std::optional<RequestBuilder> orderRequest() override;
    std::string successText() const override { return "赎回已提交，请在当日委托中查询!"; }
    void orderSucceeded(const RequestReply& reply) override;

private:
    void holdingsReplied(const RequestReply& reply);
    void infoReplied(const RequestReply& reply);
    // Takes the funds held from the set, showing the record at its cursor.
    void takeHoldings(VTATCRS& set);
    void showPicker(int tag, const std::string& title, int selected);
    const std::vector<std::string>& rowsOf(const UIPickerView& picker) const;

    std::vector<std::string> myFunds_;
    const std::vector<std::string> typeArray_{"取消", "顺延"};
    int selectedFundIndex_ = 0;
    std::shared_ptr<UILabel> fundName_, fundCode_, fundStatus_, fundPrice_, numCanUsed_, typeLabel_, riskLabel_;
    std::shared_ptr<VTATextField> redeemNum_;
    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<VTASheetPicker> pickerSheet_;
};
