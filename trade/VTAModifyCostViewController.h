#pragma once
// The change of a holding's cost price (500/82), presented modally by the
// holdings list in a navigation controller of its own whose "取消" closes it.
// A grouped form: "证券名称", "证券代码", "原成本", the new cost ("修改为",
// numbers and punctuation, "请输入新成本") and the button "修改". The new
// cost must be digits with at most one point and at least one digit
// ("成本输入错误，请仔细再次确认" otherwise); one change is on its way at a
// time (tag kCostTag). The accepted change shows "修改成功", whose "确定"
// does what the navigation bar's "取消" does: the list closes the form and
// asks for its page again. An unreadable answer shows "数据错误"; a refusal
// its text, the form staying for another try.
#include <memory>
#include <string>

#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"
#include "shell/VTAViewControllers.h"

class UIButton;
class UILabel;
class VTAStock;

class VTAModifyCostViewController : public VTAViewControllers,
                                    public UITableViewDataSource,
                                    public UITableViewDelegate,
                                    public UITextFieldDelegate {
public:
    static constexpr int kCostTag = 7022;
    static constexpr const char* kCostPattern = "([0-9]+\\.[0-9]*)|([0-9]*\\.[0-9]+)|([0-9]+)";
    static constexpr const char* kBadCostText = "成本输入错误，请仔细再次确认";
    static constexpr const char* kChangedText = "修改成功";
    static constexpr const char* kUnreadableText = "数据错误";
    // A change whose answer was lost: the holdings show whether it was made.
    static constexpr const char* kUnknownOutcomeText = "修改请求已发出，请到股份查询中查看成本";

    // The holding's stock (its market id the holding's shareholder market),
    // cost price and shareholder account.
    VTAModifyCostViewController(const std::shared_ptr<VTAStock>& stock, const std::string& costPrice,
                                const std::string& gdh);
    ~VTAModifyCostViewController() override;

    void viewWillDidLoad() override;
    void createToolbarItems() override {}
    void onCommandOK() override;
    // Sends the change; false when nothing was sent.
    bool requestModifyPrice();
    bool isTrading() const { return isTrading_; }

    UITextField* newCostField() const { return newCostField_.get(); }
    UIButton* modifyButton() const { return modify_.get(); }
    UITableView* tableView() const { return table_.get(); }

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 5; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 44; }
    bool textFieldShouldReturn(UITextField& field) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void costChanged(const RequestReply& reply);

    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UILabel> stockNameLabel_, stockCodeLabel_, oldCostLabel_;
    std::shared_ptr<UITextField> newCostField_;
    std::shared_ptr<UIButton> modify_;
    unsigned marketID_ = 0;
    std::string gdhID_;
    bool isTrading_ = false;
    std::shared_ptr<UIAlertView> doneAlert_;
};
