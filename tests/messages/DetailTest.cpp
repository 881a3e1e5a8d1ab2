// A message opened from the inbox: its page, its long content (a text the
// server keeps, or a web page), its related stocks, the favourite star and
// the deletion.
#include "tests/messages/MessagesTestSupport.h"

#include "core/VTAParamter.h"
#include "messages/MEWebViewController.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPageControl.h"
#include "platform/uikit/UIWebView.h"
#include "quotes/StockQuotesViewController.h"
#include "shell/WebFetcher.h"
#include "ui/SVProgressHUD.h"

class DetailTest : public MessagesClientTest {
protected:
    void SetUp() override {
        MessagesClientTest::SetUp();
        installWebFetcher();
    }
    void TearDown() override {
        UIWebView::setDefaultFetcher(nullptr);
        ScreenRegistry::shared().setStockPage(nullptr);
        MessagesClientTest::TearDown();
    }
    // Opens the message of that title from the inbox grouped by sender.
    MEDetailViewController* openMessage(const std::string& sender, const std::string& title) {
        auto* box = inbox() ? inbox() : openInbox();
        if (!box) return nullptr;
        if (box->selectedHeaderIndex() < 0 || box->cacheOfHeaders()[box->selectedHeaderIndex()]->sortordStr() != sender) {
            EXPECT_TRUE(tapHeader(*box, sender));
        }
        run(0.5);
        EXPECT_TRUE(host.tapText(title));
        run(1);
        return detail();
    }
    MEWebViewController* page() const { return dynamic_cast<MEWebViewController*>(top()); }
    // Scrolls the text down to its end and taps "点击查看详细内容".
    bool tapMore(MEDetailViewController& d) {
        auto* text = d.contentTextView();
        text->setContentOffset(text->maximumContentOffset());
        run(0.2);
        return host.tapText(MEDetailViewController::kMoreTitle);
    }
};

TEST_F(DetailTest, ALongTextOpensInThePageTemplateEscapedAndTheRelatedStocksOnTheSecondPage) {
    auto* d = openMessage("公告快递", "平安银行、招商银行发布业绩快报");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->title(), "信息快线");
    EXPECT_EQ(d->detailTitleLabel()->text(), "今天 (星期二) 12:35:00 公告快递");
    EXPECT_EQ(d->messagePageControl()->numberOfPages(), 2);
    EXPECT_TRUE(host.isTextVisible("两家银行同日发布业绩快报"));
    EXPECT_TRUE(d->navigationItem()->rightBarButtonItem());  // the trash
    saveScreenshot("message");

    // The second page: the two stocks, each its name and bare code.
    host.drag(290, 300, 30, 300, 8);
    run(1);
    EXPECT_EQ(d->messagePageControl()->currentPage(), 1);
    EXPECT_EQ(d->title(), "关联股票");
    EXPECT_TRUE(host.isTextVisible("平安银行 (000001)"));
    EXPECT_TRUE(host.isTextVisible("招商银行 (600036)"));
    saveScreenshot("related-stocks");
    // A tap opens that stock's quote page (one stock: no arrows).
    ASSERT_TRUE(host.tapText("招商银行 (600036)"));
    ASSERT_TRUE(waitFor([&] { return dynamic_cast<StockQuotesViewController*>(top()) != nullptr; }));
    auto* quote = dynamic_cast<StockQuotesViewController*>(top());
    EXPECT_EQ(quote->currentStock()->stockId(), "600036.2");
    EXPECT_EQ(quote->currentStock()->name(), "招商银行");
    EXPECT_FALSE(quote->hasArrows());
    popViewControllers(1);
    run(1);

    // Back on the first page, the long text through the service client.
    host.drag(30, 300, 290, 300, 8);
    run(1);
    ASSERT_EQ(d->messagePageControl()->currentPage(), 0);
    ASSERT_TRUE(tapMore(*d));
    run(1);
    ASSERT_TRUE(page());
    auto* web = page()->messageWebView();
    ASSERT_TRUE(waitFor([&] { return web->pageText().find("营业收入") != std::string::npos; }));
    auto asks = sim->requestsOf(3780, 7);
    ASSERT_EQ(asks.size(), 1u);
    std::string text = web->pageText();
    // The message's "<" and "&" show as written; its line breaks are breaks.
    EXPECT_NE(text.find("营业收入同比增长>10% & 不良率保持稳定。"), std::string::npos) << text;
    EXPECT_NE(text.find("不良贷款率<1.1%，拨备覆盖率保持高位。"), std::string::npos) << text;
    EXPECT_NE(text.find("公告快递 2024-03-05 12:35:00"), std::string::npos) << text;
    EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("document.title"), "平安银行、招商银行发布业绩快报");
    saveScreenshot("long-text");
    // Refresh asks again.
    ASSERT_TRUE(tapView(page()->functionToolbar()->viewForItem(page()->functionToolbar()->items()[3].get())));
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(3780, 7).size() == 2; }));
}

TEST_F(DetailTest, AWebPageMessageLoadsItsAddressAndALongMessageScrolls) {
    auto* d = openMessage("研究所", "晨会纪要");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->messagePageControl()->numberOfPages(), 1);  // no stock: one page, one dot
    auto* text = d->contentTextView();
    EXPECT_GT(text->contentSize().height, text->frame().size.height);  // the long text scrolls
    EXPECT_FALSE(host.isTextVisible(MEDetailViewController::kMoreTitle));
    saveScreenshot("long-message");
    text->setContentOffset(text->maximumContentOffset());
    run(0.2);
    EXPECT_TRUE(host.isTextVisible(MEDetailViewController::kMoreTitle));
    saveScreenshot("long-message-end");
    ASSERT_TRUE(host.tapText(MEDetailViewController::kMoreTitle));
    run(1);
    ASSERT_TRUE(page());
    auto* web = page()->messageWebView();
    ASSERT_TRUE(waitFor([&] { return !web->isLoading() && web->pageText().find("晨会纪要") != std::string::npos; }));
    // The stored address has no scheme: "http://" goes in front.
    EXPECT_EQ(web->request().URL(), sim->url() + "/page/report.html");
    saveScreenshot("web-page");
    // A link of the page, then back and forward.
    web->activateLink("faq.html");
    ASSERT_TRUE(waitFor([&] { return !web->isLoading() && web->pageText().find("常见问题") != std::string::npos; }));
    auto* bar = page()->functionToolbar();
    ASSERT_TRUE(tapView(bar->viewForItem(bar->items()[0].get())));
    ASSERT_TRUE(waitFor([&] { return !web->isLoading() && web->pageText().find("晨会纪要") != std::string::npos; }));
    ASSERT_TRUE(tapView(bar->viewForItem(bar->items()[1].get())));
    ASSERT_TRUE(waitFor([&] { return !web->isLoading() && web->pageText().find("常见问题") != std::string::npos; }));
}

TEST_F(DetailTest, FavouritesAreLimitedAndTheTrashDeletesAfterAsking) {
    Value::Dict conf;
    conf["maxmsg"] = "1^1";
    VTAParamter::shareParamter().setValue(Value(conf), "commomdSettingForHQ");
    auto* d = openMessage("资讯中心", "早盘提示");
    ASSERT_TRUE(d);
    ASSERT_TRUE(tapView(d->favoriteBtn()));
    EXPECT_TRUE(store()->messageWithMessageId(d->messageExpress()->messageId())->isFavorite());
    EXPECT_EQ(d->favoriteBtn()->currentBackgroundImage(), UIImage::imageNamed("star_enable.png"));
    popViewControllers(1);
    run(1);
    d = openMessage("资讯中心", "周末要闻回顾");
    ASSERT_TRUE(d);
    ASSERT_TRUE(tapView(d->favoriteBtn()));
    auto alert = UIAlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "收藏信息失败");
    EXPECT_EQ(alert->message(), "收藏夹已满，请先删除部分收藏信息");
    saveScreenshot("favourites-full");
    alert->dismissWithClickedButtonIndex(0, false);
    EXPECT_FALSE(d->messageExpress()->isFavorite());
    popViewControllers(1);
    run(1);
    // Taking a star off always works.
    d = openMessage("资讯中心", "早盘提示");
    ASSERT_TRUE(tapView(d->favoriteBtn()));
    EXPECT_EQ(store()->amountOfFavoriteMessage(), 0);

    // The trash asks first; "取消" keeps the message.
    ASSERT_TRUE(tapView(d->navigationController()->navigationBar()->rightButtonView()));
    run(0.5);
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), "删除消息");
    EXPECT_EQ(UIAlertView::topAlert()->message(), "确定要删除此消息吗?");
    saveScreenshot("delete-asks");
    ASSERT_TRUE(host.pressAlertButton("取消"));
    run(0.5);
    EXPECT_EQ(detail(), d);
    EXPECT_TRUE(storedWithTitle("早盘提示"));
    d->deleteAction();
    ASSERT_TRUE(host.pressAlertButton("删除"));
    run(1);
    EXPECT_FALSE(storedWithTitle("早盘提示"));
    EXPECT_TRUE(inbox());
    EXPECT_EQ(rowTitles(*inbox()), std::vector<std::string>{"周末要闻回顾"});
}

TEST_F(DetailTest, APlainMessageHasNoMoreAndAShortTitleShowsAsUntitled) {
    SimMessage m;
    m.senderCode = "9001";
    m.senderName = "系统通知";
    m.title = "停";
    m.content = "今日暂停新股申购。";
    m.type = 0;
    sim->pushMessage(m);
    ASSERT_TRUE(waitFor([&] { return storedCount() == 6; }));
    auto* d = openMessage("系统通知", "停");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->titleLabel()->text(), "无标题");
    EXPECT_FALSE(d->moreButton());
    saveScreenshot("untitled");
}

TEST_F(DetailTest, LongTextFailuresShowOnTheOverlayAndHttpsAddressesLoadAsTheyAre) {
    auto* d = openMessage("公告快递", "平安银行、招商银行发布业绩快报");
    ASSERT_TRUE(d);
    // A reply without rows.
    sim->answerNext({3780, 7}, TCRSWriter().beginSet().addField("news_content", TCRSFieldType::VarText).bytes());
    ASSERT_TRUE(tapMore(*d));
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::isVisible(); }));
    EXPECT_EQ(SVProgressHUD::status(), MEWebViewController::kNoDetailText);
    EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Error);
    saveScreenshot("no-detail");
    run(1.8);
    EXPECT_FALSE(SVProgressHUD::isVisible());
    popViewControllers(1);
    run(1);

    // A web-page message whose address names its scheme loads it as it is.
    std::vector<std::string> fetched;
    UIWebView::setDefaultFetcher([&](const NSURLRequest& r, WebFetchCompletion done) {
        fetched.push_back(r.URL());
        WebFetchResult result;
        result.ok = false;
        result.error = NSError("NSURLErrorDomain", -1004, "无法连接服务器");
        done(result);
    });
    auto message = std::make_shared<QZMessageExpress>("1001");
    message->setMessageType(2);
    message->setMessageUrl("https://www.example.com/notice.html");
    auto web = std::make_shared<MEWebViewController>(message);
    pushViewController(web);
    run(1);
    ASSERT_EQ(fetched, std::vector<std::string>{"https://www.example.com/notice.html"});
    // The failure shows the red page with the error's text.
    ASSERT_TRUE(waitFor([&] { return web->messageWebView()->pageText().find("无法连接服务器") != std::string::npos; }));
    EXPECT_NE(web->messageWebView()->pageText().find("页面加载失败："), std::string::npos);
    saveScreenshot("load-failed");
}

TEST_F(DetailTest, EachLongTextFailureSaysWhyOnTheOverlayAndLeavingStopsTheLoadAndTheOverlay) {
    ASSERT_TRUE(openMessage("公告快递", "平安银行、招商银行发布业绩快报"));
    struct Failure {
        std::function<void()> arrange;
        std::string shown;
    };
    const std::vector<Failure> failures = {
        {[&] { sim->answerNext({3780, 7}, {0x01, 0x02, 0x03}); }, "数据解析错误"},
        {[&] { sim->forceErrorSet(-3, "详细信息已过期", 3780, 7); }, "详细信息已过期"},
        {[&] { sim->forceFault(SimFault::Refuse, 3780, 7); }, "服务器返回数据异常"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.shown);
        f.arrange();
        ASSERT_TRUE(tapMore(*detail()));
        ASSERT_TRUE(page());
        ASSERT_TRUE(waitFor([&] { return SVProgressHUD::isVisible(); }));
        EXPECT_EQ(SVProgressHUD::status(), f.shown);
        EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Error);
        EXPECT_EQ(page()->messageWebView()->pageText(), "") << "the page shows nothing of it";
        // Going back before the 1.75 s are over takes the overlay away at once.
        popViewControllers(1);
        EXPECT_FALSE(SVProgressHUD::isVisible());
        run(1);
    }

    // A web page still loading when the customer leaves: the load stops and
    // the network indicator goes off.
    std::vector<WebFetchCompletion> waiting;
    UIWebView::setDefaultFetcher([&](const NSURLRequest&, WebFetchCompletion done) { waiting.push_back(done); });
    auto message = std::make_shared<QZMessageExpress>("1001");
    message->setMessageType(2);
    message->setMessageUrl("www.example.com/notice.html");
    auto web = std::make_shared<MEWebViewController>(message);
    pushViewController(web);
    run(1);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_TRUE(web->messageWebView()->isLoading());
    EXPECT_TRUE(UIApplication::sharedApplication().isNetworkActivityIndicatorVisible());
    popViewControllers(1);
    run(1);
    EXPECT_FALSE(web->messageWebView()->isLoading());
    EXPECT_FALSE(UIApplication::sharedApplication().isNetworkActivityIndicatorVisible());
}
