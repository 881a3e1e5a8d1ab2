#pragma once
// What the convertible-bond screen (CBTradeViewController) and the
// exchange-fund screen (EFTradeViewController) share: orders for securities
// of the exchanges that go out as stock orders (500/6) with a direction's
// own order flag, on the customer's shareholder account of the security's
// market.
//
// The form: a grouped table that does not scroll, under a header holding the
// direction's segmented control; value-style rows whose widget (180 x 32)
// stands at x 110; row 0 the shareholder account, whose tap slides up the
// account picker (TradePickerStrip) and closes the keyboards; row 1 the code.
// Toolbar: "首页", "刷新" (the lookup again), "确定" (doneAction).
//
// The lookup (the screen's lookup tag) is sent when an edit makes the code
// six characters long (the keyboard closes and the table goes back to the
// top), by the return key on a code of two characters or more, and by
// "刷新". Its reply fills the screen's rows (lookupArrived) and narrows the
// accounts to the security's market; a reply for a code or direction no
// longer on the form is left alone. A reply without records shows the
// screen's not-found text; one without record sets "数据处理错误".
//
// The order: the code must be six digits ("请选择证券"), then the screen's
// own checks (orderRefusal), then an account must be there ("无对应股东代码");
// the sheet (tag 101) lists it. Its "确定" turns the order state on, sends
// the order (order tag) and empties the amount field; nothing more can be
// confirmed until the reply or a failure of the order ends the state.
// Success shows "委托已提交，请进入当日委托查询!" (tag 1001), whose button
// closes the screen. Leaving with the order in flight ends the state (the
// binding tells the customer to look the order up).
//
// A direction change loads every account again and empties the code, the
// amount and what the lookup filled (directionChanged).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"
#include "shell/VTAViewControllers.h"
#include "trade/StockholderList.h"

class TradePickerStrip;
class UILabel;
class UISegmentedControl;
class VTATCRS;

class ExchangeOrderScreen : public VTAViewControllers,
                            public UITableViewDataSource,
                            public UITableViewDelegate,
                            public UITextFieldDelegate,
                            public UIActionSheetDelegate {
public:
    static constexpr int kCodeFieldTag = 101;
    static constexpr int kPriceFieldTag = 102;
    static constexpr int kAmountFieldTag = 103;
    static constexpr int kSheetTag = 101;
    static constexpr int kSuccessAlertTag = 1001;
    static constexpr const char* kNoDataTitle = "数据处理错误";
    static constexpr const char* kNoDataMessage = "请退出程序重试，如有问题请致电恒岳咨询";
    static constexpr const char* kNoCodeText = "请选择证券";
    static constexpr const char* kNoQuantityText = "请输入数量";
    static constexpr const char* kSuccessText = "委托已提交，请进入当日委托查询!";

    ~ExchangeOrderScreen() override;

    UITableView* tableView();
    UISegmentedControl* tradeDirectionSeg();
    UITextField* tradeSymbolTF();
    UITextField* tradeAmountTF();
    UILabel* stockholderLabel();
    TradePickerStrip* stockholderStrip() const { return strip_.get(); }
    const StockholderList& stockholders() const { return accounts_; }
    int selectedStockholder() const { return accounts_.selected(); }
    const std::string& strMarketNO() const { return marketNo_; }
    bool isTrading() const { return trading_; }
    int direction() const;

    void segmentAction();
    void doneAction();
    void refreshAction();
    void loadStockholderRecord();
    void filterStockholderByMarket(const std::string& market);

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) override;

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return rowCount(); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    bool textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                const std::string& replacement) override;
    void textFieldDidBeginEditing(UITextField& field) override;
    bool textFieldShouldReturn(UITextField& field) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    ExchangeOrderScreen(std::vector<std::string> directions, int lookupTag, int orderTag);

    // ---- the screen's rows ----
    virtual int rowCount() const = 0;
    virtual std::string rowTitle(int row) const = 0;
    // The widget of a row from 1 on (row 0 is the account).
    virtual std::shared_ptr<UIView> rowWidget(int row) = 0;
    // Makes the screen's own widgets (once, with the view).
    virtual void buildWidgets() = 0;
    // A text field of the form (tag 101 code, 102 price, 103 amount).
    std::shared_ptr<UITextField> makeField(int tag);
    // A value label: clear, blue.
    static std::shared_ptr<UILabel> makeLabel();
    // How far the table scrolls while the field is edited (0: not at all).
    virtual double editingOffset(int fieldTag) const = 0;

    // ---- the lookup ----
    virtual RequestBuilder lookupRequest(const std::string& code) const = 0;
    virtual std::string notFoundText() const = 0;
    // A lookup with a record: the screen's rows (the accounts follow).
    virtual void lookupArrived(VTATCRS& set) = 0;
    virtual void directionChanged() = 0;

    // ---- the order ----
    // The direction's order flag.
    virtual std::string orderFlag() const = 0;
    // The screen's own checks between the code's and the account's ("" passes).
    virtual std::string orderRefusal() const = 0;
    virtual std::string orderSummary() const = 0;
    // The price sent with the order, for screens that send one.
    virtual std::optional<std::string> orderPrice() const { return std::nullopt; }

    std::string codeText() const;
    std::string amountText() const;
    void reloadForm();
    void requestDidFail(const RequestFailure& failure) override;

private:
    void requestLookup(const std::string& code);
    void lookupReplied(const RequestReply& reply);
    void orderReplied(const RequestReply& reply);
    void sendOrder();
    void showStockholderPicker();

    std::vector<std::string> directions_;
    int lookupTag_, orderTag_;
    bool trading_ = false;
    StockholderList accounts_;
    std::string marketNo_;
    std::string lookedUpCode_;
    int lookedUpDirection_ = -1;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UISegmentedControl> segment_;
    std::shared_ptr<UITextField> code_, amount_;
    std::shared_ptr<UILabel> stockholderLabel_;
    std::unique_ptr<TradePickerStrip> strip_;
    std::shared_ptr<UIActionSheet> sheet_;
};
