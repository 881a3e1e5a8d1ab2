#pragma once
// The full page of a pushed message with long content, by its type:
// 1: its "url" is a request text; the service client sends it (tag 2007) and
//    the reply's "news_content" is shown in the bundle's page template with
//    the message's title, sender, date and time (messages/MEWebPage.h);
// 2: its "url" is a web address, loaded as it is ("http://" put in front of
//    an address without a scheme);
// any other type loads nothing. It loads each time it is about to appear and
// on "刷新"; "后退" and "前进" move through the pages the customer followed.
// Errors of the long text show on the progress overlay for 1.75 s; a failed
// page load shows a red error page (a cancelled one nothing). Leaving stops
// the load and hides the overlay; an answer for a screen that is gone is
// dropped.
#include <memory>
#include <string>

#include "net/XXNetworkManager.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWebView.h"

class QZMessageExpress;
class UIToolbar;

class MEWebViewController : public UIViewController, public UIWebViewDelegate, public XXNetworkManagerDelegate {
public:
    static constexpr const char* kNoDetailText = "获取详细信息失败";
    static constexpr double kErrorSeconds = 1.75;

    explicit MEWebViewController(std::shared_ptr<QZMessageExpress> message);
    ~MEWebViewController() override;

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void backAction();
    void forwardAction();
    void refreshAction();
    // Shows the long text in the page template.
    void loadWebContent(const std::string& text);

    UIWebView* messageWebView() const { return messageWebView_.get(); }
    UIToolbar* functionToolbar() const { return functionToolbar_.get(); }
    const std::shared_ptr<QZMessageExpress>& messageExpress() const { return messageExpress_; }

    // ---- delegates ----
    void webViewDidStartLoad(UIWebView& webView) override;
    void webViewDidFinishLoad(UIWebView& webView) override;
    void webViewDidFailLoadWithError(UIWebView& webView, const NSError& error) override;
    void serviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    void serviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void serviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;

private:
    void loadByType();

    std::shared_ptr<QZMessageExpress> messageExpress_;
    std::shared_ptr<UIWebView> messageWebView_;
    std::shared_ptr<UIToolbar> functionToolbar_;
};
