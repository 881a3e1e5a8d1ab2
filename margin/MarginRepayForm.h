#pragma once
// The older margin forms a list row opens for its stock (buy-to-return,
// securities repayment, sell-to-repay, collateral transfer): a grouped table
// of titled rows of three columns (80, 120, 60: the caption, a label or a
// field, a unit or the "全部" button) over the toolbar "首页", the stock
// finder and "确定", on the stock order road of TradeOrderScreen (the
// maximum and the order under tags of their own, the order state from the
// sheet's "确定" to the order's reply, the success alert whose "确定" goes
// back to the list). The stock comes in the screen's message (type 1, a
// VTAStock) and is read once, when the form is built.
//
// A form says which rows it shows (FormRow), its credit flag and its
// requests and checks; the shareholder account follows the market the
// maximum's reply names (none of that market: "无对应股东代码" refuses the
// order). "确定" before that reply waits for it and confirms with it; with
// no reply of the stock on its way the order is refused ("委托数据错误"),
// so that no order goes to an account of another market. Rows with a
// picker (shareholder account, order type) open it on a sheet whose "确定"
// takes the wheel's row; an empty list takes nothing.
#include <memory>
#include <string>
#include <vector>

#include "margin/MarginPickerForm.h"
#include "platform/uikit/UITableView.h"
#include "ui/VTATextField.h"

class UIButton;
class UILabel;

class MarginRepayForm : public MarginPickerForm,
                        public UITableViewDataSource,
                        public UITableViewDelegate,
                        public VTATextFieldDelegate {
public:
    static constexpr int kQuantityFieldTag = 101;
    static constexpr int kPriceFieldTag = 102;
    static constexpr double kRowHeight = 38;
    static constexpr double kKeyboardScroll = 120;

    ~MarginRepayForm() override;

    int creditFlag() const { return creditFlag_; }
    const std::string& stockCode() const { return code_; }

    UITableView* tableView();
    VTATextField* priceField();
    VTATextField* countField();
    UILabel* bossNumLabel();
    UILabel* stockNameLabel();
    UILabel* priceTypeLabelView();
    UILabel* maxQtyLabel();
    UIButton* allButton();
    UILabel* directionLabel();
    UILabel* debtLabel();

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void onCommandOK() override;
    // "全部": the maximum into the quantity field, as it stands.
    void allBtnAction();

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return static_cast<int>(rows_.size()); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return kRowHeight; }
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;

protected:
    // What a row holds: its caption, then the label or field of the form
    // (and the unit or "全部" beside it); a row with a picker opens it.
    enum class Row { Stockholder, Direction, Code, Name, PriceType, Debt, Price, Quantity, Maximum };
    struct FormRow {
        Row row;
        std::string caption;
    };
    MarginRepayForm(int direction, int creditFlag, std::vector<FormRow> rows);

    // Whether the price field shows "元" beside it.
    virtual bool showsPriceUnit() const { return false; }
    // Whether the shareholder row opens the account picker.
    virtual bool picksStockholder() const { return false; }
    // What appearing asks (by default the maximum).
    virtual void appeared() { requestStockInfo(); }
    // Whether the quantity field empties as the order leaves (so a second
    // "确定" orders nothing twice by mistake).
    virtual bool emptiesQuantityOnSend() const { return true; }
    void orderWillSend() override;

    // The maximum's reply: name and maximum (when the form shows them), the
    // price of a limit order into an empty price field, the accounts and the
    // order types of the stock's market.
    void stockInfoArrived(VTATCRS& set) override;
    // The maximum asked again (a buy at a market type): the number, or
    // nothing until it is known.
    void maximumChanged() override;
    std::string codeText() const override { return code_; }
    std::string priceText() const override;
    std::string quantityText() const override;
    std::string stockNameText() const override;
    void setQuantityText(const std::string& text) override;
    void stockholdersChanged() override;
    void priceTypeChanged() override;
    std::vector<OrderType> orderTypesOf(const std::string& market) const override;
    bool orderTaken(VTATCRS& set) const override;
    // The credit order (500/6) of the form's flag; the order type and the
    // price go only with a form that has a price row.
    RequestBuilder makeOrderRequest(const OrderTicket& ticket) const override;
    bool hasRow(Row row) const;
    // The checks of these forms: a limit order's price ("股票价格有误！"),
    // a quantity ("股票数量为空！"), the stock's market ("委托数据错误"), an
    // account ("无对应股东代码").
    std::string orderRefusal() const override;

private:
    std::shared_ptr<UIView> viewOf(Row row) const;

    int creditFlag_;
    std::vector<FormRow> rows_;
    std::string code_, name_;
    int lastTextTag_ = 0;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<VTATextField> price_, count_;
    std::shared_ptr<UILabel> bossNum_, direction_, codeLabel_, nameLabel_, priceType_, debt_, maxQty_;
    std::shared_ptr<UIButton> all_;
};
