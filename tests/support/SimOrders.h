#pragma once
// Orders put straight into the simulator's books, for tests that need a list
// or an open order without placing it through a screen.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimBooks.h"
#include "sim/SimOrders.h"

// Customer A's limit order for 平安银行 on its Shenzhen account (0B buy, 0S
// sell), numbered as the books number orders, nothing held or filled yet.
inline SimOrder pingAnOrderOfA(SimBooks& books, const std::string& fundid, const std::string& bsflag, int64_t price,
                               int64_t quantity, int date, int time) {
    SimOrder o;
    o.ordersno = books.nextOrderNumber();
    o.date = date;
    o.time = time;
    o.fundid = fundid;
    o.market = "0";
    o.secuid = "0010001234";
    o.code = "000001";
    o.name = "平安银行";
    o.bsflag = bsflag;
    o.price = price;
    o.quantity = quantity;
    return o;
}

// The customer's new-issue subscriptions (the orders the lists call 申购), oldest first.
inline std::vector<SimOrder> subscriptionsOf(const SimCustomer& who) {
    std::vector<SimOrder> out;
    for (const auto& o : who.orders)
        if (o.ledger && o.ledger->direction(o) == "申购") out.push_back(o);
    return out;
}
