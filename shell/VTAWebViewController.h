#pragma once
// The in-app web page: shows a server page (menu link "webpage?url=<address>",
// the address being everything after "url=") or an HTML text, and catches the
// pages' link commands: a link whose address contains "@qzopt=" is not
// followed; the text after "@qzopt=" is the command:
//   "user_upgrade?..." / "user_switch?..."  remember the page's address and open
//        the trade login in relate mode (dispatcher link
//        "tradelogin?relate=1&mcjg=1", title "关联资金帐号"); when the login
//        reports success ("RelateFromMCJGStatus" YES in the platform user
//        defaults) the page, on coming back, clears the flag and loads the
//        remembered address again;
//   "open?link=<menu link>&title=<title>"  opens the menu link (trade gate included);
//   "stock?code=<code>.<market>"  opens the stock's quote page;
//   "tel?number=<digits>"  the phone's prompt to call the number (PhoneCall.h);
//   "back"  one screen back; "home"  back to the home screen.
// Anything else is ignored.
#include <memory>
#include <string>

#include "platform/uikit/UIWebView.h"
#include "shell/VTAViewControllers.h"

class VTAWebViewController : public VTAViewControllers, public UIWebViewDelegate {
public:
    static constexpr const char* kCommandMarker = "@qzopt=";
    static constexpr const char* kRelateTitle = "关联资金帐号";
    static constexpr const char* kRelateLink = "tradelogin?relate=1&mcjg=1";

    VTAWebViewController();
    ~VTAWebViewController() override;

    // The address of a "webpage?url=..." link ("" when it has none). A path
    // ("/page/help.html") is a page of the service's current host, so a cached
    // menu keeps working when the host changes.
    static std::string addressOfLink(const std::string& link);

    void setURL(const std::string& url);
    const std::string& url() const { return url_; }
    void loadHTMLString(const std::string& html);
    UIWebView* webView() {
        view();
        return webView_.get();
    }
    const std::string& rememberedAddress() const { return remembered_; }

    // Runs a link command (the text after "@qzopt="); true when it was known.
    bool performLinkCommand(const std::string& command);

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void onCommandRefresh() override;

    bool webViewShouldStartLoadWithRequest(UIWebView& webView, const NSURLRequest& request,
                                           UIWebViewNavigationType navigationType) override;
    void webViewDidFailLoadWithError(UIWebView& webView, const NSError& error) override;

private:
    void startLoading();

    std::shared_ptr<UIWebView> webView_;
    std::string url_;
    std::string html_;
    std::string remembered_;
};
