#pragma once
// What the trade login and the soft-token application share: a grouped form
// whose rows "营业部" (the branch picker, SalesDepartmentSelectViewController)
// and "帐号类型" (the five account types in a picker strip) choose the branch
// and the type, an account field (at most 12 characters, number keyboard,
// "请输入资金帐号") and a secure password field (at most 20, "请输入密码"),
// and the branch: the local table's default, read each time the form shows,
// or, while no branch is stored, the first of the server's list (501/17, tag
// kBranchTag, with the form's request type). Each form adds its own rows,
// toolbar and request; its table answers the rows.
#include <memory>
#include <string>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "trade/TradeBranches.h"
#include "ui/VTATextField.h"

class TradePickerStrip;
class UILabel;

class TradeAccountForm : public VTAViewControllers,
                         public UITableViewDataSource,
                         public UITableViewDelegate,
                         public VTATextFieldDelegate {
public:
    static constexpr int kBranchTag = 7001;
    // The fields' tags.
    static constexpr int kAccountFieldTag = 2;
    static constexpr int kPasswordFieldTag = 4;

    ~TradeAccountForm() override;

    UITableView* tableView();
    VTATextField* accountField();
    VTATextField* passwordField();
    const std::string& yybCode() const { return branch_.code(); }
    const std::string& branchName() const { return branch_.name(); }
    bool isBranchListOK() const { return branch_.isListOK(); }
    const std::string& accountCode() const { return accountCode_; }
    std::string accountTypeName() const;
    TradePickerStrip* typePicker() const { return typePicker_.get(); }

    void requestSalesDepartment();
    // Row 0: the branch picker; row 1: the type picker.
    void chooseBranch();
    void chooseAccountType();
    void selectAccountType(int row);
    // Puts a known branch on the form (a saved account's, a test's).
    void setBranch(const std::string& code, const std::string& name);

    void viewWillDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 44; }
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;

protected:
    // branchRequestType: the request type the form asks the branch list with.
    explicit TradeAccountForm(int branchRequestType);

    // Hooks: the views of the form's own rows are to be made (before the
    // table first asks for rows); the type changed; the server's branch list
    // arrived (or was refused); the pickers the form adds are to close.
    virtual void makeFormViews() {}
    virtual void accountTypeChanged() {}
    virtual void branchListArrived() {}
    virtual void closePickers();
    // The forms' rows 0 to 2 (branch, type, account) and the password row.
    std::shared_ptr<UITableViewCell> branchCell();
    std::shared_ptr<UITableViewCell> typeCell();
    std::shared_ptr<UITableViewCell> accountCell();
    std::shared_ptr<UITableViewCell> passwordCell();
    void endEditing();
    // Toolbar items: "首页" and "确定" (onCommandOK).
    std::shared_ptr<UIBarButtonItem> homeItem();
    std::shared_ptr<UIBarButtonItem> okItem();

    TradeFormBranch branch_;
    std::string accountCode_;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UILabel> branchLabel_, typeLabel_;
    std::shared_ptr<VTATextField> account_, password_;
    std::unique_ptr<TradePickerStrip> typePicker_;

private:
    void branchesArrived(const RequestReply& reply);

    int branchRequestType_;
};
