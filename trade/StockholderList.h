#pragma once
// The shareholder accounts an order may go to, from the trade session's
// "tradeUserAllTCRS": a flat list of pairs, the request fragment
// "market=..&secuid=.." at the even index and the display text ("~market"
// and "secuid", "沪AA100001234") at the odd one; the picker shows the odd
// elements, the order sends the even element of the selected pair.
//
// The preferred shareholder (a holding row hands its display text to the
// order screen; later the customer's pick) is selected again whenever the
// list is filtered for a stock's market, when either half of a pair equals it.
#include <string>
#include <vector>

class StockholderList {
public:
    // Every shareholder account of the session; answers the market key of
    // the first customer record ("market" of "tradeUserTCRS").
    std::string load();
    // The accounts of one market; the preferred one selected when among them.
    void filterByMarket(const std::string& market);

    // Pairs in the list, and their halves ("" out of range).
    int count() const { return static_cast<int>(flat_.size() / 2); }
    std::string fragment(int pair) const { return element(2 * pair); }
    std::string display(int pair) const { return element(2 * pair + 1); }
    const std::vector<std::string>& elements() const { return flat_; }

    int selected() const { return selected_; }
    // The customer's pick: selects the pair and makes it the preferred one
    // (ignored out of range).
    void pick(int pair);
    const std::string& preferred() const { return preferred_; }
    void setPreferred(const std::string& text) { preferred_ = text; }

    // The selected pair's display text, or "无对应股东代码".
    std::string label() const;
    // The selected pair's fragment; "" when the list is empty.
    std::string selectedFragment() const { return fragment(selected_); }

private:
    void fill(const std::string* market);
    std::string element(int index) const;

    std::vector<std::string> flat_;
    int selected_ = 0;
    std::string preferred_;
};
