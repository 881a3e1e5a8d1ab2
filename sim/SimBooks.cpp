#include "sim/SimBooks.h"

#include <algorithm>
#include <utility>

#include "core/Utilities.h"
#include "core/contracts/TradeContract.h"
#include "core/security/RandomBytes.h"
#include "core/security/VTACoder.h"
#include "sim/SimRequest.h"
#include "sim/SimSecrets.h"

using namespace TradeContract;

SimMoney SimBalance::withdrawable() const { return std::max<SimMoney>(0, balance - std::max(frozen, salesToday)); }

bool SimBalance::withdraw(SimMoney amount) {
    if (amount > withdrawable()) return false;
    balance -= amount;
    return true;
}

bool SimBalance::hold(SimMoney amount) {
    if (amount > available()) return false;
    frozen += amount;
    return true;
}

void SimBalance::payHeld(SimMoney amount) {
    frozen -= amount;
    balance -= amount;
    salesToday -= std::min(salesToday, amount);
}

void SimBalance::receiveSale(SimMoney amount) {
    balance += amount;
    salesToday += amount;
}

int64_t simDivideRounded(int64_t num, int64_t den) {
    const int64_t magnitude = num < 0 ? -num : num;
    const int64_t q = magnitude / den + (magnitude % den * 2 >= den ? 1 : 0);
    return num < 0 ? -q : q;
}

int64_t SimHolding::costPrice(int decimals) const {
    if (quantity <= 0) return 0;
    int64_t perUnit = 1;  // 厘 a unit of the places
    for (int k = decimals; k < 3; ++k) perUnit *= 10;
    return simDivideRounded(costBasis, quantity * perUnit);
}

void SimHolding::buy(int64_t shares, SimPrice price) {
    quantity += shares;
    costBasis += shares * price;
}

void SimHolding::sell(int64_t shares, SimPrice price) {
    quantity -= shares;
    costBasis = quantity > 0 ? costBasis - shares * price : 0;
}

void SimHolding::putIn(int64_t shares, int64_t cost) {
    quantity += shares;
    available += shares;
    costBasis += cost;
}

int64_t SimHolding::takeOut(int64_t shares) {
    const int64_t carried = quantity > 0 ? simDivideRounded(costBasis * std::min(shares, quantity), quantity) : 0;
    quantity -= shares;
    available -= std::min(shares, available);
    costBasis = quantity > 0 ? costBasis - carried : 0;
    return carried;
}

const SimFundAccount* SimCustomer::fundAccount(const std::string& fundid) const {
    for (const auto& f : fundAccounts)
        if (f.fundid == fundid) return &f;
    return nullptr;
}

SimFundAccount* SimCustomer::fundAccount(const std::string& fundid) {
    return const_cast<SimFundAccount*>(std::as_const(*this).fundAccount(fundid));
}

const SimShareholder* SimCustomer::shareholder(const std::string& market) const {
    for (const auto& s : shareholders)
        if (s.market == market) return &s;
    return nullptr;
}

const SimHolding* SimCustomer::holding(const std::string& secuid, const std::string& code) const {
    for (const auto& h : holdings)
        if (h.secuid == secuid && h.code == code) return &h;
    return nullptr;
}

SimHolding* SimCustomer::holding(const std::string& secuid, const std::string& code) {
    return const_cast<SimHolding*>(std::as_const(*this).holding(secuid, code));
}

const SimHolding* SimCreditAccount::position(const std::string& code) const {
    for (const auto& p : positions)
        if (p.code == code) return &p;
    return nullptr;
}

SimHolding* SimCreditAccount::position(const std::string& code) {
    return const_cast<SimHolding*>(std::as_const(*this).position(code));
}

SimMoney simAvailableCash(const SimCustomer& who) {
    const auto& balances = who.mainFundAccount().balances;
    auto it = balances.find(SimCurrency::kRMB);
    return it == balances.end() ? 0 : it->second.available();
}

std::string simRiskToleranceText(int tolerance) {
    static const char* const kTexts[] = {"保守型", "稳健型", "平衡型", "成长型", "进取型"};
    return tolerance >= 1 && tolerance <= 5 ? kTexts[tolerance - 1] : "未评估";
}

const SimBranch* SimBooks::branch(const std::string& code) const {
    for (const auto& b : branches)
        if (b.code == code) return &b;
    return nullptr;
}

const SimCustomer* SimBooks::customer(const std::string& fundid) const {
    for (const auto& c : customers)
        if (c.fundAccount(fundid)) return &c;
    return nullptr;
}

SimCustomer* SimBooks::customer(const std::string& fundid) {
    return const_cast<SimCustomer*>(std::as_const(*this).customer(fundid));
}

const SimCustomer* SimBooks::customerById(const std::string& custid) const {
    for (const auto& c : customers)
        if (c.custid == custid) return &c;
    return nullptr;
}

SimCustomer* SimBooks::customerById(const std::string& custid) {
    return const_cast<SimCustomer*>(std::as_const(*this).customerById(custid));
}

const SimCustomer* SimBooks::customerForLogin(const std::string& inputType, const std::string& branch,
                                              const std::string& inputId) const {
    if (inputId.empty()) return nullptr;
    const std::string normalised = normalizeTokenAccount(inputId, branch, inputType);
    for (const auto& c : customers) {
        if (c.orgid != branch) continue;
        if (inputType == AccountType::kFund) {
            if (c.fundAccount(normalised)) return &c;
            continue;
        }
        for (const auto& s : c.shareholders)
            if (s.market == inputType && (s.secuid == normalised || s.secuid == inputId)) return &c;
    }
    return nullptr;
}

std::string SimBooks::fundIdForLogin(const SimCustomer& who, const std::string& inputType, const std::string& branch,
                                     const std::string& inputId) const {
    if (inputType == AccountType::kFund) return normalizeTokenAccount(inputId, branch, inputType);
    if (const SimShareholder* s = who.shareholder(inputType)) return s->fundid;
    return who.mainFundAccount().fundid;
}

bool SimBooks::secretMatches(const std::string& stored, const std::string& given) const {
    return !stored.empty() && !given.empty() && secretOf(given) == stored;
}

std::string SimBooks::secretOf(const std::string& given) const {
    return simSecretsDigested() ? given : simSecretDigest(key_, given);
}

std::optional<int64_t> SimBooks::tokenCodeCounter(const SimSoftToken& token, const std::string& code) const {
    const bool digested = simSecretsDigested();
    if (!digested && code.size() != 6) return std::nullopt;
    for (int64_t n = token.counter; n < token.counter + kTokenWindow; ++n) {
        const std::string candidate = VTACoder::createSjKlWithSeed(token.seed, n);
        if ((digested ? simSecretDigest(key_, candidate) : candidate) == code) return n;
    }
    return std::nullopt;
}

const SimSoftToken& SimBooks::issueToken(SimCustomer& who, const std::string& phone) {
    SimSoftToken token;
    token.seed = simNewSecret(20);
    token.phone = phone;
    who.token = token;
    return *who.token;
}

std::optional<double> SimBooks::lockedUntil(const SimCustomer& who, double now) const {
    auto it = failures_.find(who.custid);
    if (it == failures_.end() || it->second.lockedUntil <= now) return std::nullopt;
    return it->second.lockedUntil;
}

int SimBooks::noteFailure(const SimCustomer& who, double now) {
    Failures& f = failures_[who.custid];
    if (f.lockedUntil > 0 && f.lockedUntil <= now) f = Failures{};  // the lock is over: counting starts again
    if (++f.count < kLockAfterFailures) return kLockAfterFailures - f.count;
    f.lockedUntil = now + kLockSeconds;
    return 0;
}

std::string SimBooks::openSession(const SimCustomer& who, const std::string& fundid, const std::string& phone,
                                  double now) {
    std::erase_if(sessions_, [&](const auto& entry) { return entry.second.custid == who.custid; });
    std::string authid = randomHex(16);
    sessions_[authid] = SimTradeSession{authid, who.custid, fundid, phone, now, now};
    return authid;
}

const SimTradeSession* SimBooks::admit(const std::string& authid, const std::string& phone, double now,
                                       double idleTimeout) const {
    if (const SimTradeSession* s = live(authid, now, idleTimeout); !s || s->phone != phone) return nullptr;
    SimTradeSession& used = sessions_.find(authid)->second;
    used.lastUsed = std::max(used.lastUsed, now);
    return &used;
}

const SimTradeSession* SimBooks::live(const std::string& authid, double now, double idleTimeout) const {
    auto it = sessions_.find(authid);
    if (it == sessions_.end()) return nullptr;
    if (now - it->second.lastUsed > idleTimeout) {
        sessions_.erase(it);
        return nullptr;
    }
    return &it->second;
}

std::string SimBooks::renewSession(const std::string& authid) {
    auto it = sessions_.find(authid);
    if (it == sessions_.end()) return "";
    SimTradeSession s = it->second;
    sessions_.erase(it);
    s.authid = randomHex(16);
    sessions_[s.authid] = s;
    return s.authid;
}

const SimTradeSession* SimBooks::session(const std::string& authid) const {
    auto it = sessions_.find(authid);
    return it == sessions_.end() ? nullptr : &it->second;
}

const SimCustomer* SimBooks::customerOfRequest(const SimRequest& request, SimRefusal* refusal) const {
    const SimTradeSession* s = session(request.value(Key::kAuthId));
    const SimCustomer* who = s ? customerById(s->custid) : nullptr;
    if (!who && refusal) *refusal = SimRefusal(Error::kSessionEndedCode, Error::kSessionEnded);
    return who;
}

const SimFundAccount* SimBooks::fundAccountOfRequest(const SimCustomer& who, const SimRequest& request) const {
    const auto isFundId = [](const std::string& key) { return key == Key::kFundId; };
    std::string named;
    for (const auto& f : request.fieldsWhere(isFundId))
        if (!f.value.empty()) named = f.value;
    const SimFundAccount* account = named.empty() ? nullptr : who.fundAccount(named);
    // What the request took of its fund accounts: the customer's one it
    // named, or nothing (the session's then), whatever else came.
    request.noteTakenWhere(isFundId, {Key::kFundId, account ? account->fundid : ""});
    if (account) return account;
    const SimTradeSession* s = session(request.value(Key::kAuthId));
    const SimFundAccount* f = s ? who.fundAccount(s->fundid) : nullptr;
    return f ? f : &who.fundAccounts.front();
}

std::string SimBooks::sessionText(const SimCustomer& who, const std::string& authid) {
    return std::string(Session::kCustId) + "=" + who.custid + "&" + Session::kBranch + "=" + who.orgid + "&" +
           Session::kAuthId + "=" + authid;
}
