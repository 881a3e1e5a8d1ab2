#pragma once
// The margin order screen of systems from "4.1" on (融资买入, direction 0;
// 融券卖出, direction 1): the stock order screen's form (trade/
// TradeViewController: shareholder and order-type pickers, code, name, price
// with the quote panel of order book and intraday chart refreshed every 2 s,
// quantity with its shortcuts and maximum, the big button) placing credit
// orders (500/6 with "creditid=0" and credit flag 0 or 1).
//
// What differs from the stock order screen:
// - the maximum (500/4) carries the price field's text (empty for a market
//   type; a financing buy turned to a market type asks it again at the
//   limit-up price, as the stock order screen does) and the menu item's link
//   whole, whose "creditflag" tells the brokerage which maximum; a sixth code
//   digit empties the price first, so the new stock's maximum is not
//   reckoned at the old stock's price;
// - a short sell offers the limit order alone; its maximum shows as a number
//   however small ("最大可卖数量为0股");
// - an order is checked as the form stands first (the code, the price, the
//   quantity), then for a maximum of the code typed ("委托数据错误"); it
//   carries no risk question, and empties the quantity as it leaves;
// - the stock handed in (a list's row: a message of type 1) is read on the
//   first appearance only, and the accounts loaded once: coming back keeps
//   what the customer chose;
// - the quote panel is shorter (pages 160 high, the row 220 open).
#include <memory>

#include "trade/TradeViewController.h"

class MarginTradeViewController : public TradeViewController {
public:
    explicit MarginTradeViewController(int direction);
    static std::shared_ptr<MarginTradeViewController> initWithTradeDirection(int direction) {
        return std::make_shared<MarginTradeViewController>(direction);
    }

    // The credit flag the orders carry (0 financing buy, 1 short sell).
    int creditFlag() const;

protected:
    std::vector<OrderType> orderTypesOf(const std::string& market) const override;
    RequestBuilder makeStockInfoRequest() const override;
    std::optional<RequestBuilder> makeMaximumRequest(const std::optional<std::string>& price) const override;
    RequestBuilder makeOrderRequest(const OrderTicket& ticket) const override;
    std::string orderRefusal() const override;
    void codeChanged() override;
    bool readsOpeningOnEachAppearance() const override { return false; }
    void maximumChanged() override;
    void orderWillSend() override;
};
