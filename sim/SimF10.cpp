// 504/63 and 504/64, the company information (F10) of a stock (names in
// core/contracts/NewsContract.h). The menu's F10 items (the children of the
// hidden "f10" item, SimQuotes.cpp) link one section each:
//   newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=<section>
// and the quote page's F10 list adds "stkcode=<code>&market=<market id>".
//
// 504/63 the titles of one section. Request "f10type" (1 公司概况, 2 财务数据,
//   3 股本股东, 4 分红配股, 5 公司公告), "stkcode", "market". Reply set 0, one
//   record a title, in the columns of the news headlines: "newsid"
//   ("<section>-<n>-<code>.<market>"), "title", "originaltime"
//   ("yyyy-MM-dd HH:mm"), "newstypeid" (""), "source", "ext" (the stock id).
//   An unknown stock answers "股票代码不存在", an unknown section "无此资讯栏目".
// 504/64 one text. Request "newsid". Reply set 0 as a news article:
//   "content" (one paragraph a record), "title", "source", "originaltime" on
//   the first record. An unknown id answers "该资讯不存在或已删除".
//
// The texts are made from the stock's data (name, code, market, prices of
// the market's walk); the same stock and day give the same texts.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"
#include "core/contracts/NewsContract.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimNews.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

using namespace NewsContract;

constexpr const char* kSource = "模拟资讯中心";

struct Facts {
    const SimInstrument& s;
    double price = 0;      // last price
    double shares = 0;     // total shares (亿股)
    double eps = 0;        // earnings per share
    double bookValue = 0;  // net assets per share
    int year = 2023;       // the last annual report
};

std::string money(double v, int decimals = 2) { return simFixed(v, decimals); }

std::string marketName(int market) {
    return market == QuoteContract::Market::kShanghai   ? "上海证券交易所"
           : market == QuoteContract::Market::kShenzhen ? "深圳证券交易所"
                                                        : "香港联合交易所";
}

struct Text {
    const char* title;
    std::function<std::vector<std::string>(const Facts&)> paragraphs;
};

const std::vector<Text>& section(int id) {
    static const std::vector<Text> kProfile = {
        {"公司简介",
         [](const Facts& f) {
             return std::vector<std::string>{
                 "公司名称：" + f.s.name + "股份有限公司", "证券代码：" + f.s.code,
                 "上市地点：" + marketName(f.s.market),
                 "主营业务：" + f.s.name + "以" + (f.s.classId == 6 ? "港股" : "A股") + "上市，主营业务稳健经营。"};
         }},
        {"主要指标",
         [](const Facts& f) {
             return std::vector<std::string>{"最新股价：" + money(f.price) + "元",
                                             "每股收益：" + money(f.eps, 3) + "元",
                                             "每股净资产：" + money(f.bookValue) + "元",
                                             "市盈率：" + money(f.eps > 0 ? f.price / f.eps : 0) + "倍"};
         }},
    };
    static const std::vector<Text> kFinance = {
        {"最新财务摘要",
         [](const Facts& f) {
             return std::vector<std::string>{std::to_string(f.year) + "年年度报告",
                                             "营业收入：" + money(f.shares * f.eps * 4.2) + "亿元",
                                             "归属于母公司股东的净利润：" + money(f.shares * f.eps) + "亿元",
                                             "基本每股收益：" + money(f.eps, 3) + "元"};
         }},
    };
    static const std::vector<Text> kShareholders = {
        {"股本结构",
         [](const Facts& f) {
             return std::vector<std::string>{"总股本：" + money(f.shares) + "亿股",
                                             "流通股：" + money(f.shares * 0.86) + "亿股"};
         }},
        {"十大股东",
         [](const Facts& f) {
             return std::vector<std::string>{"第一大股东持股比例：" + money(18.5 + f.eps * 3) + "%",
                                             "前十大股东合计持股比例：" + money(52.3 + f.eps * 4) + "%"};
         }},
    };
    static const std::vector<Text> kDividends = {
        {"分红记录",
         [](const Facts& f) {
             return std::vector<std::string>{
                 std::to_string(f.year) + "年度：每10股派" + money(f.eps * 3) + "元（含税）",
                 std::to_string(f.year - 1) + "年度：每10股派" + money(f.eps * 2.8) + "元（含税）"};
         }},
    };
    static const std::vector<Text> kNotices = {
        {"年度报告披露提示性公告",
         [](const Facts& f) {
             return std::vector<std::string>{f.s.name + "将于近期披露" + std::to_string(f.year) + "年年度报告。",
                                             "敬请投资者关注。"};
         }},
        {"董事会决议公告",
         [](const Facts& f) { return std::vector<std::string>{f.s.name + "董事会审议通过了利润分配预案等议案。"}; }},
    };
    static const std::vector<Text> kNone;
    switch (id) {
        case F10Section::kProfile:
            return kProfile;
        case F10Section::kFinance:
            return kFinance;
        case F10Section::kShareholders:
            return kShareholders;
        case F10Section::kDividends:
            return kDividends;
        case F10Section::kNotices:
            return kNotices;
        default:
            return kNone;
    }
}

Facts factsOf(const SimMarket& market, const SimInstrument& s, double now) {
    Facts f{s};
    SimQuote q = market.quote(s, now);
    f.price = static_cast<double>(q.last) / std::pow(10.0, s.decimals);
    f.shares = static_cast<double>(s.baseVolume) / 1e6;
    f.eps = f.price / (8 + (s.code.back() - '0') * 2.5);
    f.bookValue = f.price * 0.9;
    f.year = SimClock::local(now).yyyymmdd() / 10000 - 1;
    return f;
}

// The time of the n-th text of a section: evenings of the days before.
std::string textTime(double now, int section, int n) {
    double t = now - 86400.0 * (section + n);
    return SimClock::format(t).substr(0, 10) + " 18:00";
}

std::vector<uint8_t> f10Titles(SimCall& c) {
    const SimInstrument* s =
        c.server.market().findId(c.request.value(Key::kStockCode) + "." + c.request.value(Key::kMarket));
    if (!s) return simErrorSet(-1, "股票代码不存在");
    int id = static_cast<int>(c.request.intValue(Key::kF10Section, 0));
    const auto& texts = section(id);
    if (texts.empty()) return simErrorSet(-1, "无此资讯栏目");
    TCRSWriter w;
    simBeginHeadlineSet(w);
    for (size_t n = 0; n < texts.size(); ++n)
        w.addRecord({std::to_string(id) + "-" + std::to_string(n) + "-" + s->id(), s->name + texts[n].title,
                     textTime(c.now, id, static_cast<int>(n)), "", kSource, s->id()});
    return w.bytes();
}

std::vector<uint8_t> f10Article(SimCall& c) {
    // "<section>-<n>-<code>.<market>"
    const std::string id = c.request.value(Key::kNewsId);
    auto parts = simSplit(id, '-');
    const SimInstrument* s = parts.size() == 3 ? c.server.market().findId(parts[2]) : nullptr;
    const int sectionId = s ? std::atoi(parts[0].c_str()) : 0;
    const int n = s ? std::atoi(parts[1].c_str()) : -1;
    const auto& texts = section(sectionId);
    if (!s || n < 0 || static_cast<size_t>(n) >= texts.size()) return simErrorSet(-1, "该资讯不存在或已删除");
    std::vector<std::string> paragraphs = texts[n].paragraphs(factsOf(c.server.market(), *s, c.now));
    TCRSWriter w;
    simArticleSet(w, paragraphs, s->name + texts[n].title, kSource, textTime(c.now, sectionId, n));
    return w.bytes();
}

}  // namespace

void registerF10Functions(SimRegistry& r) {
    r.add(kF10Titles, f10Titles);
    r.add(kF10Article, f10Article);
}
