// News functions of the simulated server (family 504; functions, keys and
// columns named in core/contracts/NewsContract.h). The menu's news links:
//   "newsmenu?tc_mfuncno=504&tc_sfuncno=1"  the categories (a server-filled list)
//   "newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01&count=20"
//   "newscontent?tc_mfuncno=504&tc_sfuncno=61&newsid=01001"
//
// 504/1 news categories. Request: nothing beyond the function numbers.
//   Reply set 0, one record per column: "title" (the row's text), "link"
//   (the menu link the row opens: the column's headlines), "newstypeid" (the
//   column's id; the client keeps the first record's as its setting
//   "newstypeid" for the news screens).
// 504/62 headlines of a column. Request "newstypeid" (the column; absent: every
//   column), "count" (a page, default 20, 1 to 50), "poststr" (the page after
//   that headline id; absent or "" the first page), "stkcode" and "market"
//   (only the news of that stock). Reply set 0, newest first: "newsid",
//   "title", "originaltime" ("yyyy-MM-dd HH:mm"), "newstypeid", "source",
//   "ext" (the stock id the article is about, "" none). An unknown column
//   answers the error set "无此资讯栏目".
// 504/56 the own stocks' headlines, newest first. Request "stkcodes" (ids
//   joined by ","), "count" (a page, default 30, 1 to 50), "poststr" (the
//   cursor: "0", absent or "" the first page, otherwise the page after that
//   headline id). Reply set 0: the columns of 504/62 and "poststr" (the
//   row's own id, the cursor of the page after it). No stock asked: a set
//   without records.
// 504/61 one article. Request "newsid" (a "newstypeid" sent along is not
//   needed). Reply set 0: "content", "title", "source", "originaltime"; the
//   first record holds the first paragraph with the other fields, each
//   further record one more paragraph in "content". An unknown id answers
//   the error set "该资讯不存在或已删除".
#include "sim/SimNews.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/NewsContract.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

using namespace NewsContract;

std::string headlineTime(double t) { return SimClock::format(t).substr(0, 16); }

std::string columnLink(const std::string& column) {
    return "newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=" + column + "&count=20";
}

std::vector<uint8_t> newsCategories(SimCall& c) {
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kTitle, TCRSFieldType::VarText)
        .addField(Col::kLink, TCRSFieldType::VarText)
        .addField(Col::kCategoryId, TCRSFieldType::VarText);
    for (const auto& column : c.server.view<SimNewsRoom>().columns)
        w.addRecord({column.title, columnLink(column.id), column.id});
    return w.bytes();
}

// The room's headlines that pass the test, newest first.
template <class Test>
std::vector<const SimArticle*> newestFirst(const SimNewsRoom& room, Test&& test) {
    std::vector<const SimArticle*> found;
    for (const auto& a : room.articles)
        if (test(a)) found.push_back(&a);
    std::stable_sort(found.begin(), found.end(),
                     [](const SimArticle* a, const SimArticle* b) { return a->published > b->published; });
    return found;
}

// One page of headlines: `count` after the headline `after` ("" or "0": the
// first page). With `withCursor` each row carries its id as the next page's cursor.
std::vector<uint8_t> headlinePage(const std::vector<const SimArticle*>& found, const std::string& after,
                                  long long count, bool withCursor) {
    size_t start = 0;
    if (!after.empty() && after != "0") {
        auto at = std::find_if(found.begin(), found.end(), [&](const SimArticle* a) { return a->id == after; });
        start = at == found.end() ? found.size() : static_cast<size_t>(at - found.begin()) + 1;
    }
    TCRSWriter w;
    simBeginHeadlineSet(w);
    if (withCursor) w.addField(Col::kPosition, TCRSFieldType::VarText);
    for (size_t i = start; i < found.size() && i < start + static_cast<size_t>(count); ++i) {
        const SimArticle& a = *found[i];
        if (withCursor)
            w.addRecord({a.id, a.title, headlineTime(a.published), a.column, a.source, a.stockCode, a.id});
        else
            w.addRecord({a.id, a.title, headlineTime(a.published), a.column, a.source, a.stockCode});
    }
    return w.bytes();
}

std::vector<uint8_t> headlines(SimCall& c) {
    auto& room = c.server.view<SimNewsRoom>();
    std::string column = c.request.value(Key::kCategoryId);
    if (!column.empty() && !room.column(column)) return simErrorSet(-1, "无此资讯栏目");
    std::string stock;
    if (c.request.has(Key::kStockCode)) stock = c.request.value(Key::kStockCode) + "." + c.request.value(Key::kMarket);
    auto found = newestFirst(room, [&](const SimArticle& a) {
        return (column.empty() || a.column == column) && (stock.empty() || a.stockCode == stock);
    });
    return headlinePage(found, c.request.value(Key::kPosition),
                        std::clamp<long long>(c.request.intValue(Key::kCount, 20), 1, 50), false);
}

// The headlines about the stocks of a "stkcodes" text, newest first.
std::vector<const SimArticle*> headlinesOfStocks(const SimNewsRoom& room, const std::string& stockIds) {
    std::vector<std::string> ids;
    for (const auto& id : simSplit(stockIds, ','))
        if (!id.empty()) ids.push_back(id);
    return newestFirst(room, [&](const SimArticle& a) {
        return !a.stockCode.empty() && std::find(ids.begin(), ids.end(), a.stockCode) != ids.end();
    });
}

std::vector<uint8_t> stocksHeadlines(SimCall& c) {
    auto found = headlinesOfStocks(c.server.view<SimNewsRoom>(), c.request.value(Key::kStockIds));
    return headlinePage(found, c.request.value(Key::kPosition),
                        std::clamp<long long>(c.request.intValue(Key::kCount, 30), 1, 50), true);
}

std::vector<uint8_t> article(SimCall& c) {
    const SimArticle* a = c.server.view<SimNewsRoom>().find(c.request.value(Key::kNewsId));
    if (!a) return simErrorSet(-1, "该资讯不存在或已删除");
    TCRSWriter w;
    simArticleSet(w, a->paragraphs, a->title, a->source, headlineTime(a->published));
    return w.bytes();
}

}  // namespace

void simBeginHeadlineSet(TCRSWriter& w) {
    using namespace NewsContract;
    w.beginSet()
        .addField(Col::kNewsId, TCRSFieldType::VarText)
        .addField(Col::kTitle, TCRSFieldType::VarText)
        .addField(Col::kTime, TCRSFieldType::VarText)
        .addField(Col::kCategoryId, TCRSFieldType::VarText)
        .addField(Col::kSource, TCRSFieldType::VarText)
        .addField(Col::kExtra, TCRSFieldType::VarText);
}

void simArticleSet(TCRSWriter& w, const std::vector<std::string>& paragraphs, const std::string& title,
                   const std::string& source, const std::string& time) {
    using namespace NewsContract;
    w.beginSet()
        .addField(Col::kContent, TCRSFieldType::VarText)
        .addField(Col::kTitle, TCRSFieldType::VarText)
        .addField(Col::kSource, TCRSFieldType::VarText)
        .addField(Col::kTime, TCRSFieldType::VarText);
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i == 0)
            w.addRecord({paragraphs[i], title, source, time});
        else
            w.addRecord({paragraphs[i], "", "", ""});
    }
}

namespace {

// ---------------------------------------------------------------- seed

struct SeedArticle {
    const char* title;
    const char* source;
    const char* stock;
};

// 财经要闻: more headlines than one page of 20.
const SeedArticle kFinance[] = {
    {"央行开展逆回购操作 维护银行体系流动性合理充裕", "上海证券报", ""},
    {"两市成交额连续三日突破万亿元", "证券时报", ""},
    {"北向资金全天净流入超五十亿元", "中国证券报", ""},
    {"沪指震荡收涨 银行板块领涨", "证券时报", "600036.2"},
    {"创业板指小幅回落", "证券日报", ""},
    {"人民币汇率中间价上调", "上海证券报", ""},
    {"国债期货全线上涨", "期货日报", ""},
    {"券商板块午后走强 多只个股涨停", "证券时报", ""},
    {"新能源汽车销量同比增长三成", "经济参考报", ""},
    {"统计局发布最新居民消费价格数据", "新华社", ""},
    {"证监会：持续优化再融资监管安排", "中国证券报", ""},
    {"银行间市场资金利率普遍下行", "上海证券报", ""},
    {"外资机构看好A股中长期配置价值", "证券时报", ""},
    {"白酒板块集体反弹 龙头企业获资金青睐", "第一财经", "600519.2"},
    {"上市公司年报披露进入密集期", "证券日报", ""},
    {"保险资金加大权益类资产配置力度", "中国证券报", ""},
    {"交易所发布融资融券业务细则修订稿", "上海证券报", ""},
    {"公募基金新发规模环比回升", "证券时报", ""},
    {"黄金价格再创阶段新高", "经济参考报", ""},
    {"地方政府专项债发行提速", "新华社", ""},
    {"科创板两周年：研发投入持续加大", "上海证券报", ""},
    {"平安银行：零售业务转型成效显现", "证券日报", "000001.1"},
    {"可转债市场成交活跃", "中国证券报", ""},
    {"港股通南向资金连续净买入", "证券时报", ""},
    {"大宗商品价格涨跌互现", "期货日报", ""},
    {"本周市场展望：关注业绩确定性品种", "本公司研究所", ""},
};

const SeedArticle kCompanies[] = {
    {"招商银行发布年度业绩快报 净利润稳健增长", "证券时报", "600036.2"},
    {"贵州茅台拟每股派发现金红利", "上海证券报", "600519.2"},
    {"平安银行获准发行金融债券", "中国证券报", "000001.1"},
    {"万科A：销售回款保持稳定", "证券日报", "000002.1"},
    {"中国平安回购股份进展公告", "上海证券报", "601318.2"},
};

const SeedArticle kResearch[] = {
    {"宏观策略：稳增长政策持续发力", "本公司研究所", ""},
    {"行业点评：银行业资产质量保持稳定", "本公司研究所", "600036.2"},
    {"晨会纪要", "本公司研究所", ""},
};

const SeedArticle kNotices[] = {
    {"本周新股申购安排", "本公司", ""},
    {"关于调整部分证券融资融券保证金比例的公告", "本公司", ""},
    {"清明节休市安排", "本公司", ""},
};

// The stock news column: headlines about one stock each, reached by stock
// only (504/56, and 504/62 with "stkcode"); the menu does not list it. Each
// stock's newest headline is `newestHoursAgo` before the clock, the others
// follow every 7 hours.
struct SeedStockNews {
    const char* stock;
    const char* name;
    double newestHoursAgo;
};

const SeedStockNews kStockNews[] = {
    {"600000.2", "浦发银行", 0.7}, {"000001.1", "平安银行", 5},  {"000002.1", "万科Ａ", 8},
    {"600036.2", "招商银行", 6},   {"000063.1", "中兴通讯", 10}, {"000651.1", "格力电器", 12},
    {"600519.2", "贵州茅台", 9},   {"601318.2", "中国平安", 11},
};

struct StockNewsTemplate {
    const char* title;  // after the stock's name
    const char* source;
};

const StockNewsTemplate kStockNewsTemplates[] = {
    {"：董事会决议公告", "上海证券报"},
    {"获多家机构调研 关注经营前景", "证券时报"},
    {"：关于回购股份的进展公告", "中国证券报"},
    {"融资余额连续三日增加", "证券日报"},
    {"发布月度经营数据", "第一财经"},
    {"：股东大会决议公告", "上海证券报"},
    {"获北向资金增持", "证券时报"},
    {"股价异动 公司称经营正常", "中国证券报"},
};

std::vector<std::string> paragraphsFor(const SeedArticle& s) {
    std::string title = s.title;
    return {
        title + "。" + "据" + s.source + "消息，相关情况引发市场广泛关注，业内人士认为这一变化有利于市场平稳运行。",
        "分析人士指出，短期内市场仍将以结构性机会为主，投资者应关注基本面良好、估值合理的优质公司，"
        "同时注意控制仓位，防范波动风险。",
        "以上内容仅供参考，不构成投资建议。投资有风险，入市需谨慎。",
    };
}

}  // namespace

SimNewsRoom::SimNewsRoom(SimServer& server) {
    columns = {{"01", "财经要闻"}, {"02", "公司新闻"}, {"03", "研究报告"}, {"04", "交易提示"}};
    const double now = server.clock().now();
    auto seed = [&](const std::string& column, const SeedArticle* items, size_t count, double step) {
        for (size_t i = 0; i < count; ++i) {
            SimArticle a;
            char number[24];
            std::snprintf(number, sizeof number, "%03zu", i + 1);
            a.id = column + number;
            a.column = column;
            a.title = items[i].title;
            a.source = items[i].source;
            a.stockCode = items[i].stock;
            a.published = now - 600 - step * static_cast<double>(i);
            a.paragraphs = paragraphsFor(items[i]);
            articles.push_back(std::move(a));
        }
    };
    seed("01", kFinance, std::size(kFinance), 2400);
    seed("02", kCompanies, std::size(kCompanies), 5400);
    seed("03", kResearch, std::size(kResearch), 86400);
    seed("04", kNotices, std::size(kNotices), 86400);
    int n = 0;
    for (size_t k = 0; k < std::size(kStockNews); ++k) {
        const SeedStockNews& stock = kStockNews[k];
        for (size_t i = 0; i < std::size(kStockNewsTemplates); ++i) {
            // Each stock starts elsewhere in the templates: the newest headlines differ.
            const StockNewsTemplate& t = kStockNewsTemplates[(i + k) % std::size(kStockNewsTemplates)];
            const std::string title = std::string(stock.name) + t.title;
            const SeedArticle item{title.c_str(), t.source, stock.stock};
            SimArticle a;
            char id[16];
            std::snprintf(id, sizeof id, "05%03d", ++n);
            a.id = id;
            a.column = "05";
            a.title = title;
            a.source = item.source;
            a.stockCode = stock.stock;
            a.published = now - stock.newestHoursAgo * 3600 - 7 * 3600 * static_cast<double>(i);
            a.paragraphs = paragraphsFor(item);
            articles.push_back(std::move(a));
        }
    }
}

const SimArticle* SimNewsRoom::find(const std::string& id) const {
    for (const auto& a : articles)
        if (a.id == id) return &a;
    return nullptr;
}

const SimNewsColumn* SimNewsRoom::column(const std::string& id) const {
    for (const auto& c : columns)
        if (c.id == id) return &c;
    return nullptr;
}

void registerNewsFunctions(SimRegistry& r) {
    r.menu().add({401, 4, "新闻资讯", columnLink("01")});
    r.menu().add({402, 4, "今日焦点", "newscontent?tc_mfuncno=504&tc_sfuncno=61&newsid=01001"});
    r.menu().add({403, 4, "公司新闻", columnLink("02")});
    r.menu().add({404, 4, "研究报告", columnLink("03")});
    r.menu().add({703, 7, "资讯分类", "newsmenu?tc_mfuncno=504&tc_sfuncno=1"});
    r.add(kCategories, newsCategories);
    r.add(kHeadlines, headlines);
    r.add(kArticle, article);
    r.add(kStocksHeadlines, stocksHeadlines);
}
