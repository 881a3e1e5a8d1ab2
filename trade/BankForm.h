#pragma once
// What the bank forms share (the bank-securities transfers, the bank
// balances, the fund-account transfer): a grouped form of 44-point rows that
// does not scroll by finger, choices in picker strips, inputs, the toolbar
// and the confirmation of a transfer.
//
// Each choice opens its own picker strip: opening one closes the others and
// ends editing; a strip sliding down deselects the row. The plain inputs
// (makeField) sit at the right of their rows (numbers and punctuation,
// "Done", a clear button); editing one scrolls the form to the screen's
// offset, Return scrolls it back. The toolbar holds "首页", the stock finder
// and "确定" (onCommandOK). A transfer is confirmed on an action sheet
// ("取消", destructive "确定" at index 0).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"
#include "shell/VTAViewControllers.h"
#include "ui/QZTabView.h"

class TradePickerStrip;

class BankForm : public VTAViewControllers,
                 public UITableViewDataSource,
                 public UITableViewDelegate,
                 public UITextFieldDelegate,
                 public QZTabViewDelegate,
                 public UIActionSheetDelegate {
public:
    ~BankForm() override;

    UITableView* tableView();
    // The confirmation sheet shown now (null when none).
    UIActionSheet* confirmationSheet() const { return sheet_ && sheet_->isVisible() ? sheet_.get() : nullptr; }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillDisappear(bool animated) override;

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override { return rowCount(); }
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 44; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    void textFieldDidBeginEditing(UITextField& field) override;
    bool textFieldShouldReturn(UITextField& field) override;
    void tabViewDidSlideDown(QZTabView& tab) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

protected:
    // editingOffset: how far the form scrolls while a plain input is edited.
    explicit BankForm(double editingOffset = 0);

    // ---- the screen's part ----
    // The views of the rows, made before the table first asks for rows.
    virtual void makeFormViews() {}
    virtual int rowCount() const = 0;
    virtual std::shared_ptr<UITableViewCell> cellForRow(int row) = 0;
    virtual void rowTapped(int row) {}
    // The customer confirmed the sheet.
    virtual void confirmed() {}

    // ---- pieces ----
    // A strip of the form (its titles asked each time it opens).
    TradePickerStrip* addStrip(std::function<std::vector<std::string>()> titles, std::function<void(int)> picked);
    // Closes the other strips, ends editing and opens this one on the row.
    void openStrip(TradePickerStrip* strip, int row);
    void closeStrips();
    std::shared_ptr<UITextField> makeField(const std::string& placeholder, bool secure);
    // Value rows: a choice (disclosure), a shown value (no highlight), an input.
    std::shared_ptr<UITableViewCell> choiceCell(const std::string& title, const std::string& value);
    std::shared_ptr<UITableViewCell> valueCell(const std::string& title, const std::string& value);
    std::shared_ptr<UITableViewCell> fieldCell(const std::string& title, const std::shared_ptr<UITextField>& field);
    void reloadForm();
    void scrollToTop();
    void endEditing();
    // Shows "请检查转帐金额" unless the amount may go out.
    bool checkAmount(const std::string& text);
    void askToConfirm(const std::string& summary);
    // The text of a list entry by index, "" for an index out of range.
    template <class List, class Get>
    static std::string textAt(const List& list, int index, Get get) {
        return index >= 0 && index < static_cast<int>(list.size()) ? get(list[static_cast<size_t>(index)]) : "";
    }

    std::shared_ptr<UITableView> table_;

private:
    double editingOffset_;
    std::vector<std::unique_ptr<TradePickerStrip>> strips_;
    std::vector<std::shared_ptr<UITextField>> fields_;
    std::shared_ptr<UIActionSheet> sheet_;
};
