// The simulator's tick-by-tick deals (paged, newest first, adding up to the
// day's volume), the information radar of a stock, and the F10 sections and
// texts that the menu's hidden F10 items link.
#include "SimTestSupport.h"

#include <cmath>

#include "core/MenuFunctions.h"
#include "core/contracts/NewsContract.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimClock.h"
#include "sim/SimInfoRadar.h"

namespace {

std::vector<std::shared_ptr<VTATCRS>> setsOf(const SimServer::Reply& r) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    return sets ? *sets : std::vector<std::shared_ptr<VTATCRS>>{};
}

struct Deal {
    long long direction, hhmm;
    std::string price;
    double lots;
};

std::vector<Deal> dealsOf(VTATCRS& set) {
    using namespace QuoteContract::Tick;
    std::vector<Deal> out;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext())
        out.push_back({set.toIntAtIndex(kDirectionColumn), set.toIntAtIndex(kTimeColumn),
                       set.toVTAFloatAtIndex(kPriceColumn)->toString(),
                       set.toVTAFloatAtIndex(kVolumeColumn)->realValue()});
    return out;
}

class SimStockInfoFunctionsTest : public SimTest {
protected:
    void SetUp() override { session = login(); }
    std::vector<std::shared_ptr<VTATCRS>> ask(const std::string& fields) { return setsOf(call(session, fields)); }
    std::vector<Deal> page(const std::string& id, int offset, int count = 30) {
        auto sets = ask("tc_mfuncno=31000&tc_sfuncno=9&code=" + id + "&direct=1&count=" + std::to_string(count) +
                        "&offset=" + std::to_string(offset));
        EXPECT_EQ(sets.size(), 2u);
        return sets.size() == 2 ? dealsOf(*sets[1]) : std::vector<Deal>{};
    }
    std::string session;
};

}  // namespace

TEST_F(SimStockInfoFunctionsTest, DealsComeNewestFirstInPagesThatFollowOneAnother) {
    auto sets = ask("tc_mfuncno=31000&tc_sfuncno=9&code=600000.2&direct=1&count=30&offset=0");
    ASSERT_EQ(sets.size(), 2u);
    sets[0]->fetchFirst();
    EXPECT_EQ(sets[0]->toStringWithFieldName("code").value_or(""), "600000");
    EXPECT_EQ(sets[0]->toIntWithFieldName("exchid"), 2);
    EXPECT_TRUE(sets[0]->toVTAFloatWithFieldName("zrsp"));
    auto first = dealsOf(*sets[1]);
    ASSERT_EQ(first.size(), 30u);
    EXPECT_EQ(first.front().hhmm, 1030);  // the clock's minute
    for (size_t i = 1; i < first.size(); ++i) EXPECT_LE(first[i].hhmm, first[i - 1].hhmm);

    // The whole day in one page equals the pages one after another.
    auto all = page("600000.2", 0, 100);
    auto second = page("600000.2", 30);
    ASSERT_GE(all.size(), 60u);
    for (size_t i = 0; i < second.size(); ++i) {
        EXPECT_EQ(second[i].hhmm, all[30 + i].hhmm);
        EXPECT_EQ(second[i].price, all[30 + i].price);
    }
    // Past the end: no deals. The first deal of the day has no direction.
    size_t total = 0;
    for (size_t got = 30; got == 30; total += got) got = page("600000.2", static_cast<int>(total)).size();
    auto last = page("600000.2", static_cast<int>(total) - 1, 1);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last.front().hhmm, 930);
    EXPECT_EQ(last.front().direction, QuoteContract::Tick::kNeither);
    EXPECT_TRUE(page("600000.2", 100000).empty());
}

TEST_F(SimStockInfoFunctionsTest, TheDealsOfAMinuteAddUpToItsVolumeInLots) {
    auto deals = page("000001.1", 0, 100);
    ASSERT_FALSE(deals.empty());
    // The newest minute is complete at the clock's minute: its lots are the
    // intraday chart's volume of that minute, in 手.
    auto day = ask("tc_mfuncno=31000&tc_sfuncno=1&code=000001.1");
    ASSERT_GE(day.size(), 2u);
    day[1]->fetchLast();
    ASSERT_EQ(day[1]->toIntAtIndex(0), 1030);
    const double minuteLots = day[1]->toVTAFloatWithFieldName("cjsl")->realValue();
    double lots = 0;
    for (const auto& d : deals)
        if (d.hhmm == 1030) lots += d.lots;
    EXPECT_EQ(lots, minuteLots);
    for (const auto& d : deals) {
        EXPECT_GE(d.lots, 1);
        EXPECT_TRUE(d.direction == 0 || d.direction == 1 || d.direction == 2);
    }
    // The same deals at every request.
    auto again = page("000001.1", 0, 100);
    ASSERT_EQ(again.size(), deals.size());
    EXPECT_EQ(again.front().lots, deals.front().lots);
}

TEST_F(SimStockInfoFunctionsTest, AnUnknownStockIsRefused) {
    auto sets = ask("tc_mfuncno=31000&tc_sfuncno=9&code=999999.1&direct=1&count=30&offset=0");
    ASSERT_FALSE(sets.empty());
    EXPECT_TRUE(sets[0]->isError());
    EXPECT_EQ(sets[0]->getError(), "股票代码不存在");
}

TEST_F(SimStockInfoFunctionsTest, TheRadarListsAStocksItemsOrSaysItHasNone) {
    auto radar = ask("tc_mfuncno=504&tc_sfuncno=60&stkcode=600000.2&with_content=1");
    ASSERT_EQ(radar.size(), 1u);
    ASSERT_EQ(radar[0]->rowsAffected(), 3);
    radar[0]->fetchFirst();
    EXPECT_EQ(radar[0]->toStringWithFieldName("stkcode").value_or(""), "600000.2");
    EXPECT_NE(radar[0]->toIntWithFieldName("type"), NewsContract::kNoRadarType);
    EXPECT_EQ(radar[0]->toStringWithFieldName("time").value_or(""), "10:12");
    EXPECT_FALSE(radar[0]->toStringWithFieldName("content").value_or("").empty());

    auto none = ask("tc_mfuncno=504&tc_sfuncno=60&stkcode=00700.3&with_content=1");
    ASSERT_EQ(none.size(), 1u);
    ASSERT_EQ(none[0]->rowsAffected(), 1);
    none[0]->fetchFirst();
    EXPECT_EQ(none[0]->toIntWithFieldName("type"), NewsContract::kNoRadarType);
    EXPECT_EQ(none[0]->toStringWithFieldName("stkcode").value_or(""), "00700.3");

    // A new item comes first.
    sim->withRoom<SimInfoRadarRoom>([](SimInfoRadarRoom& r) {
        auto& items = r.items["00700.3"];
        items.insert(items.begin(), {"10:20", "腾讯控股：回购股份"});
    });
    auto added = ask("tc_mfuncno=504&tc_sfuncno=60&stkcode=00700.3&with_content=1");
    added[0]->fetchFirst();
    EXPECT_EQ(added[0]->toStringWithFieldName("content").value_or(""), "腾讯控股：回购股份");
    EXPECT_TRUE(ask("tc_mfuncno=504&tc_sfuncno=60&with_content=1")[0]->isError());
}

TEST_F(SimStockInfoFunctionsTest, NoRadarItemIsDatedAfterTheClock) {
    auto timesAt = [&](int hour, int minute) {
        sim->clock().setTime(SimClock::fromLocal(20240305, hour * 60 + minute));
        std::vector<std::string> times;
        auto set = ask("tc_mfuncno=504&tc_sfuncno=60&stkcode=600000.2&with_content=1")[0];
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext())
            if (set->toIntWithFieldName("type") != NewsContract::kNoRadarType)
                times.push_back(set->toStringWithFieldName("time").value_or(""));
        return times;
    };
    EXPECT_EQ(timesAt(10, 2), (std::vector<std::string>{"09:31", "08:45"}));
    EXPECT_EQ(timesAt(10, 12), (std::vector<std::string>{"10:12", "09:31", "08:45"}));
    EXPECT_TRUE(timesAt(8, 0).empty()) << "the stock has no item yet today";
    EXPECT_EQ(ask("tc_mfuncno=504&tc_sfuncno=54&stkcodes=600000.2,000001.1")[0]->rowsAffected(), 0)
        << "nor a red dot in the portfolio";
}

TEST_F(SimStockInfoFunctionsTest, TheStocksWithRadarItemsAreNamedInTheAskedOrder) {
    auto set = ask("tc_mfuncno=504&tc_sfuncno=54&stkcodes=600036.2,000001.1,bad,600000.2")[0];
    ASSERT_FALSE(set->isError());
    ASSERT_EQ(set->rowsAffected(), 2);
    set->fetchFirst();
    EXPECT_EQ(set->toStringWithFieldName("code").value_or(""), "000001");
    EXPECT_EQ(set->toIntWithFieldName("market"), 1);
    set->fetchNext();
    EXPECT_EQ(set->toStringWithFieldName("code").value_or(""), "600000");
    EXPECT_EQ(set->toIntWithFieldName("market"), 2);
    EXPECT_EQ(ask("tc_mfuncno=504&tc_sfuncno=54&stkcodes=000002.1")[0]->rowsAffected(), 0);
    EXPECT_EQ(ask("tc_mfuncno=504&tc_sfuncno=54&stkcodes=")[0]->rowsAffected(), 0);
}

TEST_F(SimStockInfoFunctionsTest, TheHiddenF10ItemLinksSectionsWhoseTitlesOpenTexts) {
    // The menu: the hidden item and its visible children, each a news list of a section.
    auto menu = ask("tc_mfuncno=100&tc_sfuncno=2");
    ASSERT_TRUE(installMenuSets(menu));
    auto underQuotes = menusWithLink("f10", 1);  // hidden under 行情
    ASSERT_TRUE(underQuotes && !underQuotes->empty());
    auto f10 = underQuotes->front();
    EXPECT_FALSE(f10->showOrNot());
    auto items = visibleMenusOfNode(f10->m_id());
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0]->title(), "公司概况");
    EXPECT_EQ(items[0]->link(), "newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=1");
    EXPECT_EQ(items[5]->title(), "个股新闻");
    VTATree::setSharedTree(nullptr);

    for (int section = 1; section <= 5; ++section) {
        auto titles = ask("tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=" + std::to_string(section) +
                          "&stkcode=000001&market=1");
        ASSERT_EQ(titles.size(), 1u);
        ASSERT_FALSE(titles[0]->isError()) << titles[0]->getError();
        ASSERT_GE(titles[0]->rowsAffected(), 1);
        for (titles[0]->fetchFirst(); !titles[0]->isEOF(); titles[0]->fetchNext()) {
            std::string id = titles[0]->toStringWithFieldName("newsid").value_or("");
            EXPECT_NE(titles[0]->toStringWithFieldName("title").value_or("").find("平安银行"), std::string::npos);
            EXPECT_EQ(titles[0]->toStringWithFieldName("originaltime").value_or("").size(), 16u);
            auto text = ask("tc_mfuncno=504&tc_sfuncno=64&newsid=" + id);
            ASSERT_EQ(text.size(), 1u);
            ASSERT_FALSE(text[0]->isError()) << id;
            EXPECT_GE(text[0]->rowsAffected(), 1);
        }
    }
    EXPECT_EQ(ask("tc_mfuncno=504&tc_sfuncno=63&f10type=9&stkcode=000001&market=1")[0]->getError(), "无此资讯栏目");
    EXPECT_EQ(ask("tc_mfuncno=504&tc_sfuncno=63&f10type=1&stkcode=999999&market=1")[0]->getError(), "股票代码不存在");
    EXPECT_EQ(ask("tc_mfuncno=504&tc_sfuncno=64&newsid=1-9-000001.1")[0]->getError(), "该资讯不存在或已删除");
    EXPECT_EQ(ask("tc_mfuncno=504&tc_sfuncno=64&newsid=junk")[0]->getError(), "该资讯不存在或已删除");
}
