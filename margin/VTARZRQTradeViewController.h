#pragma once
// The margin order form of systems older than "4.1": financing buy (side
// "B", 融资买入, seven rows) or short sell (side "S", 融券卖出, six rows
// without 报价方式), a grouped table of titled rows (股东代码, 证券代码, 证券名称,
// [报价方式,] price, quantity, maximum) over the toolbar "首页", the stock
// finder and "确定". The shareholder account and the order type are picked
// on sheets (VTASheetPicker, "确定" takes the wheel's row). Credit orders
// are 500/6 with "creditid=0" and credit flag 0 or 1.
//
// The maximum (500/4, with the menu item's link whole) is asked when the
// code field reaches its 6 characters; its reply shows the name, the maximum
// as the brokerage wrote it, the price (for a limit order), and the accounts
// of the stock's market; a chosen order type the market does not offer goes
// back to the limit order. A financing buy at a market type is held at the
// limit-up price, so its maximum is asked again at that price (and at none
// once back at the limit order), as the stock order screens do
// (TradeOrderScreen).
//
// The order road is TradeOrderScreen's (own tags for the maximum and the
// order, so a late maximum is never read as the order's reply; the order
// state set by the sheet's "确定" alone): the checks of the older margin
// forms ("证券代码为空！", "证券价格有误！", "证券数量为空！", then
// "委托数据错误" before a maximum of the code typed, "无对应股东代码"; "确定"
// while that maximum is on its way waits for it), the sheet, the quantity
// emptied as the order leaves; a reply with an order number is success (a
// buy's stock joins the own stocks), one without says to check the day's
// orders.
#include <memory>
#include <optional>
#include <string>

#include "margin/MarginPickerForm.h"
#include "platform/uikit/UITableView.h"
#include "ui/VTATextField.h"

class UILabel;

class VTARZRQTradeViewController : public MarginPickerForm,
                                   public UITableViewDataSource,
                                   public UITableViewDelegate,
                                   public VTATextFieldDelegate {
public:
    static constexpr int kCodeFieldTag = 301;
    static constexpr int kQuantityFieldTag = 302;
    static constexpr int kPriceFieldTag = 303;
    static constexpr double kKeyboardScroll = 120;

    // side: "B" financing buy, anything else short sell.
    explicit VTARZRQTradeViewController(const std::string& side);
    static std::shared_ptr<VTARZRQTradeViewController> initWithTradeSide(const std::string& side) {
        return std::make_shared<VTARZRQTradeViewController>(side);
    }
    ~VTARZRQTradeViewController() override;

    bool isBuySide() const { return tradeDirection() == kBuy; }
    int creditFlag() const;

    UITableView* tableView();
    VTATextField* codeField();
    VTATextField* priceField();
    VTATextField* countField();
    UILabel* bossNumLabel();
    UILabel* stockNameLabel();
    UILabel* priceTypeLabelView();
    UILabel* maxQtyLabel();

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void onCommandOK() override;

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return isBuySide() ? 7 : 6; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 43; }
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    void myTextFieldReachMax(VTATextField& field, int maxLength) override;
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;

protected:
    std::string codeText() const override;
    std::string priceText() const override;
    std::string quantityText() const override;
    std::string stockNameText() const override;
    void setQuantityText(const std::string& text) override;
    void stockholdersChanged() override;
    void priceTypeChanged() override;
    std::vector<OrderType> orderTypesOf(const std::string& market) const override;
    std::string orderRefusal() const override;
    RequestBuilder makeStockInfoRequest() const override;
    std::optional<RequestBuilder> makeMaximumRequest(const std::optional<std::string>& price) const override;
    RequestBuilder makeOrderRequest(const OrderTicket& ticket) const override;
    std::string confirmationText(const OrderTicket& ticket) const override;
    bool orderTaken(VTATCRS& set) const override;
    void stockInfoArrived(VTATCRS& set) override;
    void maximumChanged() override;
    void orderWillSend() override;
    void orderEnded(OrderOutcome outcome) override;

private:
    int lastTextTag_ = 0;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<VTATextField> code_, price_, count_;
    std::shared_ptr<UILabel> bossNum_, name_, priceType_, maxQty_;
};
