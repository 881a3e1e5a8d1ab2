// The texts the message and news screens make: group labels, row and detail
// dates, related stocks, the message page, and the news requests and texts.
#include <gtest/gtest.h>

#include "core/TCRSWriter.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/storage/Digest.h"
#include "core/storage/QZMessageExpress.h"
#include "messages/MEWebPage.h"
#include "messages/MessageTexts.h"
#include "messages/NewsTexts.h"
#include "platform/foundation/Clock.h"
#include "tests/support/TestSupport.h"

namespace {

// 2024-03-06 (a Wednesday) 12:00 in Shanghai, on whose calendar the server
// dates its messages (23:00 of the day before in New York, where the tests run).
constexpr double kWednesdayNoon = 1709697600;

QZMessageExpress message(const std::string& date, const std::string& time, int week) {
    QZMessageExpress m("1001");
    m.setSenderName("资讯中心");
    m.setSendDate(date);
    m.setSendTime(time);
    m.setWeek(week);
    return m;
}

std::shared_ptr<VTATCRS> firstSet(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets && !sets->empty() ? sets->front() : nullptr;
}

}  // namespace

class MessageTextsTest : public ::testing::Test {
protected:
    void SetUp() override { Clock::freezeAt(kWednesdayNoon); }
    void TearDown() override { Clock::useSystemTime(); }
};

TEST_F(MessageTextsTest, GroupLabelsAndHeaderTexts) {
    EXPECT_EQ(dateGroupLabel("2024-03-06", "3"), "今天 星期三");
    EXPECT_EQ(dateGroupLabel("2024-03-05", "2"), "昨天 星期二");
    EXPECT_EQ(dateGroupLabel("2024-03-01", "5"), "2024-03-01 星期五");
    EXPECT_EQ(dateGroupLabel("", ""), " ");  // missing parts are empty, never a placeholder

    // The no-stock group: alone "所有信息", among others "其他".
    EXPECT_EQ(stockGroupLabel("9999999", "9999999", 1), "所有信息");
    EXPECT_EQ(stockGroupLabel("9999999", "9999999", 3), "其他");
    EXPECT_EQ(stockGroupLabel("600036.2", "招商银行", 3), "招商银行 (600036)");
    EXPECT_EQ(stockGroupLabel("600036", "招商银行", 3), "招商银行");
    EXPECT_EQ(stockGroupLabel("600036.2.1", "招商银行", 3), "招商银行");

    MessageGroup g{.label = "资讯中心", .amount = 3, .unreadAmount = 0};
    EXPECT_EQ(groupHeaderText(g), "资讯中心 (3)");
    g.unreadAmount = 2;
    EXPECT_EQ(groupHeaderText(g), "资讯中心");

    // Two groups are the same by grouping and key, whatever they hold.
    MessageGroup a{.sortType = 2, .messageIds = {"1"}, .stockCode = "600036.2", .stockName = "招商银行"};
    MessageGroup b{.sortType = 2, .messageIds = {"1", "2"}, .stockCode = "600036.2", .stockName = "招商银行"};
    MessageGroup c{.sortType = 2, .stockCode = "600036.2", .stockName = "招商银行A"};
    EXPECT_TRUE(a.sameGroupAs(b));
    EXPECT_FALSE(a.sameGroupAs(c));
    EXPECT_FALSE((MessageGroup{.sortType = 0, .keyForSql = "1001"}).sameGroupAs({.sortType = 1, .keyForSql = "1001"}));
}

TEST_F(MessageTextsTest, RowAndDetailDates) {
    auto today = message("2024-03-06", "09:05:30", 3);
    EXPECT_EQ(messageRowDateText(today, true), "[ 09:05 ]");
    EXPECT_EQ(messageRowDateText(today, false), "[今天 星期三 09:05]");
    EXPECT_EQ(messageRowDateText(message("2024-03-01", "16:00:00", 5), false), "[2024-03-01 星期五 16:00]");
    // The detail drops the fraction of a second; a time without one stays as it is.
    EXPECT_EQ(messageDetailLine(message("2024-03-05", "10:30:00.250", 2)), "昨天 (星期二) 10:30:00 资讯中心");
    EXPECT_EQ(messageDetailLine(message("2024-03-05", "10:30:00", 2)), "昨天 (星期二) 10:30:00 资讯中心");
}

TEST_F(MessageTextsTest, RelatedStocksPairCodesAndNamesAndLeaveOutWhatIsNoStock) {
    QZMessageExpress m;
    m.setStockCode("000001.1,600036,600519.2");
    m.setStockName("平安银行,招商银行,贵州茅台");
    auto stocks = relatedStocksOfMessage(m);
    ASSERT_EQ(stocks.size(), 2u);
    EXPECT_EQ(stocks[0].stockId(), "000001.1");
    EXPECT_EQ(stocks[0].name(), "平安银行");
    EXPECT_EQ(stocks[1].stockId(), "600519.2");
    EXPECT_EQ(stocks[1].name(), "贵州茅台");
    // More codes than names: the unpaired ones are left out.
    m.setStockName("平安银行");
    EXPECT_EQ(relatedStocksOfMessage(m).size(), 1u);
    m.setStockCode("");
    EXPECT_TRUE(relatedStocksOfMessage(m).empty());
}

TEST(MessagePageTest, TextIsEscapedBeforeItsLineBreaksAndTheWordsAreFilledOnce) {
    EXPECT_EQ(messageTextToHTML("a\r\n\r\nb\nc"), "a<br/>b<br/>c");
    EXPECT_EQ(messageTextToHTML("a\r\nb"), "a\r<br/>b");  // a lone carriage return stays

    QZMessageExpress m("1001");
    m.setMessageTitle("涨幅<10% & \"稳\"");
    m.setSenderName("资讯中心");
    m.setSendDate("2024-03-05");
    m.setSendTime("10:30:00.123");
    const std::string page =
        renderMessagePage("<h1>QZ_NewsTitle</h1><p>QZ_NewsInfo</p><div>QZ_NewsContent</div><i>QZ_NewsTitle</i>", m,
                          "<script>x</script>\nQZ_NewsInfo");
    EXPECT_EQ(page,
              "<h1>涨幅&lt;10% &amp; &quot;稳&quot;</h1><p>资讯中心 2024-03-05 10:30:00</p>"
              "<div>&lt;script&gt;x&lt;/script&gt;<br/>QZ_NewsInfo</div><i>涨幅&lt;10% &amp; &quot;稳&quot;</i>");

    EXPECT_EQ(messagePageAddress("www.example.com/a.html"), "http://www.example.com/a.html");
    EXPECT_EQ(messagePageAddress("http://www.example.com/a.html"), "http://www.example.com/a.html");
    EXPECT_EQ(messagePageAddress("https://www.example.com/a.html"), "https://www.example.com/a.html");
    EXPECT_NE(messageErrorPage("<b>").find("&lt;b&gt;"), std::string::npos);
}

TEST(NewsTextsTest, RequestsOfTheLinkAndOfARow) {
    VTAMenu menu;
    menu.setLink("newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01");
    EXPECT_EQ(newsLinkRequest(&menu, nullptr), "tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01");
    VTAMessage stock(std::any(), std::string("stkcode=600036&market=2"), 0);
    EXPECT_EQ(newsLinkRequest(&menu, &stock),
              "tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01&stkcode=600036&market=2");
    VTAMessage trade(std::any(), std::string("stkcode=600036"), 1);  // only type 0 carries a request
    EXPECT_EQ(newsLinkRequest(&menu, &trade), "tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01");
    VTAMenu noFunction;
    noFunction.setLink("newslist?newstypeid=01");
    EXPECT_EQ(newsLinkRequest(&noFunction, nullptr), "");
    EXPECT_EQ(newsLinkRequest(nullptr, nullptr), "");

    Digest d;
    d.setDigestId("01007");
    d.setNewsTypeId("1");  // one character: left out
    EXPECT_EQ(newsArticleRequest(menu.link(), d), "tc_mfuncno=504&tc_sfuncno=61&newsid=01007");
    d.setNewsTypeId("01");
    EXPECT_EQ(newsArticleRequest(menu.link(), d), "tc_mfuncno=504&tc_sfuncno=61&newsid=01007&newstypeid=01");
    EXPECT_EQ(newsArticleRequest("newslist?tc_mfuncno=504&tc_sfuncno=62", d), "");  // no article function
    d.setDigestId("1&tc_sfuncno=1");  // a server id that would change the request's shape
    EXPECT_EQ(newsArticleRequest(menu.link(), d), "");
}

TEST(NewsTextsTest, ArticleTextsAndTheTimeLine) {
    // Single-field records: their texts, a blank line between.
    auto single = firstSet(TCRSWriter()
                               .beginSet()
                               .addField("text", TCRSFieldType::VarText)
                               .addRecord({"一"})
                               .addRecord({"二"})
                               .addRecord({"三"})
                               .bytes());
    EXPECT_EQ(newsArticleText(*single), "一\n\n二\n\n三");
    // An empty "content" takes the second field; further records add their first.
    auto fields = firstSet(TCRSWriter()
                               .beginSet()
                               .addField("content", TCRSFieldType::VarText)
                               .addField("title", TCRSFieldType::VarText)
                               .addRecord({"", "标题作正文"})
                               .addRecord({"第二段", ""})
                               .bytes());
    EXPECT_EQ(newsArticleText(*fields), "标题作正文\n\n第二段");

    EXPECT_EQ(newsTimeLine("新", "10:00"), "10:00");
    EXPECT_EQ(newsTimeLine("新华", "10:00"), "新华    10:00");
    EXPECT_EQ(newsTimeLine("", "10:00"), "10:00");
}

TEST(NewsTextsTest, AReadArticleMovesToTheHeadAndTheListIsCapped) {
    ScopedDocuments docs;
    auto& settings = VTAUserDefoult::standerDefoult();
    settings.reload();
    settings.removeValueForKey(kNewsReadIdsKey);
    recordNewsRead("a");
    recordNewsRead("b");
    recordNewsRead("a");
    auto ids = settings.getArrayForKey(kNewsReadIdsKey);
    ASSERT_TRUE(ids);
    ASSERT_EQ(ids->size(), 2u);
    EXPECT_EQ((*ids)[0].string(), "a");
    EXPECT_EQ((*ids)[1].string(), "b");
    for (int i = 0; i < 600; ++i) recordNewsRead("id" + std::to_string(i));
    ids = settings.getArrayForKey(kNewsReadIdsKey);
    ASSERT_EQ(ids->size(), kNewsReadIdsCap);
    EXPECT_EQ(ids->front().string(), "id599");
    EXPECT_EQ(newsReadIds().count("id100"), 1u);
    EXPECT_EQ(newsReadIds().count("id99"), 0u);  // the oldest went
    recordNewsRead("");
    EXPECT_EQ(settings.getArrayForKey(kNewsReadIdsKey)->front().string(), "id599");
    settings.removeValueForKey(kNewsReadIdsKey);
}
