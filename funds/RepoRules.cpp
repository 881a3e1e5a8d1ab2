#include "funds/RepoRules.h"

#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAFloat.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/RepoContract.h"
#include "shell/TradeSession.h"
#include "ui/VTATextField.h"

namespace Key = RepoContract::Key;

namespace {
// Whole 元 without a leading zero, with decimals, or below ten with decimals.
constexpr const char* kAmountPattern = "([1-9][0-9]*)|([1-9][0-9]*)(\\.[0-9]+)|([0-9]\\.[1-9]+)";
}  // namespace

std::optional<std::string> repoQuantityOfAmount(const std::string& amount) {
    const std::string text = trimBlanks(amount);
    if (text.empty() || !isDecimalText(text) || !gtm_matchesPattern(text, kAmountPattern)) return std::nullopt;
    const std::optional<VTAFloat> yuan = VTAFloat::VTAFloatWithString(text);
    if (!yuan || yuan->value() <= 0) return std::nullopt;
    // Hundreds of 元 with two decimals are the amount's whole 元: its decimals must all be zeros.
    int64_t whole = yuan->value();
    for (int d = 0; d < yuan->unit(); ++d) {
        if (whole % 10 != 0) return std::nullopt;
        whole /= 10;
    }
    if (whole <= 0) return std::nullopt;
    return VTAFloat(whole, 2).toString();
}

std::string repoBuySummary(const std::string& product, const std::string& amount) {
    return "请仔细确认以下信息:\n交易类型：买入（澄穗通）\n证券名称：" + product + "\n委托金额：" + amount;
}

std::string repoEndSummary(const std::string& name, const std::string& code, const std::string& quantity) {
    return "请确认以下信息:\n交易类型:提前终止（澄穗通）\n证券名称：" + name + "\n证券代码：" + code + "\n委托数量：" +
           quantity + "\n";
}

std::string repoSecuIdOfMarket(int market) {
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    if (!customer) return "";
    std::string secuid;
    for (customer->fetchFirst(); !customer->isEOF(); customer->fetchNext())
        if (intValueOfText(customer->toStringWithFieldName(Key::kMarket).value_or("")) == market) {
            secuid = customer->toStringWithFieldName(Key::kSecuId).value_or("");
            break;
        }
    customer->fetchFirst();
    return secuid;
}

RequestBuilder repoProductsRequest() {
    RequestBuilder r = RequestBuilder::trade(RepoContract::kProducts.sub);
    r.add(Key::kUnlist, "|market|");
    return r;
}

RequestBuilder repoInfoRequest(const std::string& code) {
    // The information's function keys go in capitals, as the brokerage has always had them.
    RequestBuilder r = RequestBuilder::fromText("TC_MFUNCNO=" + std::to_string(RepoContract::kInfo.main) +
                                                "&TC_SFUNCNO=" + std::to_string(RepoContract::kInfo.sub));
    r.appendFields(VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""))
        .add(Key::kCode, code)
        .add("fundid", tradeFundId());
    return r;
}

RequestBuilder repoBuyRequest(int market, const std::string& secuid, const std::string& code,
                              const std::string& quantity) {
    RequestBuilder r = RequestBuilder::trade(RepoContract::kBuy.sub);
    r.add(Key::kMarket, market).add(Key::kSecuId, secuid).add(Key::kCode, code).add(Key::kQuantity, quantity);
    return r;
}

RequestBuilder repoEndRequest(int market, const std::string& secuid, const std::string& code,
                              const std::string& quantity, const std::string& matchDate, const std::string& matchCode) {
    RequestBuilder r = RequestBuilder::trade(RepoContract::kEnd.sub);
    r.add(Key::kMarket, market)
        .add(Key::kSecuId, secuid)
        .add(Key::kCode, code)
        .add(Key::kQuantity, quantity)
        .add(Key::kMatchDate, matchDate)
        .add(Key::kMatchCode, matchCode);
    return r;
}
