#pragma once
// A view that shows a web page: an HTML text, or an address fetched through a
// replaceable fetcher (the network layer plugs its HTTP client in; "file://"
// addresses are read directly). The page is read with gumbo-parser and laid out
// with Pango (see HTMLDocument and HTMLLayout): text, line breaks, bold and
// italics, sizes and colours, links, images; no scripts. It scrolls vertically.
//
// Loads run as on the phone: the delegate is asked first (shouldStart), then
// hears didStartLoad and, later on the main loop, didFinishLoad or
// didFailLoadWithError. A new load, stopLoading or the view going away cancels
// the one in progress; a cancelled load reports the error -999. A tapped link
// asks the delegate (navigation type LinkClicked) before it is followed, which
// is where the shell catches the pages' "@qzopt=" link commands.
#include "platform/foundation/NSError.h"
#include "platform/uikit/HTMLDocument.h"
#include "platform/uikit/UIView.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class HTMLLayout;
class UIImage;
class UIScrollView;
class UIWebView;

// The address a web view is asked to load.
class NSURLRequest {
public:
    NSURLRequest() = default;
    explicit NSURLRequest(std::string url) : url_(std::move(url)) {}
    static NSURLRequest requestWithURL(const std::string& url) { return NSURLRequest(url); }
    const std::string& URL() const { return url_; }
    const std::string& HTTPMethod() const { return method_; }
    void setHTTPMethod(const std::string& m) { method_ = m; }

private:
    std::string url_;
    std::string method_ = "GET";
};

// A failed or cancelled load (the same reading as the network layer's errors).
inline constexpr int kWebViewErrorCancelled = -999;
inline constexpr int kWebViewErrorUnsupportedURL = -1002;
inline constexpr int kWebViewErrorFileDoesNotExist = -1100;

// What a fetch brings back. `ok` false: `error` says why (status codes are the
// fetcher's business: a 404 page is still a page).
struct WebFetchResult {
    bool ok = false;
    std::string body;
    std::string mimeType;  // empty: HTML
    std::string finalURL;  // after redirects; empty: the requested one
    NSError error;
};
using WebFetchCompletion = std::function<void(WebFetchResult)>;
// Starts fetching; calls the completion once, from any thread. The web view
// drops completions of loads it no longer waits for.
using WebFetcher = std::function<void(const NSURLRequest&, WebFetchCompletion)>;

enum class UIWebViewNavigationType { LinkClicked, FormSubmitted, BackForward, Reload, FormResubmitted, Other };

class UIWebViewDelegate {
public:
    virtual ~UIWebViewDelegate() = default;
    virtual bool webViewShouldStartLoadWithRequest(UIWebView& webView, const NSURLRequest& request,
                                                   UIWebViewNavigationType navigationType) {
        return true;
    }
    virtual void webViewDidStartLoad(UIWebView& webView) {}
    virtual void webViewDidFinishLoad(UIWebView& webView) {}
    virtual void webViewDidFailLoadWithError(UIWebView& webView, const NSError& error) {}
};

class UIWebView : public UIView {
public:
    explicit UIWebView(const CGRect& frame = CGRectZero);
    ~UIWebView() override;
    std::string className() const override { return "UIWebView"; }

    UIWebViewDelegate* delegate() const { return delegate_; }
    // Not owned: the owner clears it before it goes away.
    void setDelegate(UIWebViewDelegate* d) { delegate_ = d; }

    void loadHTMLString(const std::string& html, const std::string& baseURL = "");
    void loadRequest(const NSURLRequest& request);
    void stopLoading();
    void reload();
    void goBack();
    void goForward();
    bool canGoBack() const;
    bool canGoForward() const;
    bool isLoading() const { return loading_; }
    // The request of the page shown (or being loaded).
    const NSURLRequest& request() const { return request_; }

    bool scalesPageToFit() const { return scalesPageToFit_; }
    void setScalesPageToFit(bool s) { scalesPageToFit_ = s; }
    UIScrollView* scrollView() const;
    // No script engine: only "document.title" and "document.body.innerText" answer.
    std::string stringByEvaluatingJavaScriptFromString(const std::string& script) const;

    // The fetcher of this view (the default one when unset).
    void setFetcher(WebFetcher f) { fetcher_ = std::move(f); }
    // The fetcher of every web view without its own (the network layer's).
    static void setDefaultFetcher(WebFetcher f);

    // ---- what the page shows (tests, the host's view dumps) ----
    const HTMLDocument& document() const { return document_; }
    std::string pageText() const { return document_.plainText(); }
    // A text's or link's place in this view's coordinates (scrolled as shown).
    std::optional<CGRect> rectOfText(const std::string& text) const;
    std::optional<CGRect> rectOfLink(const std::string& href) const;
    // The page's height as laid out.
    double contentHeight() const;
    // Follows a link as a tap on it does (asks the delegate first).
    void activateLink(const std::string& href);

    void layoutSubviews() override;
    std::string accessibilityText() const override;

private:
    struct HistoryEntry {
        NSURLRequest request;
        std::string html;          // the page's text
        std::string baseURL;       // for links and images
        bool givenAsText = false;  // loaded with loadHTMLString (shown again as it was)
    };
    // Where a finished load goes in the history.
    struct HistoryMove {
        enum class Kind { Push, Replace, MoveTo } kind = Kind::Push;
        size_t index = 0;
        bool givenAsText = false;
    };

    // Begins a load after the delegate agreed (or when it is not asked).
    void startLoad(const NSURLRequest& request, std::optional<HistoryEntry> content, HistoryMove move);
    void completeLoad(unsigned long long generation, WebFetchResult result, const NSURLRequest& request,
                      HistoryMove move);
    void show(const HistoryEntry& entry);
    void relayout();
    void cancelInProgress();
    std::shared_ptr<UIImage> resolveImage(const std::string& source) const;
    // Starts the fetches of the remote images the last layout asked for.
    void fetchMissingImages();
    bool askDelegate(const NSURLRequest& request, UIWebViewNavigationType type);
    void goTo(size_t index);

    UIWebViewDelegate* delegate_ = nullptr;
    NSURLRequest request_;
    bool loading_ = false;
    bool scalesPageToFit_ = false;
    unsigned long long generation_ = 0;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    // Remote images of the page: fetched once each through the page's fetcher;
    // null for one that could not be had (its box stays empty).
    std::map<std::string, std::shared_ptr<UIImage>> remoteImages_;
    mutable std::vector<std::string> missingImages_;
    WebFetcher fetcher_;
    std::vector<HistoryEntry> history_;
    size_t historyIndex_ = 0;  // valid when history_ is not empty
    HTMLDocument document_;
    std::string baseURL_;
    std::shared_ptr<HTMLLayout> layout_;
    double laidOutWidth_ = -1;
    std::shared_ptr<UIScrollView> scroll_;
    std::shared_ptr<UIView> content_;
};
