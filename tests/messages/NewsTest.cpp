// The news: a column's headlines from the menu, scrolled to their end, an
// article and its read mark, the menu's single article, and what the screens
// do with the server's refusals, the search buttons, an article without a
// headline.
#include "tests/messages/MessagesTestSupport.h"

#include "core/VTAUserDefoult.h"
#include "messages/InfoContentViewController.h"
#include "messages/InfoTitleCell.h"
#include "messages/InfoTitleViewController.h"
#include "messages/NewsTexts.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "shell/VTAListViewController.h"
#include "shell/VTAStockFinder.h"
#include "shell/VTAUIFactory.h"

class NewsTest : public MessagesClientTest {
protected:
    InfoTitleViewController* list() const { return dynamic_cast<InfoTitleViewController*>(top()); }
    InfoContentViewController* article() const { return dynamic_cast<InfoContentViewController*>(top()); }
    // Home board "资讯", then the item of that title.
    void openNewsItem(const std::string& title) {
        ASSERT_TRUE(host.tapText("资讯"));
        run(1);
        ASSERT_TRUE(dynamic_cast<VTAListViewController*>(top()));
        ASSERT_TRUE(host.tapText(title));
        run(1);
    }
    std::shared_ptr<UIColor> titleColorOfRow(int row) {
        auto cell = std::dynamic_pointer_cast<InfoTitleCell>(list()->tableView()->cellForRowAtIndexPath({0, row}));
        return cell ? cell->titleLabel()->textColor() : nullptr;
    }
};

TEST_F(NewsTest, AColumnScrollsToItsLastHeadlineAndAnArticleReadTurnsGrey) {
    openNewsItem("新闻资讯");
    auto* news = list();
    ASSERT_TRUE(news);
    EXPECT_EQ(news->title(), "新闻资讯");
    ASSERT_TRUE(waitFor([&] { return news->tableData().size() == 20; }));
    // The link's query is the request, "cont_sfunc" and the page size included.
    auto asked = sim->requestsOf(504, 62);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(fieldOf(asked[0], "newstypeid"), "01");
    EXPECT_EQ(fieldOf(asked[0], "count"), "20");
    EXPECT_EQ(fieldOf(asked[0], "cont_sfunc"), "61");
    // A headline of two lines has a tall row.
    EXPECT_DOUBLE_EQ(news->tableView()->rectForRowAtIndexPath({0, 0}).size.height, InfoTitleCell::kTallRowHeight);
    EXPECT_DOUBLE_EQ(news->tableView()->rectForRowAtIndexPath({0, 1}).size.height, InfoTitleCell::kShortRowHeight);
    EXPECT_TRUE(host.isTextVisible("2024-03-05 13:20"));
    EXPECT_TRUE(*titleColorOfRow(1) == *InfoTitleViewController::unreadTitleColor());
    saveScreenshot("headlines");

    // The finger pages down to the last headline of the page.
    for (int i = 0; i < 6 && !host.isTextVisible("地方政府专项债发行提速"); ++i) {
        host.drag(160, 400, 160, 120, 10);
        run(1);
    }
    ASSERT_TRUE(host.isTextVisible("地方政府专项债发行提速"));
    saveScreenshot("headlines-end");
    ASSERT_TRUE(host.tapText("地方政府专项债发行提速"));
    run(1);
    auto* a = article();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->title(), "新闻资讯");
    EXPECT_EQ(a->contentUrl(), "tc_mfuncno=504&tc_sfuncno=61&newsid=01020&newstypeid=01");
    ASSERT_TRUE(waitFor([&] { return !a->contentLabel()->text().empty(); }));
    EXPECT_EQ(a->titleLabel()->text(), "地方政府专项债发行提速");
    EXPECT_EQ(a->timeLabel()->text(), "新华社    2024-03-05 00:40");
    const std::string text = a->contentLabel()->text();
    EXPECT_EQ(text.rfind("地方政府专项债发行提速。据新华社消息", 0), 0u) << text;
    EXPECT_NE(text.find("\n\n分析人士指出"), std::string::npos);
    EXPECT_NE(text.find("\n\n以上内容仅供参考"), std::string::npos);
    EXPECT_DOUBLE_EQ(a->scrollView()->contentSize().height, a->contentLabel()->frame().size.height + 80);
    auto read = VTAUserDefoult::standerDefoult().getArrayForKey(kNewsReadIdsKey);
    ASSERT_TRUE(read && !read->empty());
    EXPECT_EQ(read->front().string(), "01020");
    saveScreenshot("article");

    // Back: the column is fetched again and the headline read is grey.
    ASSERT_TRUE(host.tapText("返回"));
    run(1);
    ASSERT_EQ(list(), news);
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(504, 62).size() == 2; }));
    run(0.5);
    news->tableView()->scrollToRowAtIndexPath({0, 19}, UITableViewScrollPosition::Middle, false);
    news->tableView()->layoutIfNeeded();
    EXPECT_TRUE(*titleColorOfRow(19) == *UIColor::grayColor());
    EXPECT_FALSE(*titleColorOfRow(18) == *UIColor::grayColor());
    saveScreenshot("read-grey");
}

TEST_F(NewsTest, TheMenusSingleArticleCarriesTheNewsTypeOnceTheNewsMenuGaveIt) {
    openNewsItem("今日焦点");
    auto* a = article();
    ASSERT_TRUE(a);
    ASSERT_TRUE(waitFor([&] { return !a->contentLabel()->text().empty(); }));
    auto asked = sim->requestsOf(504, 61);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(fieldOf(asked[0], "newsid"), "01001");
    EXPECT_FALSE(hasField(asked[0], "newstypeid"));  // no news menu seen yet
    // The headline comes from the reply, and is two lines: what lies under it moves down.
    EXPECT_EQ(a->titleLabel()->text(), "央行开展逆回购操作 维护银行体系流动性合理充裕");
    EXPECT_DOUBLE_EQ(a->titleLabel()->frame().size.height, 44);
    EXPECT_DOUBLE_EQ(a->separateView()->frame().origin.y, 52 + 22);
    EXPECT_DOUBLE_EQ(a->contentLabel()->frame().origin.y, 60 + 22);
    // Opened from the menu without an id: nothing is marked read.
    EXPECT_FALSE(VTAUserDefoult::standerDefoult().getArrayForKey(kNewsReadIdsKey));
    saveScreenshot("focus");
    popToRootViewController();
    run(1);

    // The news menu (更多 > 资讯分类) keeps the first category's id.
    ASSERT_TRUE(host.tapText("更多"));
    run(1);
    ASSERT_TRUE(host.tapText("资讯分类"));
    ASSERT_TRUE(waitFor([&] { return host.isTextVisible("研究报告"); }));
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey(kNewsTypeIdKey), "01");
    popToRootViewController();
    run(1);
    openNewsItem("今日焦点");
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(504, 61).size() == 2; }));
    EXPECT_EQ(fieldOf(sim->requestsOf(504, 61)[1], "newstypeid"), "01");
}

TEST_F(NewsTest, RefusalsKeepTheRowsAndTheArticleSaysWhatWentWrong) {
    openNewsItem("公司新闻");
    auto* news = list();
    ASSERT_TRUE(news);
    ASSERT_TRUE(waitFor([&] { return news->tableData().size() == 5; }));
    // An error set on the next fetch: the rows stay, nothing is said.
    sim->forceErrorSet(-1, "资讯服务繁忙", 504, 62);
    news->requestDigest();
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(504, 62).size() == 2; }));
    run(0.5);
    EXPECT_EQ(news->tableData().size(), 5u);
    EXPECT_FALSE(UIAlertView::topAlert());
    // A reply that is no record sets, or the line lost: said, the rows stay.
    struct Failure {
        std::function<void()> make;
        const char *title, *message;
    };
    for (const Failure& f : {Failure{[&] { sim->answerNext({504, 62}, {0x07, 0x07}); }, "数据处理错误",
                                     "请退出程序重试，如有问题请致电恒岳咨询"},
                             Failure{[&] { sim->dropConnection(504, 62); }, "网络连接失败，请检查网络设置", ""}}) {
        SCOPED_TRACE(f.title);
        f.make();
        news->requestDigest();
        ASSERT_TRUE(waitFor([&] { return UIAlertView::topAlert() != nullptr; }));
        EXPECT_EQ(UIAlertView::topAlert()->title(), f.title);
        EXPECT_EQ(UIAlertView::topAlert()->message(), f.message);
        ASSERT_TRUE(host.pressAlertButton("确定"));
        EXPECT_EQ(news->tableData().size(), 5u);
    }

    // An article whose line is lost says so, and no text stands for the article.
    sim->dropConnection(504, 61);
    ASSERT_TRUE(host.tapText("贵州茅台拟每股派发现金红利"));
    run(1);
    ASSERT_TRUE(article());
    ASSERT_TRUE(waitFor([&] { return UIAlertView::topAlert() != nullptr; }));
    EXPECT_EQ(UIAlertView::topAlert()->title(), "网络连接失败，请检查网络设置");
    EXPECT_EQ(article()->contentLabel()->text(), "");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    popViewControllers(1);
    run(1);

    // The article of a headline the server no longer has: its text in place of the article.
    sim->forceErrorSet(-1, "该资讯不存在或已删除", 504, 61);
    ASSERT_TRUE(host.tapText("贵州茅台拟每股派发现金红利"));
    run(1);
    ASSERT_TRUE(article());
    ASSERT_TRUE(waitFor([&] { return !article()->contentLabel()->text().empty(); }));
    EXPECT_EQ(article()->contentLabel()->text(), "该资讯不存在或已删除");
    EXPECT_EQ(article()->titleLabel()->text(), "贵州茅台拟每股派发现金红利");
    popViewControllers(1);
    run(1);
    // An article without records.
    sim->answerNext({504, 61}, TCRSWriter().beginSet().addField("content", TCRSFieldType::VarText).bytes());
    ASSERT_TRUE(host.tapText("万科A：销售回款保持稳定"));
    run(1);
    ASSERT_TRUE(waitFor([&] { return !article()->contentLabel()->text().empty(); }));
    EXPECT_EQ(article()->contentLabel()->text(), "没有相关信息");
    saveScreenshot("no-article");
}

TEST_F(NewsTest, ALinkThatNamesNoArticleFunctionOpensNothing) {
    auto vc = VTAUIFactory::viewControllerWithLink("newslist?tc_mfuncno=504&tc_sfuncno=62&newstypeid=02", "公司新闻");
    auto* news = dynamic_cast<InfoTitleViewController*>(vc.get());
    ASSERT_TRUE(news);
    pushViewController(vc);
    run(1);
    ASSERT_TRUE(waitFor([&] { return news->tableData().size() == 5; }));
    const size_t before = delegate->navigationController()->viewControllers().size();
    ASSERT_TRUE(host.tapText("招商银行发布年度业绩快报 净利润稳健增长"));
    run(1);
    EXPECT_EQ(delegate->navigationController()->viewControllers().size(), before);
    EXPECT_TRUE(sim->requestsOf(504, 61).empty());
    // And a link without "tc_mfuncno" asks nothing at all.
    auto none = VTAUIFactory::viewControllerWithLink("newslist?newstypeid=02", "公司新闻");
    pushViewController(none);
    run(1);
    EXPECT_EQ(sim->requestsOf(504, 62).size(), 1u);
    EXPECT_TRUE(dynamic_cast<InfoTitleViewController*>(none.get())->tableData().empty());
}

TEST_F(NewsTest, TheSearchButtonsOpenTheStockFinderAndAnArticleWithoutAHeadlineStartsWithItsText) {
    openNewsItem("新闻资讯");
    ASSERT_TRUE(list());
    ASSERT_TRUE(waitFor([&] { return list()->tableData().size() == 20; }));
    auto finderOnWindow = [&]() -> std::shared_ptr<VTAStockFinder> {
        for (auto& v : host.window()->subviews())
            if (auto f = std::dynamic_pointer_cast<VTAStockFinder>(v)) return f;
        return nullptr;
    };
    // The list's search button, then the article's: the finder slides up
    // over the screen from below it; its "关闭" takes it away.
    for (const bool onArticle : {false, true}) {
        SCOPED_TRACE(onArticle ? "article" : "list");
        if (onArticle) {
            ASSERT_TRUE(host.tapText(list()->tableData()[0].title()));
            run(1);
            ASSERT_TRUE(article());
        }
        ASSERT_FALSE(finderOnWindow());
        host.tap(300, 42);  // the search button of the navigation bar
        run(1);
        auto finder = finderOnWindow();
        ASSERT_TRUE(finder);
        EXPECT_DOUBLE_EQ(finder->frame().origin.y, 480 - finder->frame().size.height);
        EXPECT_TRUE(finder->searchField()->isFirstResponder());
        ASSERT_TRUE(host.tapText("关闭"));
        run(1);
        EXPECT_FALSE(finderOnWindow());
    }
    popToRootViewController();
    run(1);

    // The menu's article, whose reply names no headline: the text starts at the top.
    TCRSWriter noHeadline;
    noHeadline.beginSet()
        .addField("content", TCRSFieldType::VarText)
        .addField("source", TCRSFieldType::VarText)
        .addRecord({"今日两市小幅高开，银行板块表现活跃。", "本站"});
    sim->answerNext({504, 61}, noHeadline.bytes());
    openNewsItem("今日焦点");
    auto* a = article();
    ASSERT_TRUE(a);
    ASSERT_TRUE(waitFor([&] { return !a->contentLabel()->text().empty(); }));
    EXPECT_EQ(a->contentLabel()->text(), "今日两市小幅高开，银行板块表现活跃。");
    EXPECT_FALSE(a->titleLabel()->superview());
    EXPECT_FALSE(a->timeLabel()->superview());
    EXPECT_FALSE(a->separateView()->superview());
    EXPECT_DOUBLE_EQ(a->contentLabel()->frame().origin.y, 10);
    saveScreenshot("no-headline");
}
