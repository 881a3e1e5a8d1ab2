#include "funds/FundRules.h"

#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAParamter.h"
#include "core/contracts/FundContract.h"
#include "shell/TradeSession.h"
#include "ui/VTATextField.h"

namespace Key = FundContract::Key;

std::string fundAmountRefusal(const std::string& amount) {
    const std::string text = trimBlanks(amount);
    if (text.empty()) return kNoAmountText;
    if (!isDecimalText(text)) return kBadAmountText;
    if (!gtm_matchesPattern(text, kFundDecimalPattern)) return kAmountPatternText;
    return "";
}

std::string redeemUnitsRefusal(const std::string& units) {
    const std::string text = trimBlanks(units);
    if (!gtm_matchesPattern(text, kFundDecimalPattern) || text.find_first_not_of("0.") == std::string::npos)
        return kNoUnitsText;
    return "";
}

std::string buySaleSummary(int tradeType, const std::string& code, const std::string& name, const std::string& amount) {
    const bool purchase = tradeType == kPurchaseType;
    std::string text = purchase ? "交易类型：基金申购 \n" : "交易类型：基金认购 \n";
    text += "基金代码：" + code + "\n";
    text += "基金名称：" + name + "\n";
    text += (purchase ? "申购金额：" : "认购金额：") + amount + "\n";
    return text;
}

std::string redeemSummary(const std::string& code, const std::string& name, const std::string& units) {
    return "交易类型：基金赎回 \n基金代码：" + code + "\n基金名称：" + name + "\n赎回份额：" + units + "\n";
}

RequestBuilder fundLookupRequest(const std::string& code) {
    // The lookup's function keys go in capitals, as the brokerage has always had them.
    RequestBuilder r = RequestBuilder::fromText("TC_MFUNCNO=" + std::to_string(FundContract::kFundLookup.main) +
                                                "&TC_SFUNCNO=" + std::to_string(FundContract::kFundLookup.sub));
    r.add(Key::kFundCode, code)
        .appendFields(VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""))
        .add("fundid", tradeFundId());
    return r;
}

RequestBuilder fundInfoRequest(const std::string& code) {
    RequestBuilder r = RequestBuilder::trade(FundContract::kFundInfo, true);
    r.add(Key::kFundCode, code);
    return r;
}

RequestBuilder fundBuyRequest(int tradeType, const std::string& code, const std::string& amount,
                              const std::string& checkRisk) {
    RequestBuilder r = RequestBuilder::trade(tradeType == kSubscriptionType ? FundContract::kSubscribe.sub
                                                                            : FundContract::kPurchase.sub);
    r.add(Key::kFundCode, code).add(Key::kAmount, amount).add(Key::kCheckRisk, checkRisk);
    return r;
}

RequestBuilder heldFundsRequest() { return RequestBuilder::trade(FundContract::kHoldings.sub); }

RequestBuilder redeemRequest(const std::string& code, const std::string& units, int redeemType) {
    RequestBuilder r = RequestBuilder::trade(FundContract::kRedeem.sub);
    r.add(Key::kFundCode, code).add(Key::kUnits, units).add(Key::kRedeemType, redeemType);
    return r;
}

std::string hexFundName(const std::string& name) { return hexString(dataFromString(name)); }
