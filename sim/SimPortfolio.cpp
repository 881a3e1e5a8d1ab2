// Own-stock functions of the simulated server (family 3710; functions and
// keys named in core/contracts/PortfolioContract.h), one list per
// phone (the session's phone; "" before registration). Ids "code.market"
// joined by "|". Every reply's set 0: "result" (1 done, 0 refused),
// "message", "code" (the resulting list).
// 3710/1 upload (adds the uploaded ids in their order), 3710/2 download
//   ("isreturnhq=1": set 1 rows [0 code, 1 market id, 2 name]), 3710/3 add one,
//   3710/4 delete one, 3710/5 replace the list (may be empty), 3710/6 add the
//   holdings of the customer whose trade session text the request carries
//   ("inputid" the capital account; SimBooks.h).
// A change that would give a new phone a list when SimPortfolioRoom::kMaxLists
// are kept is refused with its kFullText; reading keeps no list.
// An id is kept as its instrument's own ("code.market" as the market writes
// it; a bare code as the first instrument of the code): one that names none
// is left out of an upload or a new list and refused by an add
// ("股票代码不存在"), so no list holds more than its ids' own texts.
#include <algorithm>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/PortfolioContract.h"
#include "core/contracts/ResultContract.h"
#include "sim/SimOrders.h"
#include "sim/SimPortfolio.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

using namespace PortfolioContract;

std::vector<std::string> splitIds(const std::string& s) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find('|', start);
        if (end == std::string::npos) end = s.size();
        if (end > start) out.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string join(const std::vector<std::string>& ids) {
    std::string s;
    for (const auto& id : ids) s += (s.empty() ? "" : "|") + id;
    return s;
}

const std::string& phoneOf(SimCall& c) {
    static const std::string kNoPhone;
    return c.session ? c.session->phone : kNoPhone;
}

const std::vector<std::string>& listOf(SimCall& c) { return c.server.view<SimPortfolioRoom>().listOf(phoneOf(c)); }

std::vector<uint8_t> result(int ok, const std::string& message, const std::vector<std::string>& list) {
    std::string code = join(list);
    return simResultSet(ok, message, &code);
}

// Changes a copy of the phone's list with `change` (which answers "result" and
// "message") and keeps it, unless it would be a new list with every place taken.
template <class Change>
std::vector<uint8_t> changeList(SimCall& c, Change change) {
    const auto& kept = c.server.view<SimPortfolioRoom>();
    std::vector<std::string> list = kept.listOf(phoneOf(c));
    const auto [ok, message] = change(list);
    if (list == kept.listOf(phoneOf(c))) return result(ok, message, list);  // as kept
    if (!kept.mayKeep(phoneOf(c), list)) return result(0, SimPortfolioRoom::kFullText, kept.listOf(phoneOf(c)));
    c.server.room<SimPortfolioRoom>().keep(phoneOf(c), list);
    return result(ok, message, list);
}

// The instrument's own id ("code.market" as the market writes it) of an id
// sent; "" when it names no instrument.
std::string ownId(SimCall& c, const std::string& id) {
    const SimInstrument* s = c.server.market().findId(id);
    return s ? s->id() : std::string();
}

// The own ids of the request's list, those that name an instrument, in their
// order: all that is kept of the list, and all that the books write of it.
std::vector<std::string> knownIds(SimCall& c) {
    std::vector<std::string> out;
    for (const auto& id : splitIds(c.request.value(Key::kCode)))
        if (std::string own = ownId(c, id); !own.empty()) out.push_back(std::move(own));
    c.request.noteTaken(Key::kCode, join(out));
    return out;
}

using Outcome = std::pair<int, std::string>;

std::vector<uint8_t> upload(SimCall& c) {
    const auto ids = knownIds(c);
    return changeList(c, [&](std::vector<std::string>& list) {
        SimPortfolioRoom::addIds(list, ids);
        return Outcome(1, "上传成功");
    });
}

std::vector<uint8_t> download(SimCall& c) {
    const auto& list = listOf(c);
    if (c.request.intValue(Key::kWithNames, 0) != 1) return result(1, "", list);
    std::string code = join(list);
    TCRSWriter w;
    w.beginSet()
        .addField(ResultContract::Col::kResult, TCRSFieldType::Integer, 4)
        .addField(ResultContract::Col::kMessage, TCRSFieldType::VarText)
        .addField(ResultContract::Col::kCode, TCRSFieldType::VarText)
        .addRecord({1, "", code});
    w.beginSet()
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "代码")
        .addField(Col::kMarket, TCRSFieldType::Integer, 4, "市场")
        .addField(Col::kName, TCRSFieldType::VarText, 0, "名称");
    for (const auto& id : list)
        if (const SimInstrument* s = c.server.market().findId(id)) w.addRecord({s->code, s->market, s->name});
    return w.bytes();
}

std::vector<uint8_t> addOne(SimCall& c) {
    const std::string id = ownId(c, c.request.value(Key::kCode));
    if (id.empty()) return simErrorSet(-1, "股票代码不存在");
    c.request.noteTaken(Key::kCode, id);
    return changeList(c, [&](std::vector<std::string>& list) {
        if (std::find(list.begin(), list.end(), id) != list.end()) return Outcome(0, "该股票已在自选股中");
        if (list.size() >= size_t(kMaxStocks)) return Outcome(0, "自选股已满");
        list.push_back(id);
        return Outcome(1, "添加成功");
    });
}

std::vector<uint8_t> deleteOne(SimCall& c) {
    // The list keeps instruments' own ids; one an older server kept as it
    // came goes by that text.
    const std::string sent = c.request.value(Key::kCode), own = ownId(c, sent);
    return changeList(c, [&](std::vector<std::string>& list) {
        auto it = std::find(list.begin(), list.end(), own);
        if (it == list.end()) it = std::find(list.begin(), list.end(), sent);
        if (it == list.end()) return Outcome(0, "自选股中没有该股票");
        list.erase(it);
        return Outcome(1, "删除成功");
    });
}

std::vector<uint8_t> replaceList(SimCall& c) {
    const auto ids = knownIds(c);
    return changeList(c, [&](std::vector<std::string>& list) {
        list.clear();
        SimPortfolioRoom::addIds(list, ids);
        return Outcome(1, "保存成功");
    });
}

std::vector<uint8_t> addHoldings(SimCall& c) {
    // The holdings of the logged-in customer (the session text names the login).
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto ids = simHoldingIds(*who, c.server.market());
    return changeList(c, [&](std::vector<std::string>& list) {
        SimPortfolioRoom::addIds(list, ids);
        return Outcome(1, "持仓股已加入自选股");
    });
}

}  // namespace

const std::vector<std::string>& SimPortfolioRoom::listOf(const std::string& phone) const {
    static const std::vector<std::string> kNone;
    auto it = ownStocks.find(phone);
    return it == ownStocks.end() ? kNone : it->second;
}

bool SimPortfolioRoom::mayKeep(const std::string& phone, const std::vector<std::string>& list) const {
    return list.empty() || ownStocks.count(phone) || ownStocks.size() < kMaxLists;
}

bool SimPortfolioRoom::keep(const std::string& phone, std::vector<std::string> list) {
    if (!mayKeep(phone, list)) return false;
    if (list.empty())
        ownStocks.erase(phone);
    else
        ownStocks[phone] = std::move(list);
    return true;
}

void SimPortfolioRoom::addIds(std::vector<std::string>& list, const std::vector<std::string>& ids) {
    for (const auto& id : ids)
        if (std::find(list.begin(), list.end(), id) == list.end() && list.size() < size_t(kMaxStocks))
            list.push_back(id);
}

void registerPortfolioFunctions(SimRegistry& r) {
    r.add(kUpload, upload);
    r.add(kDownload, download);
    r.add(kAdd, addOne);
    r.add(kDelete, deleteOne);
    r.add(kReplace, replaceList);
    r.add(kAddHoldings, addHoldings);
}
