#pragma once
// The five kinds of trading account the trade forms offer, in their order:
// "资金帐号" (value "Z", the fund account), "深A股东" ("0"), "沪A股东" ("1"),
// "深B股东" ("2"), "沪B股东" ("3"). The value is what a request sends as
// "inputtype".
#include <string>
#include <vector>

struct TradeAccountType {
    std::string name;
    std::string value;
};

const std::vector<TradeAccountType>& tradeAccountTypes();
// The row of a type value: 0 for "Z" (and for a value that is none of the
// five), the value's digit + 1 for a shareholder account.
int tradeAccountTypeRow(const std::string& value);
