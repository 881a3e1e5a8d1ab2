#include "margin/MarginRepayRules.h"

#include "core/RequestText.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"
#include "trade/OrderRules.h"

namespace Key = MarginContract::Key;

namespace {

RequestBuilder creditRequest(FunctionId function) {
    RequestBuilder r = RequestBuilder::trade(function.sub);
    r.add(Key::kCreditId, MarginContract::Value::kCreditId)
        .add(TradeContract::Key::kFundId, tradeFundId())
        .add(Key::kMoneyType, MarginContract::Value::kRMB);
    return r;
}

}  // namespace

RequestBuilder marginDebtRequest() { return creditRequest(MarginContract::kDebt); }

RequestBuilder marginCashRepayRequest(const std::string& amount) {
    RequestBuilder r = creditRequest(MarginContract::kCashRepay);
    r.add(Key::kPayOffAsset, amount);
    return r;
}

RequestBuilder marginAutoRepayStatusRequest() { return RequestBuilder::trade(MarginContract::kAutoRepayStatus.sub); }

RequestBuilder marginAutoRepaySetRequest(bool on) {
    RequestBuilder r = RequestBuilder::trade(MarginContract::kAutoRepaySet.sub);
    r.add(Key::kRepayFlag, on ? 1 : 0);
    return r;
}

bool isPositiveDecimalText(const std::string& text) {
    return isPriceText(text) && text.find_first_of("123456789") != std::string::npos;
}

std::string marginSheetText(const std::vector<std::pair<std::string, std::string>>& lines) {
    std::string text = "您确定要发送如下信息吗？\n";
    for (const auto& [caption, value] : lines) text += caption + "：" + value + " \n";
    return text;
}
