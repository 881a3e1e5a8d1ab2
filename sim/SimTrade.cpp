// The trade family of the simulated server: the branch directory, the trade
// login, the soft token and the relation of a phone to a fund account, over
// the books of SimBooks.h (functions, keys and columns named in
// core/contracts/TradeContract.h, BranchContract.h, RelationContract.h and
// SystemContract.h).
//
// 501/17 branch list (request types 3 and 4). Reply set 0: "org_code",
//   "org_name", one record per branch.
// 500/1 trade login. Request: "inputtype" (AccountType), "custorgid",
//   "inputid" (a fund account normalised or as typed, a shareholder account as
//   typed or normalised), "trdpwd", "authtype" and "authdata". Refusals
//   (error sets): an unknown account "帐号不存在", a wrong password
//   "交易密码错误，还可尝试N次"; then the authentication: a customer with a soft token must
//   send authtype 5 ("认证失败，您已经申请了动态口令" otherwise) from the phone
//   the token was issued to ("找不到令牌" from another) with a code of the
//   token's counter or the next SimBooks::kTokenWindow - 1 ("令牌验证失败" for
//   a wrong or used code; a match moves the counter past it); authtype 5
//   without a token "找不到令牌"; authtype 2 without a typed code "此认证方式没有
//   申请", with a wrong one "认证口令错误"; authtype 0 from a customer who has a
//   typed code "请输入认证口令". Each wrong password or code counts: its
//   refusal ends with the tries left ("，还可尝试N次"), and the
//   SimBooks::kLockAfterFailures-th in a row locks the account for
//   SimBooks::kLockSeconds of the sim's clock: until then every login, token
//   application and relate of it is refused with the lock's text (how many,
//   how long, until when: "...请于14:36后再试").
//   Success opens a session for the phone of the service session (the
//   customer's earlier ones end) and answers set 0 "userinfo" (the session
//   text "custid=..&custorgid=..&authid=..", the authid random), set 1 the
//   customer, one record per shareholder account ("custid", "custname",
//   "orgid", "fundid", "market", "~market", "secuid", "~ofriskvalue" the
//   tolerance for fund risk), set 2 the shareholder accounts ("market",
//   "~market", "secuid", "fundid"). The server's request road admits a trade
//   request's session only from that phone and while it is not idle longer
//   than the session idle timeout (SimBooks::admit).
// 500/69 soft-token application. Request: "inputtype", "custorgid", "inputid"
//   (normalised), "trdpwd", "mobileno". The phone is the one the service
//   session logged in from: "mobileno" must name it ("手机号码与本机不符") and it
//   must be registered by its SMS ("本手机尚未注册，请先完成手机注册"); then the
//   account and password as the login's; a token serving another phone moves
//   only from that phone ("该帐号已在其他手机开通手机令牌，请在该手机上重新申请").
//   Issues a new token for the customer and the phone (replacing any; counter
//   1; its seed a new random secret) and answers set 0: "seed" (hex), "orgid",
//   "custid", "fundidlist", "secuidlist" (comma-separated, normalised).
// 3750/2 relate the session's phone to a fund account. Request as the
//   login's, plus "isimportccg" (1: the account's holdings join the phone's
//   own stocks). Reply: "result" 1 and "message"; a refusal is "result" 0
//   with the reason in "message".
// 100/5 the soft-token page's texts: "direction", "riskinfo", "promotion".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/BranchContract.h"
#include "core/contracts/RelationContract.h"
#include "core/contracts/SystemContract.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimPortfolio.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimSystem.h"
#include "sim/SimTrade.h"

namespace {

using namespace TradeContract;

constexpr const char* kUnknownAccount = "帐号不存在";
constexpr const char* kWrongPassword = "交易密码错误";
constexpr const char* kWrongTypedCode = "认证口令错误";
constexpr const char* kTypedCodeMissing = "请输入认证口令";
constexpr const char* kNotThisPhone = "手机号码与本机不符";
constexpr const char* kPhoneNotRegistered = "本手机尚未注册，请先完成手机注册";
constexpr const char* kTokenOnAnotherPhone = "该帐号已在其他手机开通手机令牌，请在该手机上重新申请";

// The lock's refusal: how many, how long, and until when by the server's
// clock (the minute it is over; "次日" when that is tomorrow).
std::string lockedText(double now, double until) {
    const SimClock::Local end = SimClock::local(std::ceil(until / 60) * 60);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", end.hour, end.minute);
    const bool tomorrow = end.yyyymmdd() != SimClock::local(now).yyyymmdd();
    return "交易密码或认证口令连续错误" + std::to_string(SimBooks::kLockAfterFailures) + "次，帐户已锁定" +
           std::to_string(int(SimBooks::kLockSeconds / 60)) + "分钟，请于" + (tomorrow ? "次日" : "") + time +
           "后再试";
}

const SimBooks& booksOf(SimCall& c) { return c.server.view<SimTradeRoom>().books; }

std::string phoneOf(const SimCall& c) { return c.session ? c.session->phone : std::string(); }

// A wrong password or code, counted toward the lock-out: its refusal with
// the tries left ("交易密码错误，还可尝试4次"), or the lock's when it was the
// last one allowed.
std::string failure(SimCall& c, const SimCustomer& who, const char* refusal) {
    const int left = c.server.countFailure(c, who);
    if (left == 0) return lockedText(c.now, *booksOf(c).lockedUntil(who, c.now));
    return std::string(refusal) + "，还可尝试" + std::to_string(left) + "次";
}

// The customer a request names by its account and password, checked on the
// books as they are; null with the refusal. A locked account is refused
// whatever the password.
const SimCustomer* identify(SimCall& c, std::string* refusal) {
    const SimBooks& books = booksOf(c);
    const SimRequest& r = c.request;
    const SimCustomer* who =
        books.customerForLogin(r.value(Key::kInputType), r.value(Key::kBranch), r.value(Key::kInputId));
    if (!who) {
        *refusal = kUnknownAccount;
        return nullptr;
    }
    if (const auto until = books.lockedUntil(*who, c.now)) {
        *refusal = lockedText(c.now, *until);
        return nullptr;
    }
    if (!books.secretMatches(who->password, r.value(Key::kPassword))) {
        *refusal = failure(c, *who, kWrongPassword);
        return nullptr;
    }
    return who;
}

// A login (or a relate) whose account, password and authentication passed.
struct Authenticated {
    const SimCustomer* who = nullptr;     // null: refused
    std::optional<int64_t> tokenCounter;  // of the token's code it gave
};

// The customer after the account, the password and the authentication of a
// login (or a relate) from the phone, checked on the books as they are; no
// customer with the refusal. A token serves only the phone it was issued to.
Authenticated authenticate(SimCall& c, std::string* refusal) {
    Authenticated a;
    const SimCustomer* who = identify(c, refusal);
    if (!who) return a;
    const std::string type = c.request.value(Key::kAuthType);
    const std::string data = c.request.value(Key::kAuthData);
    // Any type but the token's and the typed code's is the password's alone.
    c.request.noteTaken(Key::kAuthType,
                        type == AuthType::kSoftToken || type == AuthType::kTypedCode ? type : AuthType::kPasswordOnly);
    if (who->token) {
        const std::string phone = phoneOf(c);
        if (type != AuthType::kSoftToken)
            *refusal = Error::kTokenRequired;
        else if (!who->token->phone.empty() && who->token->phone != phone)
            *refusal = failure(c, *who, Error::kTokenNotFound);
        else if (!(a.tokenCounter = booksOf(c).tokenCodeCounter(*who->token, data)))
            *refusal = failure(c, *who, Error::kTokenCheckFailed);
    } else if (type == AuthType::kSoftToken) {
        *refusal = Error::kTokenNotFound;
    } else if (type == AuthType::kTypedCode) {
        if (who->typedCode.empty())
            *refusal = Error::kAuthNotApplied;
        else if (!booksOf(c).secretMatches(who->typedCode, data))
            *refusal = failure(c, *who, kWrongTypedCode);
    } else if (!who->typedCode.empty()) {
        *refusal = kTypedCodeMissing;
    }
    if (refusal->empty()) a.who = who;
    return a;
}

// The books take an authentication that passed: the token's code is used,
// the wrong tries in a row are forgotten. Answers the customer to change.
SimCustomer& admit(SimCall& c, const Authenticated& a) {
    SimBooks& books = c.server.room<SimTradeRoom>().books;
    SimCustomer& who = *books.customerById(a.who->custid);
    if (a.tokenCounter) who.token->counter = *a.tokenCounter + 1;
    books.noteSuccess(who);
    return who;
}

std::vector<uint8_t> branchList(SimCall& c) {
    TCRSWriter w;
    w.beginSet()
        .addField(BranchContract::Col::kCode, TCRSFieldType::VarText, 0, "营业部代码")
        .addField(BranchContract::Col::kName, TCRSFieldType::VarText, 0, "营业部名称");
    for (const auto& b : c.server.view<SimTradeRoom>().books.branches) w.addRecord({b.code, b.name});
    return w.bytes();
}

std::vector<uint8_t> login(SimCall& c) {
    std::string refusal;
    const Authenticated a = authenticate(c, &refusal);
    if (!a.who) return simErrorSet(-1, refusal);
    const SimCustomer* who = &admit(c, a);
    SimBooks& books = c.server.room<SimTradeRoom>().books;
    const std::string fundid = books.fundIdForLogin(*who, c.request.value(Key::kInputType),
                                                    c.request.value(Key::kBranch), c.request.value(Key::kInputId));
    const std::string authid = books.openSession(*who, fundid, phoneOf(c), c.now);
    if (c.session) c.session->tradeAuthId = authid;  // the service session holds it: it never gives way

    TCRSWriter w;
    w.beginSet().addField(Col::kSessionText, TCRSFieldType::VarText).addRecord({SimBooks::sessionText(*who, authid)});
    w.beginSet()
        .addField(Col::kCustId, TCRSFieldType::VarText, 0, "客户号")
        .addField(Col::kCustName, TCRSFieldType::VarText, 0, "客户姓名")
        .addField(Col::kOrgId, TCRSFieldType::VarText, 0, "营业部")
        .addField(Col::kFundId, TCRSFieldType::VarText, 0, "资金帐号")
        .addField(Col::kMarket, TCRSFieldType::VarText, 0, "市场")
        .addField(Col::kMarketName, TCRSFieldType::VarText, 0, "市场名称")
        .addField(Col::kSecuId, TCRSFieldType::VarText, 0, "股东代码")
        .addField(Col::kRiskTolerance, TCRSFieldType::VarText, 0, "风险承受能力");
    const std::string tolerance = simRiskToleranceText(who->riskTolerance);
    if (who->shareholders.empty()) w.addRecord({who->custid, who->name, who->orgid, fundid, "", "", "", tolerance});
    for (const auto& s : who->shareholders)
        w.addRecord(
            {who->custid, who->name, who->orgid, s.fundid, s.market, simShareholderMarketName(s.market), s.secuid,
             tolerance});
    w.beginSet()
        .addField(Col::kMarket, TCRSFieldType::VarText, 0, "市场")
        .addField(Col::kMarketName, TCRSFieldType::VarText, 0, "市场名称")
        .addField(Col::kSecuId, TCRSFieldType::VarText, 0, "股东代码")
        .addField(Col::kFundId, TCRSFieldType::VarText, 0, "资金帐号");
    for (const auto& s : who->shareholders)
        w.addRecord({s.market, simShareholderMarketName(s.market), s.secuid, s.fundid});
    return w.bytes();
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& i : items) out += (out.empty() ? "" : ",") + i;
    return out;
}

std::vector<uint8_t> tokenApplication(SimCall& c) {
    // The phone applying is the one its service session logged in from,
    // registered by its SMS; a token already serving another phone moves
    // only from there.
    const std::string phone = phoneOf(c);
    if (phone.empty() || c.request.value(Key::kMobile) != phone) return simErrorSet(-1, kNotThisPhone);
    if (!c.server.view<SimSystemRoom>().registeredPhones.count(phone)) return simErrorSet(-1, kPhoneNotRegistered);
    std::string refusal;
    const SimCustomer* reader = identify(c, &refusal);
    if (!reader) return simErrorSet(-1, refusal);
    if (reader->token && !reader->token->phone.empty() && reader->token->phone != phone)
        return simErrorSet(-1, kTokenOnAnotherPhone);
    SimBooks& books = c.server.room<SimTradeRoom>().books;
    SimCustomer* who = books.customerById(reader->custid);
    const SimSoftToken& token = books.issueToken(*who, phone);
    std::vector<std::string> funds, secuids;
    for (const auto& f : who->fundAccounts) funds.push_back(f.fundid);
    for (const auto& s : who->shareholders) secuids.push_back(s.secuid);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kSeed, TCRSFieldType::VarText)
        .addField(Col::kOrgId, TCRSFieldType::VarText)
        .addField(Col::kCustId, TCRSFieldType::VarText)
        .addField(Col::kFundIdList, TCRSFieldType::VarText)
        .addField(Col::kSecuIdList, TCRSFieldType::VarText)
        .addRecord({token.seed, who->orgid, who->custid, joined(funds), joined(secuids)})
        .bytes();
}

std::vector<uint8_t> relateAccount(SimCall& c) {
    std::string refusal;
    const Authenticated a = authenticate(c, &refusal);
    if (!a.who) return simResultSet(0, refusal);
    const SimCustomer* who = &admit(c, a);
    auto& room = c.server.room<SimTradeRoom>();
    const std::string phone = phoneOf(c);
    room.relatedAccounts[phone].insert(room.books.fundIdForLogin(
        *who, c.request.value(Key::kInputType), c.request.value(Key::kBranch), c.request.value(Key::kInputId)));
    const bool importsHoldings = c.request.intValue(RelationContract::Key::kImportHoldings, 0) == 1;
    c.request.noteTaken(RelationContract::Key::kImportHoldings, importsHoldings ? "1" : "0");
    if (importsHoldings) {
        // With every own-stock place taken the relation stands without the stocks.
        auto& portfolio = c.server.room<SimPortfolioRoom>();
        std::vector<std::string> list = portfolio.listOf(phone);
        SimPortfolioRoom::addIds(list, simHoldingIds(*who, c.server.market()));
        portfolio.keep(phone, std::move(list));
    }
    return simResultSet(1, "资金帐号已关联到本手机");
}

std::vector<uint8_t> tokenNotices(SimCall& c) {
    const auto& room = c.server.view<SimTradeRoom>();
    namespace Notice = SystemContract::Col;
    return TCRSWriter()
        .beginSet()
        .addField(Notice::kDirection, TCRSFieldType::VarText)
        .addField(Notice::kRiskInfo, TCRSFieldType::VarText)
        .addField(Notice::kPromotion, TCRSFieldType::VarText)
        .addRecord({room.tokenDirection, room.tokenRiskInfo, room.tokenPromotion})
        .bytes();
}

}  // namespace

SimTradeRoom::SimTradeRoom(SimServer& server) : books(SimBooks::seeded(server.secretKey())) {
    simAddPastActivity(books, server.market(), server.clock().now());
    tokenDirection =
        "手机令牌是安装在本手机上的动态口令：每次交易登录时，系统自动算出一个六位数的一次性口令随登录发送，"
        "用过的口令不能再用。申请后，该帐号在本手机登录时不需输入认证口令；在其他手机登录须重新申请。"
        "请勿把手机借给他人使用，手机丢失时请及时致电客服热线挂失。";
    tokenRiskInfo =
        "申请手机令牌前请确认：本手机为您本人使用；申请需验证资金帐号与交易密码；同一帐号只能在一部手机上使用"
        "手机令牌，重新申请后原手机上的令牌失效。";
    tokenPromotion = "开通手机令牌，登录更安全，无需输入认证口令。";
}

std::vector<std::string> simHoldingIds(const SimCustomer& who, const SimMarket& market) {
    std::vector<std::string> ids;
    for (const auto& h : who.holdings) {
        if (h.quantity <= 0) continue;  // sold out today
        std::string id = h.code + "." + std::to_string(simQuoteMarketOf(h.market));
        if (market.findId(id) && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    return ids;
}

void registerTradeFunctions(SimRegistry& r) {
    r.add(BranchContract::kBranchList, branchList);
    r.add(kLogin, login);
    r.add(kTokenApplication, tokenApplication);
    r.add(RelationContract::kRelateAccount, relateAccount);
    r.add(SystemContract::kTokenNotices, tokenNotices);
}
