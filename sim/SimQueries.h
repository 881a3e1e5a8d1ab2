#pragma once
// What the simulator's query lists share (SimQueries.cpp and the other
// families whose lists page the same way): a list answered one page at a
// time with the brokerage's cursor, and the texts its rows show.
//
// Paging: every row carries its cursor (Col::kCursor of
// core/contracts/TradeQueryContract.h), its ordinal in the whole list ("1",
// "2" ...), except the list's last row, whose cursor is empty: a client
// knows it reached the end. A request names the cursor of the last row it
// holds (none or empty: from the start) and "count", the rows it wants (all
// without it); the rows after that cursor come back.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimMarket;
class SimRequest;

struct SimListColumn {
    std::string name;
    std::string title;  // the field's descriptor: the client's column title
};
using SimListRow = std::vector<std::string>;  // one text per column

// The page the request asks for, the cursor column added at the end. An
// error set "查询定位串错误" for a cursor that is no row number.
std::vector<uint8_t> simPagedList(const SimRequest& request, const std::vector<SimListColumn>& columns,
                                  const std::vector<SimListRow>& rows);

// Money in 分 as yuan with two decimals ("-12.30").
std::string simMoneyText(SimMoney amount);
// A time of day HHmmss as the lists show it ("09:30:05").
std::string simTimeText(int hhmmss);
// A price in 厘 with `decimals` decimals (2 or 3), rounded down.
std::string simPriceText(SimPrice price, int decimals = 2);
// "深A", "沪A", "深B", "沪B" of a shareholder market ("" for others).
std::string simShareholderMarketName(const std::string& market);
// 1 Shenzhen, 2 Shanghai: the quote market of a shareholder market.
int simQuoteMarketOf(const std::string& shareholderMarket);
// The price a holding is valued at now: the market's last price of the
// stock, its cost when the market does not quote it.
SimPrice simHoldingPrice(const SimMarket& market, const SimHolding& holding, double now);
// The decimals the lists show a security's prices in: the market's own for
// it (3 for a bond, a fund and a Shanghai B share), else those of its
// shareholder market (3 for Shanghai B, 2 for the others).
int simPriceDecimals(const SimMarket& market, const std::string& shareholderMarket, const std::string& code);

// Adds the orders and deals of the weeks before `now` to the seeded books
// (SimPastActivity.cpp): what the history lists show.
void simAddPastActivity(SimBooks& books, const SimMarket& market, double now);
