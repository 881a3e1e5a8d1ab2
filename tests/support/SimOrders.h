#pragma once
// Orders put straight into the simulator's books, for tests that need a list
// or an open order without placing it through a screen.
#include <cstdint>
#include <string>

#include "sim/SimBooks.h"

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
