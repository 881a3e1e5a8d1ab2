// Changes a customer makes to the books from the trade menu (functions,
// keys and columns named in core/contracts/TradeQueryContract.h); a request
// of an ended session is refused ("会话已失效，请重新登录").
//
// 500/82 cost change. Request: "market" (shareholder market), "stkcode",
//   "costprice" (yuan, at most three decimals), "secuid". Refusals:
//   "成本价格错误" for no such price, "该股东帐户没有此证券持仓" when the
//   account holds no such stock. Answers the result set "修改成功".
// 500/12 password change. Request: "oldpwd", "newpwd". Refusals:
//   "原交易密码错误", "新密码必须为6位数字", "新密码不能与原密码相同". The
//   session gets a new "authid" (the old one ends) and the answer is set 0
//   "authid" with it.
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "sim/SimOrders.h"
#include "sim/SimSecrets.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

using namespace TradeQueryContract;

constexpr const char* kBadCost = "成本价格错误";
constexpr const char* kNoHolding = "该股东帐户没有此证券持仓";
constexpr const char* kBadNewPassword = "新密码必须为6位数字";
constexpr const char* kSamePassword = "新密码不能与原密码相同";

std::vector<uint8_t> costChange(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const SimPrice cost = simParsePrice(c.request.value(Key::kCostPrice), 3);
    if (cost < 0) return simErrorSet(-1, kBadCost);
    const std::string secuid = c.request.value(Key::kSecuId), code = c.request.value(Key::kStockCode);
    const SimHolding* held = reader->holding(secuid, code);
    if (!held || held->market != c.request.value(Key::kMarket)) return simErrorSet(-1, kNoHolding);
    SimHolding& h = *simTradeCustomerToChange(c, *reader).holding(secuid, code);
    h.costBasis = cost * h.quantity;
    return simResultSet(1, "修改成功");
}

std::vector<uint8_t> passwordChange(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const SimBooks& books = c.server.view<SimTradeRoom>().books;
    const std::string now = c.request.value(Key::kOldPassword), wanted = c.request.value(Key::kNewPassword);
    if (!books.secretMatches(reader->password, now)) return simErrorSet(-1, Error::kWrongPassword);
    // A replayed change gives digests: one the books could not take was written as "".
    if (simSecretsDigested() ? wanted.empty()
                             : wanted.size() != 6 || wanted.find_first_not_of("0123456789") != std::string::npos)
        return simErrorSet(-1, kBadNewPassword);
    if (books.secretMatches(reader->password, wanted)) return simErrorSet(-1, kSamePassword);
    SimCustomer& who = simTradeCustomerToChange(c, *reader);
    SimBooks& changed = c.server.room<SimTradeRoom>().books;
    who.password = changed.secretOf(wanted);
    const std::string authid = changed.renewSession(c.request.value(TradeContract::Key::kAuthId));
    if (c.session) c.session->tradeAuthId = authid;
    return TCRSWriter().beginSet().addField(Col::kAuthId, TCRSFieldType::VarText).addRecord({authid}).bytes();
}

}  // namespace

void registerAccountFunctions(SimRegistry& r) {
    r.menu().add({210, 2, "修改密码", "xgmm?tc_sfuncno=12"});
    r.add(kCostChange, costChange);
    r.add(kPasswordChange, passwordChange);
}
