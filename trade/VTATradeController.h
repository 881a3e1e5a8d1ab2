#pragma once
// The stock order screen of systems older than "4.1": a form of eight rows
// (股东代码, 证券代码, 证券名称, 报价方式, price, quantity, the shortcuts, the
// maximum) over the toolbar "首页", the stock finder, "刷新" and "确定". No
// quote panel, no refresh, no progress overlay: the order rules are those of
// TradeOrderScreen, with the sell shortcuts rounded to whole lots too.
//
// The stock information is asked when the code field reaches its 6
// characters, on "刷新" (not while an order is in flight) and on appearing
// with a stock handed in. Its reply names the stock, puts the price (the
// handed-in price while the code is still that stock's, else the reply's;
// none while a market type is chosen), filters the shareholder accounts,
// empties the quantity and shows the maximum ("%@股"). The chosen order type
// stays unless the stock's market does not offer it: then the limit order.
// The information is asked without a price, but a buy at a market type has
// its maximum asked again at the limit-up price it is frozen at
// (TradeOrderScreen). "确定" pressed while the code's information is on its
// way waits for it; with none of the code come (it failed, or was refused)
// the order is refused "委托数据错误": the account is the stock's market's.
#include <memory>
#include <string>

#include "platform/uikit/UITableView.h"
#include "trade/TradeOrderScreen.h"
#include "ui/VTATextField.h"

class TradePickerStrip;
class UILabel;
class UISegmentedControl;

class VTATradeController : public TradeOrderScreen,
                           public UITableViewDataSource,
                           public UITableViewDelegate,
                           public VTATextFieldDelegate {
public:
    static constexpr int kCodeFieldTag = 301;
    static constexpr int kPriceFieldTag = 302;
    static constexpr int kQuantityFieldTag = 303;
    static constexpr int kPriceTypePickerTag = 101;
    static constexpr int kStockholderPickerTag = 102;
    static constexpr double kKeyboardScroll = 120;

    explicit VTATradeController(int type);
    static std::shared_ptr<VTATradeController> initWithType(int type) {
        return std::make_shared<VTATradeController>(type);
    }
    ~VTATradeController() override;

    int type() const { return tradeDirection(); }
    float quickPrice() const { return quickPrice_; }
    int maxTradableNum() const { return maxTradableAmount(); }

    UITableView* tableView();
    VTATextField* stockCode();
    VTATextField* price();
    VTATextField* num();
    UILabel* stockName();
    UILabel* gdhLabel();
    UILabel* valueLabel();
    UILabel* maxNum();
    UISegmentedControl* numSegment();
    TradePickerStrip* stockholderPickerTab() const { return stockholderStrip_.get(); }
    TradePickerStrip* pricePickerTab() const { return priceStrip_.get(); }

    void segmentAction(int segment) { applyQuantityShortcut(segment); }
    // Does nothing.
    void updateTheNum() {}

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void onCommandOK() override;
    void onCommandRefresh() override;

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 8; }
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
    void stockInfoArrived(VTATCRS& set) override;
    void maximumChanged() override;

private:
    void closePickers();
    void showStrip(TradePickerStrip& strip, int row);

    float quickPrice_ = 0;
    std::string quickCode_;  // the code the quick price belongs to
    int lastTextTag_ = 0;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<VTATextField> code_, price_, num_;
    std::shared_ptr<UILabel> gdh_, name_, value_, max_;
    std::shared_ptr<UISegmentedControl> segments_;
    std::unique_ptr<TradePickerStrip> stockholderStrip_, priceStrip_;
};
