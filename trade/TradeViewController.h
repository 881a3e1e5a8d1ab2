#pragma once
// The stock order screen (买入 / 卖出) of systems from "4.1" on: one form
// that does not scroll, of five rows: the shareholder account and the order
// type (picker buttons whose pickers take the keyboard's place), the code,
// the stock's name, the price with the quote panel it opens (the order book
// and the small intraday chart, TradeQuotesPanel, refreshed every 2 s), and
// the quantity with its shortcuts and the maximum; the big button places the
// order (TradeOrderScreen: checks, confirmation, risk warning).
//
// The stock information (500/4) is asked when the code reaches 6
// characters, when a buy's edited price is left with a 6-character code,
// and on appearing with a stock handed in (a message of type 1: the quote
// page's jump through tradeWithStock), always at the price on the form, so
// that the maximum shown is the one that price affords (a code of another
// stock empties a limit price first: the new stock's maximum is never
// reckoned at the old stock's price); a buy turned to a market type asks its
// maximum again at the limit-up price (TradeOrderScreen). Its reply names
// the stock, offers its price (kept when the customer typed one for the same
// stock), filters the shareholder accounts by its market, shows the maximum,
// puts the order type back to the limit order, and gives the panel the stock
// and its limits. The order needs a stock information of the code as it
// stands ("委托数据错误"): one refused, or lost for a new code, leaves no
// earlier stock's name or maximum on the form.
//
// A bar above the keyboard and the pickers moves the focus along shareholder,
// order type, code, price and quantity; the price and the quantity raise the
// form 140 points, the others put it back. A successful order also adds the
// stock to the customer's own stocks on the server and empties the quantity.
// A failed request stops the refresh; the alert's "确定" restarts it while
// the panel is open. Each appearance asks for the stock's intraday data once,
// and an open panel refreshes again (leaving stopped it).
//
// The margin order screen (margin/MarginTradeViewController) is this form
// with its own requests and geometry (a shorter open panel).
#include <memory>
#include <optional>
#include <string>

#include "charts/VTAChartView.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"
#include "trade/TradeOrderScreen.h"
#include "trade/TradePositionView.h"
#include "trade/TradeQuotesPanel.h"

class UIBarButtonItem;
class UIButton;
class UIGlossyButton;
class UILabel;
class UISegmentedControl;
class UIToolbar;
class VTAStock;
class YMPickerButton;

class TradeViewController : public TradeOrderScreen,
                            public UITableViewDataSource,
                            public UITableViewDelegate,
                            public UITextFieldDelegate,
                            public UIPickerViewDataSource,
                            public UIPickerViewDelegate,
                            public TradePositionViewDelegate,
                            public VTAChartViewDelegate {
public:
    // Focus tags of the five inputs, in the order of the bar's moves.
    static constexpr int kStockholderTag = 1004;
    static constexpr int kPriceTypeTag = 1005;
    static constexpr int kCodeTag = 1001;
    static constexpr int kPriceTag = 1002;
    static constexpr int kQuantityTag = 1003;
    static constexpr int kFailureAlertTag = 1003;
    static constexpr double kRaise = 140;

    explicit TradeViewController(int direction);
    static std::shared_ptr<TradeViewController> initWithTradeDirection(int direction) {
        return std::make_shared<TradeViewController>(direction);
    }
    ~TradeViewController() override;

    // ---- state ----
    int currentTradeDirection() const { return tradeDirection(); }
    const std::shared_ptr<VTAStock>& currentStock() const { return currentStock_; }
    const std::string& cachedStockName() const { return cachedStockName_; }
    bool isStockInfoBack() const { return isStockInfoBack_; }
    bool isExpandQuotes() const { return isExpandQuotes_; }
    int selectedResponse() const { return selectedResponse_; }
    const std::optional<std::string>& goUpStaying() const { return goUpStaying_; }
    const std::optional<std::string>& fallStaying() const { return fallStaying_; }

    // ---- the form (made with the view) ----
    UITableView* tableView();
    UITextField* codeField();
    UITextField* priceField();
    UITextField* quantityField();
    UILabel* nameLabel();
    UILabel* maxLabel();
    UILabel* stockholderLabel();
    UILabel* priceTypeLabelView();
    YMPickerButton* stockholderButton();
    YMPickerButton* priceTypeButton();
    UIPickerView* stockholderPicker();
    UIPickerView* priceTypePicker();
    UISegmentedControl* segmentedControl();
    UIButton* expandButton();
    UIGlossyButton* tradeButton();
    UIToolbar* keyboardBar();
    UIBarButtonItem* previousItem() const { return prevItem_.get(); }
    UIBarButtonItem* nextItem() const { return nextItem_.get(); }
    TradeQuotesPanel& quotesPanel();

    // ---- operations ----
    void tradeAction();
    void quotesExpandAction();
    void unexpandQuotes();
    void reloadScrollViews(UIView& row);
    void requestTimeSharingChartData();
    void registerAutoRefresh();
    void unregisterAutoRefresh();
    void autoRefreshAction();
    void moveTableViewUp();
    void moveTableViewOriginal();
    void preAction();
    void nextAction();
    void doneAction();
    void stockholderAction();
    void priceTypeAction();
    void segmentedControlChangedValue(int segment);
    // A level's price from the order book.
    void selectedPosition(const std::optional<std::string>& price) override;

    void viewWillDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 5; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    void textFieldDidBeginEditing(UITextField& field) override;
    void textFieldDidEndEditing(UITextField& field) override;
    bool textFieldShouldReturn(UITextField& field) override;

    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView& picker, int component) override;
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;
    void pickerViewDidSelectRow(UIPickerView& picker, int row, int component) override;

protected:
    // Where the open quote panel, its row and the order button stand.
    struct Geometry {
        TradeQuotesPanel::Layout panel;
        double openRowHeight;
        double openButtonY;
    };
    static constexpr Geometry kOrderScreenGeometry{TradeQuotesPanel::kOrderScreenLayout, 252, 364};
    TradeViewController(int direction, const Geometry& geometry);

    // The code field's text changed (a 6-character code asks for its stock).
    virtual void codeChanged();
    // Whether every appearance reads the stock handed in (or the accounts)
    // again; otherwise only the first does.
    virtual bool readsOpeningOnEachAppearance() const { return true; }

    std::string codeText() const override;
    std::string priceText() const override;
    std::string quantityText() const override;
    std::string stockNameText() const override;
    void setQuantityText(const std::string& text) override;
    void stockholdersChanged() override;
    void priceTypeChanged() override;
    std::optional<std::string> stockInfoPrice() const override;
    std::string orderRefusal() const override;
    // A stock information of the code as it stands came (isStockInfoBack).
    bool stockMarketKnown() const override { return isStockInfoBack_; }
    void stockInfoArrived(VTATCRS& set) override;
    void maximumChanged() override;
    void stockInfoRefused() override;
    void stockInfoFailed() override;
    void orderWillSend() override;
    void orderEnded(OrderOutcome outcome) override;
    void showFailure(const RequestFailure& failure) override;

private:
    // Takes the stock handed in (and asks for its information), or loads the session's accounts.
    void readOpening();
    void makeForm();
    void focus(int tag);
    void setSelectedResponse(int tag);
    void resignInputs();
    void placeTradeButton(double y, double height);
    void showLimitPriceField();
    std::shared_ptr<UITableViewCell> formCell(const std::string& id, const std::string& title, bool onDark = false);

    Geometry geometry_;
    bool appeared_ = false;
    std::shared_ptr<VTAStock> currentStock_;
    std::string cachedStockName_;
    std::string lastStockCode_;  // "stkcode" of the last stock information
    bool isStockInfoBack_ = false;
    bool isNeedRequestAvailable_ = false;
    bool isExpandQuotes_ = false;
    bool raised_ = false;
    int selectedResponse_ = 0;
    std::optional<std::string> goUpStaying_, fallStaying_;

    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UITextField> code_, price_, quantity_;
    std::shared_ptr<UILabel> name_, max_, stockholderLabel_, priceTypeLabel_;
    std::shared_ptr<YMPickerButton> stockholderButton_, priceTypeButton_;
    std::shared_ptr<UIPickerView> stockholderPicker_, priceTypePicker_;
    std::shared_ptr<UISegmentedControl> segments_;
    std::shared_ptr<UIButton> expandButton_;
    std::shared_ptr<UIGlossyButton> tradeButton_;
    std::shared_ptr<UIToolbar> keyboardBar_;
    std::shared_ptr<UIBarButtonItem> prevItem_, nextItem_;
    std::unique_ptr<TradeQuotesPanel> panel_;
};
