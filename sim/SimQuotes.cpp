// Market data functions of the simulated server (family 31000): functions,
// request keys and reply columns are named in core/contracts/QuoteContract.h.
//
// 31000/4 snapshot. Request "code" (ids "code.market" joined by "|"), "field"
//   (numbers joined by "|"). Reply set 0, one record per known id in request
//   order. Columns: first the requested field numbers in their order (so that
//   "field=3|1|4" gives code, market id, name in columns 0 to 2), then every
//   other snapshot column (SimQuoteColumns.h).
// 31000/10 search. Request "key" (code or pinyin prefix), optional "market",
//   "count" (default 10). Reply set 0: "code", "name", "pycode", "exchid", "classid".
// 31000/1 intraday: SimIntraday.cpp. 31000/2 K-line: SimKLine.cpp. 31000/9 ticks: SimTicks.cpp.
#include <algorithm>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

using namespace QuoteContract;

std::vector<uint8_t> snapshot(SimCall& c) {
    const auto& market = c.server.market();
    std::vector<const SimInstrument*> stocks;
    for (const auto& id : simSplit(c.request.value(Key::kCode), '|'))
        if (const SimInstrument* s = market.findId(id)) stocks.push_back(s);
    if (stocks.empty()) return simErrorSet(-1, "股票代码不存在");
    TCRSWriter w;
    simQuoteSet(w, simOrderedColumns(c.request.value(Key::kField)), stocks, market, c.now);
    return w.bytes();
}

std::vector<uint8_t> search(SimCall& c) {
    std::string key = c.request.value(Key::kKey);
    if (key.empty()) key = c.request.value(Key::kCode);
    long long count = std::clamp<long long>(c.request.intValue(Key::kCount, 10), 1, 100);
    auto found = c.server.market().search(key, static_cast<size_t>(count),
                                          static_cast<int>(c.request.intValue(Key::kMarket, 0)));
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "代码")
        .addField(Col::kName, TCRSFieldType::VarText, 0, "名称")
        .addField(Col::kPinyin, TCRSFieldType::VarText, 0, "拼音")
        .addField(Col::kMarket, TCRSFieldType::Integer, 4, "市场")
        .addField(Col::kClass, TCRSFieldType::Integer, 4, "类别");
    for (const SimInstrument* s : found) w.addRecord({s->code, s->name, s->pycode, s->market, s->classId});
    return w.bytes();
}

}  // namespace

void registerQuoteFunctions(SimRegistry& r) {
    // The Shenzhen A shares by volume: 平安银行 among the first rows.
    const char* kRankingLink = "pxhq?market=1^深圳&type=101^全部A股&sort=24^成交量&tc_mfuncno=31000&tc_sfuncno=3";
    const SimMenuItem menu[] = {
        {101, 1, "自选股", "zxhq"},
        {102, 1, "行情排行", kRankingLink},
        {103, 1, "分时走势", "fschart?code=000001.1"},
        {104, 1, "K线图", "kxchart?code=600000.2"},
        {105, 1, "板块排行", "bkph?tc_mfuncno=100&tc_sfuncno=31&bktype=1"},
        {106, 1, "指数", "zgzs?tc_mfuncno=31000&tc_sfuncno=4&code=000001.2|399001.1|399006.1|000300.2"},
        {107, 1, "板块行情", "bkhqlist?tc_mfuncno=100&tc_sfuncno=32"},
        // The company information (F10) the quote page looks up; not on the board.
        {108, 1, "F10", "f10", "", true},
        // Its items, listed on the quote page's F10 page (SimF10.cpp, and the
        // stock's news of SimNews.cpp).
        {109, 108, "公司概况", "newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=1"},
        {110, 108, "财务数据", "newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=2"},
        {111, 108, "股本股东", "newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=3"},
        {112, 108, "分红配股", "newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=4"},
        {113, 108, "公司公告", "newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=5"},
        {114, 108, "个股新闻", "newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&count=20"},
    };
    for (const auto& item : menu) r.menu().add(item);
    r.add(kIntraday, intradayReply);
    r.add(kKLine, klineReply);
    r.add(kTicks, ticksReply);
    r.add(kSnapshot, snapshot);
    r.add(kSearch, search);
}
