#pragma once
// The exercise of a warrant ("qzxq"). The customer types the six-character
// exercise code: its sixth character asks for the warrant (100/28, tag
// kQueryTag), whose answer fills the form (name, exercise price, the money
// and warrants available, then kind, style, ratio, settlement, settlement
// price and expiry) with the customer's shareholder account of the
// warrant's market. Without such an account the data is shown and every
// "确定" says "您没有对应的股东号无法行权". "确定" asks for a quantity other
// than 0, confirms in a sheet ("您确定要发送如下信息吗？") and sends the
// exercise (100/29, tag kExerciseTag; the quantity field empties); the
// accepted one's "委托已提交，请进入当日委托查询!" takes the customer back.
//
// Stages (frameStatus): kAwaitingQuery at the start, while the query is on
// its way and after a failure; kHandled once an answer was read;
// kAwaitingExercise while the exercise is on its way. The code must still be
// the one queried when "确定" is pressed ("权证信息错误" otherwise), so that
// the order never carries another warrant's price. An unreadable answer
// shows "结果集构建错误".
#include <memory>
#include <string>

#include "core/VTADictionary.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "ui/VTATextField.h"

class UILabel;

class VTAWarrant : public VTAViewControllers,
                   public UITableViewDataSource,
                   public UITableViewDelegate,
                   public VTATextFieldDelegate,
                   public UIActionSheetDelegate {
public:
    static constexpr int kQueryTag = 7027;
    static constexpr int kExerciseTag = 7028;
    static constexpr int kSheetTag = 1003;
    static constexpr int kDoneAlertTag = 1001;
    static constexpr int kAwaitingQuery = 0, kHandled = 1, kAwaitingExercise = 100;
    static constexpr const char* kNoShareholderText = "您没有对应的股东号无法行权";
    static constexpr const char* kBadWarrantText = "权证信息错误";
    static constexpr const char* kUnreadableText = "结果集构建错误";
    static constexpr const char* kAcceptedText = "委托已提交，请进入当日委托查询!";
    static constexpr const char* kNoShareholderLabel = "<股东号>";

    VTAWarrant();
    ~VTAWarrant() override;

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void onCommandOK() override;
    // Sends the query (stage kAwaitingQuery) or the exercise (kAwaitingExercise).
    bool requestWarrantTrade();

    bool isWarrantInfoOK() const { return isWarrantInfoOK_; }
    bool tradeDisable() const { return tradeDisable_; }
    VTATextField* codeField() const { return codeField_.get(); }
    VTATextField* orderSumField() const { return orderSumField_.get(); }
    UILabel* gdhLabel() const { return gdhLabel_.get(); }
    UILabel* nameLabel() const { return nameLabel_.get(); }
    UILabel* priceLabel() const { return priceLabel_.get(); }
    UITableView* tableView() const { return table_.get(); }
    UIActionSheet* sheet() const { return sheet_.get(); }
    // Display text ("深A0010001234") -> "market=..&secuid=..&fundid=..".
    const VTAStringDictionary& gdhData() const { return gdhData_; }

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return isWarrantInfoOK_ ? 13 : 7; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 44; }
    void myTextFieldReachMax(VTATextField& field, int maxLength) override;
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void loadShareholders();
    void warrantArrived(const RequestReply& reply);
    void exerciseArrived(const RequestReply& reply);

    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UILabel> gdhLabel_, nameLabel_, priceLabel_, freeMoneyLabel_, freeSumLabel_;
    std::shared_ptr<UILabel> exerciseTypeLabel_, exerciseMethodLabel_, exerciseRatioLabel_, settlementMethodLabel_,
        settlementPriceLabel_, dueDateLabel_;
    std::shared_ptr<VTATextField> codeField_, orderSumField_;
    VTAStringDictionary gdhData_;  // display text -> request fragment
    VTAStringDictionary gdhDict_;  // shareholder market -> display text
    std::string queriedCode_;      // the code the shown data is of
    bool tradeDisable_ = false;
    bool isWarrantInfoOK_ = false;
    std::shared_ptr<UIActionSheet> sheet_;
    std::shared_ptr<UIAlertView> doneAlert_;
};
