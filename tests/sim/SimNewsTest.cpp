// The news family: categories, headlines by page and by stock, articles.
#include <gtest/gtest.h>

#include "core/contracts/NewsContract.h"
#include "sim/SimNews.h"
#include "tests/sim/SimTestSupport.h"

namespace {

std::vector<std::string> column(VTATCRS& set, const char* name) {
    std::vector<std::string> out;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) out.push_back(set.toStringWithFieldName(name).value_or(""));
    return out;
}

}  // namespace

TEST_F(SimTest, HeadlinesComeByPageNewestFirstAndByStock) {
    std::string s = login();
    auto categories = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=1"));
    ASSERT_TRUE(categories && !categories->isError());
    auto links = column(*categories, "link");
    ASSERT_EQ(links.size(), 4u);
    EXPECT_EQ(links[0], "newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01&count=20");

    // The link's query is the request: the first page of twenty.
    auto first = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01&count=20"));
    ASSERT_TRUE(first && !first->isError());
    auto ids = column(*first, "newsid");
    ASSERT_EQ(ids.size(), 20u);
    EXPECT_EQ(ids.front(), "01001");
    auto times = column(*first, "originaltime");
    EXPECT_EQ(times.front(), "2024-03-05 10:20");
    EXPECT_TRUE(std::is_sorted(times.rbegin(), times.rend())) << "newest first";
    EXPECT_EQ(column(*first, "newstypeid").front(), "01");
    // The page after the last one shown holds the rest.
    auto second = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=62&newstypeid=01&count=20&poststr=" + ids.back()));
    auto rest = column(*second, "newsid");
    ASSERT_EQ(rest.size(), 6u);
    EXPECT_EQ(rest.front(), "01021");
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=62&newstypeid=01&poststr=" + rest.back()))->rowsAffected(),
              0);

    // The quote page's lists add the stock: only its news, of every column.
    auto bank = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=62&stkcode=600036&market=2"));
    auto about = column(*bank, "ext");
    ASSERT_GE(about.size(), 3u);
    for (const auto& a : about) EXPECT_EQ(a, "600036.2");

    auto unknown = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=62&newstypeid=99"));
    ASSERT_TRUE(unknown->isError());
    EXPECT_EQ(unknown->getError(), "无此资讯栏目");
}

TEST_F(SimTest, AnArticleIsOneParagraphARecord) {
    std::string s = login();
    auto a = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=61&newsid=02001&newstypeid=02"));
    ASSERT_TRUE(a && !a->isError());
    ASSERT_EQ(a->rowsAffected(), 3);
    a->fetchFirst();
    EXPECT_EQ(a->toStringWithFieldName("title").value_or(""), "招商银行发布年度业绩快报 净利润稳健增长");
    EXPECT_EQ(a->toStringWithFieldName("source").value_or(""), "证券时报");
    EXPECT_EQ(a->toStringAtIndex(0), a->toStringWithFieldName("content"));
    a->fetchNext();
    EXPECT_FALSE(a->toStringAtIndex(0).value_or("").empty());

    auto gone = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=61&newsid=77777"));
    ASSERT_TRUE(gone->isError());
    EXPECT_EQ(gone->getError(), "该资讯不存在或已删除");
}

TEST_F(SimTest, TheOwnStocksNewsComesByStockIdsWithACursorPerRow) {
    std::string s = login();
    const std::string stocks = "stkcodes=600000.2,000001.1,600036.2,000002.1";
    auto first = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=56&poststr=0&count=30&" + stocks));
    ASSERT_TRUE(first && !first->isError());
    auto ids = column(*first, "newsid");
    ASSERT_EQ(ids.size(), 30u);
    EXPECT_EQ(column(*first, "poststr"), ids) << "each row is the cursor of the page after it";
    auto times = column(*first, "originaltime");
    EXPECT_TRUE(std::is_sorted(times.rbegin(), times.rend())) << "newest first";
    for (const auto& about : column(*first, "ext")) EXPECT_TRUE(stocks.find(about) != std::string::npos) << about;
    auto second = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=56&count=30&poststr=" + ids.back() + "&" + stocks));
    EXPECT_EQ(second->rowsAffected(), 8);
    // The stock news are articles like any other.
    auto article = firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=61&newsid=" + column(*second, "newsid").back()));
    ASSERT_TRUE(article && !article->isError());
    EXPECT_EQ(article->rowsAffected(), 3);
    // No stock asked, no news.
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=504&tc_sfuncno=56&poststr=0&count=30&stkcodes="))->rowsAffected(), 0);
}
