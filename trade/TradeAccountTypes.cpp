#include "trade/TradeAccountTypes.h"

#include "core/contracts/TradeContract.h"

const std::vector<TradeAccountType>& tradeAccountTypes() {
    using namespace TradeContract::AccountType;
    static const std::vector<TradeAccountType> types = {
        {"资金帐号", kFund},     {"深A股东", kShenzhenA}, {"沪A股东", kShanghaiA},
        {"深B股东", kShenzhenB}, {"沪B股东", kShanghaiB},
    };
    return types;
}

int tradeAccountTypeRow(const std::string& value) {
    const auto& types = tradeAccountTypes();
    for (size_t i = 0; i < types.size(); ++i)
        if (types[i].value == value) return static_cast<int>(i);
    return 0;
}
