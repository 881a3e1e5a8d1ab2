#pragma once
// What the two stock order screens (the newer TradeViewController and the
// older VTATradeController) run alike around their forms: the direction, the
// order types of the stock's shareholder market, the shareholder accounts,
// the maximum quantity and its shortcuts, the stock information (500/4), and
// the order road: checks, the confirmation sheet, the order (500/6), the
// risk warning asked and the same order sent again once accepted, and the
// success alert whose "确定" closes the screen.
//
// The shareholder account an order goes to is the one of the stock's
// market, which only the stock information names: with none of the code the
// form holds, the order is refused "委托数据错误" (destinationRefusal). A
// form whose "确定" may come before that information (the older forms,
// confirmOrderOnceStockKnown) waits for it while it is on its way: the
// confirmation comes with it, and none when it is refused, fails or the form
// leaves; pressed again then, it is refused.
//
// A buy at a market type is frozen at the day's limit-up price (the
// brokerage does not know what it will pay), so its maximum is asked again
// at that price, the stock information's "maxrisevalue": when the customer
// turns a buy to a market type, and after a stock information that leaves a
// market type chosen; turned back to the limit order, it is asked at the
// form's price again. Until that answer the maximum is unknown and the
// shortcuts fill nothing: "全部" offers only what the brokerage takes.
//
// Each request kind has its tag: a stock-information reply that comes late
// is never taken for the order's reply. sureToTrade is set from the
// customer's "确定" until the order's reply or failure; while it is set no
// other order goes out. isSureRisk is set by accepting the risk warning
// (RiskReask) and cleared by the next order reply that is not one, or by
// "取消". Leaving the
// screen with the order in flight tells the customer to check the day's
// orders (RequestBinding).
//
// A subclass gives its form's texts and reacts through the hooks below; the
// margin order screens give their own requests, confirmation and reading of
// the order's reply too.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/VTAChoice.h"
#include "platform/uikit/UIActionSheet.h"
#include "shell/VTAViewControllers.h"
#include "trade/OrderRules.h"
#include "trade/RiskReask.h"
#include "trade/StockholderList.h"

class VTATCRS;

class TradeOrderScreen : public VTAViewControllers, public UIActionSheetDelegate {
public:
    static constexpr int kStockInfoTag = 7010;
    static constexpr int kMaximumTag = 7011;
    static constexpr int kOrderTag = 1601;
    static constexpr int kConfirmSheetTag = 101;
    static constexpr int kOrderSentAlertTag = 1001;
    static constexpr int kRiskAlertTag = RiskReask::kAlertTag;

    ~TradeOrderScreen() override;

    int tradeDirection() const { return direction_; }
    // The chosen order type's code ("0B", "0a" ...).
    const std::string& priceType() const { return priceType_; }
    // The order types offered (built again by reloadPriceTypes).
    const VTAChoice& priceTypeChoice() const { return priceTypeChoice_; }
    // The label of the chosen type.
    std::string priceTypeLabel() const;
    // The shareholder market of the stock ("0".."3"), as the session or the
    // last stock information gave it.
    const std::string& marketNO() const { return strMarketNO_; }
    const StockholderList& stockholders() const { return stockholders_; }
    int maxTradableAmount() const { return maxTradable_; }
    bool sureToTrade() const { return sureToTrade_; }
    bool isSureRisk() const { return reask_.consent(); }
    const std::shared_ptr<UIActionSheet>& confirmationSheet() const { return sheet_; }

    // Fills the shareholder accounts from the session (the market key from
    // its first customer record), or those of one market.
    void loadStockholderRecord();
    void filterStockholderByMarket(const std::string& market);
    // The order types of the market key for the direction; answers their number.
    int reloadPriceTypes();
    // The customer picks an order type or a shareholder account (a row of its picker).
    void choosePriceType(int row);
    void chooseStockholder(int row);
    // The quantity of a shortcut segment into the quantity field, in the lot
    // of the last stock information's security (nothing while the maximum is
    // negative).
    void applyQuantityShortcut(int segment);
    // Asks for the stock information of the code typed.
    void requestStockInfo();
    // Asks the maximum again for the order type chosen (a buy at a market
    // type at the limit-up price of the code's stock information); its answer
    // changes the maximum only, which is unknown meanwhile. Nothing before
    // the code's stock information.
    void requestMaximum();
    // The order when one is confirmed (sureToTrade), else the stock information.
    void requestTrade();
    // The order command: the checks, then the confirmation sheet.
    void confirmOrder();
    // The same, once the stock's market is known: while its stock information
    // is on its way the command waits for it.
    void confirmOrderOnceStockKnown();

    void viewWillDisappear(bool animated) override;

    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    // direction: 0 buy, 1 sell; oddLotSells: a sell's fractions carry its odd lot whole.
    TradeOrderScreen(int direction, bool oddLotSells);

    // ---- the form ----
    virtual std::string codeText() const = 0;
    virtual std::string priceText() const = 0;
    virtual std::string quantityText() const = 0;
    virtual std::string stockNameText() const = 0;
    virtual void setQuantityText(const std::string& text) = 0;
    // The shareholder list or its selection changed: show it.
    virtual void stockholdersChanged() = 0;
    // The chosen order type changed: the price field follows it.
    virtual void priceTypeChanged() = 0;
    // The price the stock information is asked at (none by default).
    virtual std::optional<std::string> stockInfoPrice() const { return std::nullopt; }
    // The first check the form fails ("" none); by default the shared checks
    // and, last, destinationRefusal.
    virtual std::string orderRefusal() const;
    // "委托数据错误" while the stock's market is not known (stockMarketKnown),
    // "无对应股东代码" when it leaves no shareholder account to send to or no
    // order type; "" otherwise.
    std::string destinationRefusal() const;
    // Whether the stock's shareholder market is known for the code the form
    // holds: by default once a stock information of that code has come.
    virtual bool stockMarketKnown() const;
    // The order types the market key offers (by default orderTypesFor the
    // direction).
    virtual std::vector<OrderType> orderTypesOf(const std::string& market) const;
    // The requests as the screen sends them: by default the stock order's
    // (stockInfoRequest at stockInfoPrice, orderRequest).
    virtual RequestBuilder makeStockInfoRequest() const;
    virtual RequestBuilder makeOrderRequest(const OrderTicket& ticket) const;
    // The maximum at a price: by default the stock information's request at
    // it; none where the screen's maximum takes no price (its maximum then
    // stays the stock information's).
    virtual std::optional<RequestBuilder> makeMaximumRequest(const std::optional<std::string>& price) const;
    // The confirmation sheet's title (by default orderConfirmationText).
    virtual std::string confirmationText(const OrderTicket& ticket) const;
    // Whether an order's reply that is no error says the brokerage took the
    // order (by default any such reply does).
    virtual bool orderTaken(VTATCRS& set) const { return true; }

    // ---- what happened ----
    virtual void stockInfoArrived(VTATCRS& set) = 0;
    // The maximum was asked again (unknown till the answer) or its answer came.
    virtual void maximumChanged() {}
    // The brokerage refused the stock, or the request failed on its way.
    virtual void stockInfoRefused() {}
    virtual void stockInfoFailed() {}
    virtual void orderWillSend() {}
    // Sent: the brokerage took it; Refused: it answered why not; RiskWarning:
    // it asks the customer to accept the risk first; Failed: no answer came;
    // Unconfirmed: an answer that neither took nor refused it (the customer
    // is told to check the day's orders).
    enum class OrderOutcome { Sent, Refused, RiskWarning, Failed, Unconfirmed };
    virtual void orderEnded(OrderOutcome outcome) {}

    // Ends the order on its failure, ignores an unreadable stock information,
    // and shows the rest through showFailure.
    void requestDidFail(const RequestFailure& failure) override;
    // By default the alert of the failure's text.
    virtual void showFailure(const RequestFailure& failure) { VTAViewControllers::requestDidFail(failure); }
    // Puts the chosen type back to the limit order (the form shows it).
    void resetPriceType();
    // The order types and the accounts follow the stock's shareholder market;
    // a chosen type the market does not offer goes back to the limit order
    // (and priceTypeChanged tells the form).
    void followStockMarket(const std::string& market);
    // The maximum of the last stock information: its "num", within an int.
    void setMaxTradableAmountFrom(VTATCRS& set);
    // No maximum known: the shortcuts fill nothing.
    void forgetMaxTradableAmount() { maxTradable_ = -1; }
    void setMarketNO(const std::string& market) { strMarketNO_ = market; }
    StockholderList& stockholderList() { return stockholders_; }
    // The shareholder account the opening menu item names (a holding row's)
    // becomes the preferred one; called when the view is built.
    void preferMenuStockholder();

private:
    // A buy at a market type: its maximum is the one at the limit-up price.
    bool buysAtMarketType() const { return direction_ == kBuy && !isLimitOrderCode(priceType_); }
    void stockInfoReplied(const RequestReply& reply);
    void maximumReplied(const RequestReply& reply);
    void orderReplied(const RequestReply& reply);
    void sendOrder();

    int direction_;
    bool oddLotSells_;
    std::string priceType_;
    VTAChoice priceTypeChoice_;
    std::string strMarketNO_;
    StockholderList stockholders_;
    int maxTradable_ = -1;
    int lot_ = kShareLot;  // the lot of the stock information's security: what the shortcuts count in
    // "stkcode" and "maxrisevalue" of the last stock information.
    std::string limitUpCode_, limitUp_;
    bool sureToTrade_ = false;
    bool confirmAwaitsStockInfo_ = false;               // a "确定" waiting for the stock information
    RiskReask reask_{RiskReask::Buttons::CancelFirst};  // its consent is isSureRisk
    OrderTicket ticket_;                                // the order confirmed, sent again once the risk is accepted
    std::shared_ptr<UIActionSheet> sheet_;
};
