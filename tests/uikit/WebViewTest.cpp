#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/UIImage.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/HTMLDocument.h"
#include "platform/uikit/HTMLLayout.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIWebView.h"
#include "platform/uikit/UIWindow.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {
class RecordingWebDelegate : public UIWebViewDelegate {
public:
    bool webViewShouldStartLoadWithRequest(UIWebView&, const NSURLRequest& r, UIWebViewNavigationType t) override {
        events.push_back("should " + r.URL());
        types.push_back(t);
        return r.URL().rfind("@qzopt=", 0) != 0;  // link commands are the shell's
    }
    void webViewDidStartLoad(UIWebView&) override { events.push_back("start"); }
    void webViewDidFinishLoad(UIWebView& w) override { events.push_back("finish " + w.request().URL()); }
    void webViewDidFailLoadWithError(UIWebView&, const NSError& e) override {
        events.push_back("fail " + std::to_string(e.code()));
    }
    std::vector<std::string> events;
    std::vector<UIWebViewNavigationType> types;
};

// A fetcher that answers when the test says so.
struct FakeServer {
    std::map<std::string, std::string> pages;
    std::vector<std::pair<std::string, WebFetchCompletion>> waiting;
    WebFetcher fetcher() {
        return [this](const NSURLRequest& r, WebFetchCompletion done) {
            waiting.push_back({r.URL(), std::move(done)});
        };
    }
    void answerAll() {
        auto w = std::move(waiting);
        waiting.clear();
        for (auto& [url, done] : w) {
            WebFetchResult r;
            auto it = pages.find(url);
            r.ok = it != pages.end();
            if (r.ok)
                r.body = it->second;
            else
                r.error = NSError("NSURLErrorDomain", -1004, "未能连接到服务器");
            done(r);
        }
    }
};

class WebViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::freezeAt(1700000000);
        RunLoop::main().reset();
        UIApplication::resetSharedApplication();
        window = HeadlessHost::makeKeyWindow();
        UIApplication::sharedApplication().launch();
        host.setRealTimeLimit(0);
        web = std::make_shared<UIWebView>(CGRectMake(0, 20, 320, 416));
        web->setDelegate(&delegate);
        web->setFetcher(server.fetcher());
        window->addSubview(web);
    }
    void TearDown() override {
        web->setDelegate(nullptr);
        web.reset();
        UIApplication::resetSharedApplication();
        window.reset();
        RunLoop::main().reset();
        Clock::useSystemTime();
    }
    void loadAndRun(const std::string& html, const std::string& base = "") {
        web->loadHTMLString(html, base);
        RunLoop::main().runOnce();
        window->layoutIfNeeded();
    }
    // Taps the link's first character as a finger would.
    void tapLink(const std::string& href) {
        auto r = web->rectOfLink(href);
        ASSERT_TRUE(r) << href;
        CGPoint p = web->convertPointToView(CGPointMake(CGRectGetMidX(*r), CGRectGetMidY(*r)), nullptr);
        host.tap(p.x, p.y);
    }

    HeadlessHost host;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIWebView> web;
    RecordingWebDelegate delegate;
    FakeServer server;
};

const HTMLRun* runWithText(const HTMLDocument& d, const std::string& text) {
    for (auto& p : d.paragraphs)
        for (auto& r : p.runs)
            if (r.text.find(text) != std::string::npos) return &r;
    return nullptr;
}
}  // namespace

TEST(HTMLDocumentParse, TextStylesBreaksAndLinks) {
    auto d = HTMLDocument::parse(
        "<html><head><title>消息 &amp; 公告</title><style>p{color:red}</style>"
        "<script>alert('x')</script></head>"
        "<body bgcolor='#f0f0f0'><p>  今日   <b>涨停</b>\n个股<br/>第二行 </p>"
        "<center><font size=+2 color=red>重要</font></center>"
        "<a href='@qzopt=user_upgrade?'>升级</a> &lt;tag&gt;</body></html>");
    EXPECT_EQ(d.title, "消息 & 公告");
    ASSERT_TRUE(d.background);
    EXPECT_NEAR(d.background->r, 0xf0 / 255.0, 1e-9);
    ASSERT_EQ(d.paragraphs.size(), 3u);
    EXPECT_EQ(d.paragraphs[0].text(), "今日 涨停 个股\n第二行");
    const HTMLRun* bold = runWithText(d, "涨停");
    ASSERT_TRUE(bold);
    EXPECT_TRUE(bold->bold);
    EXPECT_FALSE(runWithText(d, "今日")->bold);
    EXPECT_EQ(d.paragraphs[1].align, HTMLAlign::Center);
    const HTMLRun* big = runWithText(d, "重要");
    EXPECT_EQ(big->fontSize, 24);  // "+2": size 5
    ASSERT_TRUE(big->color);
    EXPECT_EQ(big->color->r, 1);
    const HTMLRun* link = runWithText(d, "升级");
    EXPECT_EQ(link->href, "@qzopt=user_upgrade?");
    EXPECT_TRUE(link->underline);
    EXPECT_EQ(d.paragraphs[2].text(), "升级 <tag>");
    EXPECT_EQ(d.links(), (std::vector<std::string>{"@qzopt=user_upgrade?"}));
    EXPECT_EQ(d.plainText().find("alert"), std::string::npos);
}

TEST(HTMLDocumentParse, BlocksListsImagesAndPre) {
    auto d = HTMLDocument::parse(
        "<h1>标题</h1><ul><li>一</li><li>二</li></ul><ol><li>甲</li><li>乙</li></ol>"
        "<pre>a  b\n c</pre><hr><img src='logo.png' width=40 alt='标志'>"
        "<div style='text-align:right;font-weight:bold'>右</div><p></p><div>  </div>");
    std::vector<std::string> texts;
    for (auto& p : d.paragraphs) texts.push_back(p.rule ? "<hr>" : p.text());
    EXPECT_EQ(texts, (std::vector<std::string>{"标题", "• 一", "• 二", "1. 甲", "2. 乙", "a  b\n c", "<hr>",
                                               "\xEF\xBF\xBC", "右"}));
    EXPECT_TRUE(d.paragraphs[0].runs[0].bold);
    EXPECT_EQ(d.paragraphs[0].runs[0].fontSize, 32);
    EXPECT_GT(d.paragraphs[1].indent, 0);
    const HTMLRun& img = d.paragraphs[7].runs[0];
    EXPECT_EQ(img.kind, HTMLRun::Kind::Image);
    EXPECT_EQ(img.imageSource, "logo.png");
    EXPECT_EQ(img.imageWidth, 40);
    EXPECT_EQ(d.paragraphs[8].align, HTMLAlign::Right);
    EXPECT_TRUE(d.paragraphs[8].runs[0].bold);
}

TEST(HTMLDocumentParse, BadInputNeverBreaksIt) {
    EXPECT_TRUE(HTMLDocument::parse("").paragraphs.empty());
    auto d = HTMLDocument::parse("<p>未闭合 <b>粗<i>斜</p>后\xff\xfe文字<font size='+99'>x</font><img>");
    EXPECT_NE(d.plainText().find("未闭合"), std::string::npos);
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<div>";
    deep += "深";
    auto nested = HTMLDocument::parse(deep);  // content deeper than any page is dropped, not crashed on
    (void)nested;
    HTMLLayout layout(d, 320, nullptr);
    EXPECT_GT(layout.height(), 0);
}

TEST(HTMLDocumentParse, ColoursAndAddresses) {
    EXPECT_EQ(parseHTMLColor("#f00"), (HTMLColor{1, 0, 0, 1}));
    EXPECT_EQ(parseHTMLColor("Blue"), (HTMLColor{0, 0, 1, 1}));
    EXPECT_EQ(parseHTMLColor("rgb(255, 0, 0)"), (HTMLColor{1, 0, 0, 1}));
    EXPECT_FALSE(parseHTMLColor("#12"));
    EXPECT_FALSE(parseHTMLColor("rgb(1,2"));
    EXPECT_FALSE(parseHTMLColor("nocolour"));

    std::string base = "http://h:8080/news/a/page.html?id=1#top";
    EXPECT_EQ(resolveURL(base, "b.html"), "http://h:8080/news/a/b.html");
    EXPECT_EQ(resolveURL(base, "../b.html?x=1"), "http://h:8080/news/b.html?x=1");
    EXPECT_EQ(resolveURL(base, "/root.html"), "http://h:8080/root.html");
    EXPECT_EQ(resolveURL(base, "//other/x"), "http://other/x");
    EXPECT_EQ(resolveURL(base, "#part"), "http://h:8080/news/a/page.html?id=1#part");
    EXPECT_EQ(resolveURL(base, "?id=2"), "http://h:8080/news/a/page.html?id=2");
    EXPECT_EQ(resolveURL(base, "https://x/y"), "https://x/y");
    EXPECT_EQ(resolveURL(base, "@qzopt=user_switch?"), "@qzopt=user_switch?");
    EXPECT_EQ(resolveURL("", "b.html"), "b.html");
    EXPECT_EQ(resolveURL("http://h", "b.html"), "http://h/b.html");
    EXPECT_EQ(escapeHTML("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;");
}

TEST_F(WebViewTest, LoadingTextAsksStartsAndFinishesInOrder) {
    web->loadHTMLString("<p>你好</p>");
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"should about:blank", "start"}));
    EXPECT_TRUE(web->isLoading());
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"should about:blank", "start", "finish about:blank"}));
    EXPECT_FALSE(web->isLoading());
    EXPECT_EQ(web->pageText(), "你好");
    EXPECT_TRUE(host.isTextVisible("你好"));
}

TEST_F(WebViewTest, TappedLinkCommandIsOfferedToTheDelegateAndNotFollowed) {
    loadAndRun("<p>请先 <a href='@qzopt=user_upgrade?'>关联资金帐号</a></p>", "http://h/page.html");
    delegate.events.clear();
    delegate.types.clear();
    tapLink("@qzopt=user_upgrade?");
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"should @qzopt=user_upgrade?"}));
    EXPECT_EQ(delegate.types, (std::vector<UIWebViewNavigationType>{UIWebViewNavigationType::LinkClicked}));
    EXPECT_FALSE(web->isLoading());
    EXPECT_TRUE(server.waiting.empty());
}

TEST_F(WebViewTest, TappedLinkIsFollowedThroughTheFetcherWithHistory) {
    server.pages["http://h/news/2.html"] = "<p>第二页</p>";
    loadAndRun("<p><a href='2.html'>下一页</a></p>", "http://h/news/1.html");
    delegate.events.clear();
    tapLink("2.html");
    ASSERT_EQ(server.waiting.size(), 1u);
    EXPECT_EQ(server.waiting[0].first, "http://h/news/2.html");
    // The fetcher answers from another thread, as the network layer does.
    std::thread net([&] { server.answerAll(); });
    net.join();
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.events,
              (std::vector<std::string>{"should http://h/news/2.html", "start", "finish http://h/news/2.html"}));
    EXPECT_EQ(web->pageText(), "第二页");
    EXPECT_TRUE(web->canGoBack());
    web->goBack();
    RunLoop::main().runOnce();
    EXPECT_EQ(web->pageText(), "下一页");
    EXPECT_TRUE(web->canGoForward());
    web->goForward();
    RunLoop::main().runOnce();
    EXPECT_EQ(web->pageText(), "第二页");
    EXPECT_EQ(delegate.types.back(), UIWebViewNavigationType::BackForward);
}

TEST_F(WebViewTest, FailuresAndCancelledLoadsAreReported) {
    web->loadRequest(NSURLRequest::requestWithURL("http://h/missing"));
    server.answerAll();
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.events.back(), "fail -1004");
    // A new load cancels the one in progress (-999); the late answer is dropped.
    delegate.events.clear();
    server.pages["http://h/a"] = "<p>A</p>";
    server.pages["http://h/b"] = "<p>B</p>";
    web->loadRequest(NSURLRequest::requestWithURL("http://h/a"));
    web->loadRequest(NSURLRequest::requestWithURL("http://h/b"));
    server.answerAll();
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"should http://h/a", "start", "should http://h/b", "fail -999",
                                                         "start", "finish http://h/b"}));
    EXPECT_EQ(web->pageText(), "B");
    // stopLoading: -999, nothing shown afterwards.
    delegate.events.clear();
    web->loadRequest(NSURLRequest::requestWithURL("http://h/a"));
    web->stopLoading();
    server.answerAll();
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.events.back(), "fail -999");
    EXPECT_EQ(web->pageText(), "B");
    // A refused load does not start.
    delegate.events.clear();
    web->loadRequest(NSURLRequest::requestWithURL("@qzopt=x"));
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"should @qzopt=x"}));
}

TEST_F(WebViewTest, AnswerAfterTheViewIsGoneIsDropped) {
    web->loadRequest(NSURLRequest::requestWithURL("http://h/slow"));
    web->setDelegate(nullptr);
    web->removeFromSuperview();
    web.reset();
    server.pages["http://h/slow"] = "<p>late</p>";
    server.answerAll();
    RunLoop::main().runOnce();
    web = std::make_shared<UIWebView>(CGRectMake(0, 0, 10, 10));  // for TearDown
}

TEST_F(WebViewTest, FilesAndUnsupportedAddresses) {
    TempDir dir;
    std::ofstream(dir.file("page.html")) << "<p>本地页面</p>";
    web->setFetcher(nullptr);
    web->loadRequest(NSURLRequest::requestWithURL("file://" + dir.file("page.html")));
    RunLoop::main().runOnce();
    EXPECT_EQ(web->pageText(), "本地页面");
    web->loadRequest(NSURLRequest::requestWithURL("http://nowhere/"));
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.events.back(), "fail " + std::to_string(kWebViewErrorUnsupportedURL));
    web->loadRequest(NSURLRequest::requestWithURL("file:///no/such/file.html"));
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.events.back(), "fail " + std::to_string(kWebViewErrorFileDoesNotExist));
}

TEST_F(WebViewTest, PageDrawsItsColoursTextAndInlineImages) {
    // A 4 x 4 green PNG as a data address.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), true, 1);
    UIGraphicsGetCurrentContext()->setFillColor(0, 1, 0, 1);
    UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 4, 4));
    auto green = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto png = green->pngData();
    static const char* b64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string enc;
    for (size_t i = 0; i < png.size(); i += 3) {
        uint32_t n = png[i] << 16 | (i + 1 < png.size() ? png[i + 1] << 8 : 0) | (i + 2 < png.size() ? png[i + 2] : 0);
        enc += b64[n >> 18 & 63];
        enc += b64[n >> 12 & 63];
        enc += i + 1 < png.size() ? b64[n >> 6 & 63] : '=';
        enc += i + 2 < png.size() ? b64[n & 63] : '=';
    }
    loadAndRun(
        "<body style='background-color:#0000ff'><p><font color=red size=7>红字红字</font></p>"
        "<p><img src='data:image/png;base64," +
        enc + "' width=60 height=60></p></body>");
    auto image = host.render(2);
    ASSERT_TRUE(image);
    // Background blue below the content.
    uint32_t bg = image->pixelAt(600, 800);
    EXPECT_EQ(bg & 0xffffff, 0x0000ffu);
    // Some red text pixels in the first paragraph.
    auto r = web->rectOfText("红字");
    ASSERT_TRUE(r);
    int reds = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            uint32_t p =
                image->pixelAt(static_cast<int>(r->origin.x * 2) + x, static_cast<int>((r->origin.y + 20) * 2) + y);
            reds += ((p >> 16 & 0xff) > 200 && (p & 0xff) < 80);
        }
    EXPECT_GT(reds, 50);
    // The image scaled to 60 x 60 points, green.
    auto boxes = HTMLLayout(web->document(), 320, [&](const std::string&) { return green; }).imageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rect.size.width, 60);
    CGRect box = boxes[0].rect;
    uint32_t g =
        image->pixelAt(static_cast<int>((box.origin.x + 30) * 2), static_cast<int>((box.origin.y + 20 + 30) * 2));
    EXPECT_EQ(g & 0xffffff, 0x00ff00u);
}

TEST_F(WebViewTest, RemoteImagesComeThroughTheFetcherOnceAndShow) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), true, 1);
    UIGraphicsGetCurrentContext()->setFillColor(0, 1, 0, 1);
    UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 4, 4));
    auto png = UIGraphicsGetImageFromCurrentImageContext()->pngData();
    UIGraphicsEndImageContext();
    server.pages["http://h/green.png"] = std::string(png.begin(), png.end());
    loadAndRun("<p><img src='green.png' width=60 height=60></p><p><img src='http://h/missing.png'></p>", "http://h/");
    ASSERT_EQ(server.waiting.size(), 2u) << "each remote image asked for once";
    server.answerAll();
    RunLoop::main().runOnce();
    window->layoutIfNeeded();
    auto image = host.render(2);
    ASSERT_TRUE(image);
    auto boxes = HTMLLayout(web->document(), 320, [](const std::string&) { return nullptr; }).imageBoxes();
    ASSERT_FALSE(boxes.empty());
    CGRect box = boxes[0].rect;
    uint32_t g =
        image->pixelAt(static_cast<int>((box.origin.x + 30) * 2), static_cast<int>((box.origin.y + 20 + 30) * 2));
    EXPECT_EQ(g & 0xffffff, 0x00ff00u);
    // A relayout does not ask again, neither for the shown image nor for the missing one.
    web->setFrame(CGRectMake(0, 20, 300, 416));
    window->layoutIfNeeded();
    EXPECT_TRUE(server.waiting.empty());
}

TEST_F(WebViewTest, LongPageScrollsWithTheFinger) {
    std::string html;
    for (int i = 0; i < 60; ++i) html += "<p>第" + std::to_string(i) + "段</p>";
    loadAndRun(html);
    EXPECT_GT(web->contentHeight(), 1000);
    host.drag(160, 400, 160, 100, 10);
    host.runFor(2);
    EXPECT_GT(web->scrollView()->contentOffset().y, 100);
}
