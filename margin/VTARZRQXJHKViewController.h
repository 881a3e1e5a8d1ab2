#pragma once
// Direct cash repayment ("rzrq_xjhk", 直接还款): rows 币种 (人民币), 可用金额
// (the cash that may repay), 需还款金额 (the debt) with "全部", 还款金额;
// toolbar "首页", the stock finder, "确定". Every appearance asks the debt
// (500/75); "确定" checks the amount (digits with at most one point, more
// than 0, else "输入金额有误！") and confirms it on a sheet, whose "确定"
// sends the repayment (500/76) and empties the field. Each has its own tag,
// so a repayment's reply is never read as the debt's; a repayment the
// brokerage took ("msgok") shows "还款委托已经成功提交！" and asks the debt
// again, so that the labels and "全部" follow it; an answer without "msgok"
// (or without a record set), or a line lost after it left, tells where to
// look: where the debt is shown (kUnknownOutcomeText: 信用资产), since a
// repayment is no order of the day; the first asks the debt again too.
// "确定" does nothing before the debt is known or while a repayment is on
// its way.
#include <memory>

#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "ui/VTATextField.h"

class UIButton;
class UILabel;

class VTARZRQXJHKViewController : public VTAViewControllers,
                                  public UITableViewDataSource,
                                  public UITableViewDelegate,
                                  public UIActionSheetDelegate,
                                  public VTATextFieldDelegate {
public:
    static constexpr int kDebtTag = 7032;
    static constexpr int kRepayTag = 7033;
    static constexpr double kKeyboardScroll = 40;
    static constexpr const char* kUnknownOutcomeText = "还款请求已发出，请进入信用资产查询融资负债";

    VTARZRQXJHKViewController();
    ~VTARZRQXJHKViewController() override;

    UILabel* moneyCountLabel();
    UILabel* backMoneyCountLabel();
    VTATextField* backMoneyField();
    UIButton* allButton();
    UITableView* tableView();
    bool isRepay() const { return isRepay_; }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void onCommandOK() override;
    void allBtnAction();

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 4; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void requestDebt();
    void debtArrived(const RequestReply& reply);
    void repayArrived(const RequestReply& reply);

    bool debtKnown_ = false;
    bool isRepay_ = false;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UILabel> moneyType_, moneyCount_, backMoneyCount_;
    std::shared_ptr<VTATextField> backMoney_;
    std::shared_ptr<UIButton> all_;
    std::shared_ptr<UIActionSheet> sheet_;
};
