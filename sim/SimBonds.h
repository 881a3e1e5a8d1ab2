#pragma once
// The room of the exchange products family (SimBonds.cpp): the convertible
// bonds a customer converts into shares or puts back to the issuer, and the
// exchange-listed funds subscribed for cash and redeemed at their net value.
//
// The bonds and fund shares a customer holds are holdings of the books
// (SimBooks.h), in 张 and 份, and securities of the market (SimMarket.h),
// quoted, bought and sold as stocks are. The orders here are stock orders of
// the books with a ledger of their own (SimOrders.h): the market does not
// match them, the brokerage confirms them overnight (the first pass of a
// later trading day):
// a conversion gives whole shares of the stock at the conversion price (the
// rest of the face value in cash), a put-back the put-back price a 张, a
// subscription whole fund shares at the net value (the rest of the money
// comes back), a redemption the net value a share.
//
// Units: prices in 厘 (SimPrice), money in 分. Not thread-safe: the server's
// state lock guards it.
#include <memory>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

struct SimExchangeProduct {
    enum class Kind { ConvertibleBond, ExchangeFund };
    Kind kind = Kind::ConvertibleBond;
    std::string code, name;
    std::string market;  // the shareholder market ("0" 深A, "1" 沪A)
    // A bond: 100 元 of face value a 张, converted into the stock at its price.
    std::string stockCode, stockName;
    SimPrice conversionPrice = 0;
    bool putBackOpen = false;
    SimPrice putBackPrice = 0;  // a 张
    // A fund: its net value a share and the least a subscription takes.
    SimPrice nav = 0;
    SimMoney minimum = 0;
};

class SimOrderLedger;
// How the product's orders move the books.
std::shared_ptr<const SimOrderLedger> simProductLedger(const SimExchangeProduct& product);

struct SimBondsRoom {
    SimBondsRoom();  // seeded
    std::vector<SimExchangeProduct> products;
    const SimExchangeProduct* product(const std::string& code) const;
};

// What a 张 of convertible bond is worth at face value (厘).
inline constexpr SimPrice kSimBondFaceValue = 100000;
