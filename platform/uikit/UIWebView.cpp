#include "platform/uikit/UIWebView.h"

#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/TextHelpers.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/HTMLLayout.h"
#include "platform/uikit/UIScrollView.h"

#include <glib.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
WebFetcher& defaultFetcher() {
    static WebFetcher f;
    return f;
}

constexpr double kTapSlop = 10;

bool startsWith(const std::string& s, const char* prefix) {
    return lowercasedText(s.substr(0, std::strlen(prefix))) == prefix;
}

std::optional<std::vector<uint8_t>> decodeBase64(const std::string& text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+' || c == '-') return 62;
        if (c == '/' || c == '_') return 63;
        return -1;
    };
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=' || std::isspace(static_cast<unsigned char>(c))) continue;
        int v = value(c);
        if (v < 0) return std::nullopt;
        acc = (acc << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<uint8_t>(acc >> bits));
        }
    }
    return out;
}

// "%41" -> "A"; malformed escapes stay as written.
std::string percentDecode(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The bytes of a "data:" address; nullopt when malformed.
std::optional<std::vector<uint8_t>> dataURLBytes(const std::string& url, std::string* mime) {
    auto comma = url.find(',');
    if (comma == std::string::npos) return std::nullopt;
    std::string header = url.substr(5, comma - 5);
    std::string payload = url.substr(comma + 1);
    bool base64 = header.size() >= 7 && lowercasedText(header.substr(header.size() - 7)) == ";base64";
    if (mime) *mime = lowercasedText(header.substr(0, header.find(';')));
    if (base64) return decodeBase64(payload);
    std::string decoded = percentDecode(payload);
    return std::vector<uint8_t>(decoded.begin(), decoded.end());
}

std::string filePathOf(const std::string& url) {
    std::string rest = url.substr(std::strlen("file://"));
    // "file://localhost/x" and "file:///x" both name /x.
    if (startsWith(rest, "localhost/")) rest = rest.substr(std::strlen("localhost"));
    return percentDecode(rest.substr(0, rest.find_first_of("?#")));
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Pages are UTF-8; a page that is not is read as GB18030 (which covers GBK and GB2312).
std::string asUtf8(const std::string& body) {
    if (g_utf8_validate(body.data(), static_cast<gssize>(body.size()), nullptr)) return body;
    gsize written = 0;
    gchar* converted =
        g_convert(body.data(), static_cast<gssize>(body.size()), "UTF-8", "GB18030", nullptr, &written, nullptr);
    if (converted) {
        std::string out(converted, written);
        g_free(converted);
        return out;
    }
    gchar* fixed = g_utf8_make_valid(body.data(), static_cast<gssize>(body.size()));
    std::string out(fixed);
    g_free(fixed);
    return out;
}

WebFetchResult fetchLocally(const NSURLRequest& request) {
    WebFetchResult r;
    const std::string& url = request.URL();
    if (startsWith(url, "file://")) {
        if (auto text = readFile(filePathOf(url))) {
            r.ok = true;
            r.body = std::move(*text);
            std::string path = filePathOf(url);
            if (path.size() >= 4 && lowercasedText(path.substr(path.size() - 4)) == ".txt") r.mimeType = "text/plain";
        } else {
            r.error = NSError("NSURLErrorDomain", kWebViewErrorFileDoesNotExist, "文件不存在");
        }
        return r;
    }
    if (startsWith(url, "data:")) {
        std::string mime;
        if (auto bytes = dataURLBytes(url, &mime)) {
            r.ok = true;
            r.body.assign(bytes->begin(), bytes->end());
            r.mimeType = mime;
            return r;
        }
    }
    r.error = NSError("NSURLErrorDomain", kWebViewErrorUnsupportedURL, "不支持的网址");
    return r;
}

HTMLColor colorOf(const std::optional<HTMLColor>& c, HTMLColor fallback) { return c ? *c : fallback; }
}  // namespace

// The page itself, inside the web view's scroll view: draws the layout and turns
// taps on links into link activations.
class UIWebPageView : public UIView {
public:
    explicit UIWebPageView(UIWebView* owner) : owner_(owner) {}
    std::string className() const override { return "UIWebPageView"; }

    void setPage(std::shared_ptr<HTMLLayout> layout, HTMLColor background, HTMLColor text) {
        layout_ = std::move(layout);
        background_ = background;
        text_ = text;
        setNeedsDisplay();
    }
    void detach() { owner_ = nullptr; }

    void drawRect(const CGRect& rect) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        ctx->setFillColor(background_.r, background_.g, background_.b, background_.a);
        ctx->fillRect(bounds());
        if (layout_) layout_->draw(*ctx, bounds(), text_);
    }

    void touchesBegan(const UITouchSet& touches, UIEvent*) override {
        UITouch* t = touches.anyObject();
        pressed_ = (t && layout_) ? layout_->linkAtPoint(t->locationInView(this)) : "";
        start_ = t ? t->locationInView(nullptr) : CGPoint{};
    }
    void touchesMoved(const UITouchSet& touches, UIEvent*) override {
        UITouch* t = touches.anyObject();
        if (t) {
            CGPoint p = t->locationInView(nullptr);
            if (std::hypot(p.x - start_.x, p.y - start_.y) > kTapSlop) pressed_.clear();
        }
    }
    void touchesEnded(const UITouchSet& touches, UIEvent*) override {
        UITouch* t = touches.anyObject();
        std::string href = pressed_;
        pressed_.clear();
        if (!t || href.empty() || !layout_ || layout_->linkAtPoint(t->locationInView(this)) != href) return;
        // The activation may replace this page: keep the view alive meanwhile.
        auto keep = shared();
        if (owner_) owner_->activateLink(href);
    }
    void touchesCancelled(const UITouchSet&, UIEvent*) override { pressed_.clear(); }

private:
    UIWebView* owner_;
    std::shared_ptr<HTMLLayout> layout_;
    HTMLColor background_{1, 1, 1, 1}, text_{0, 0, 0, 1};
    std::string pressed_;
    CGPoint start_;
};

UIWebView::UIWebView(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::whiteColor());
    scroll_ = std::make_shared<UIScrollView>(bounds());
    scroll_->setAlwaysBounceVertical(true);
    content_ = std::make_shared<UIWebPageView>(this);
    scroll_->addSubview(content_);
    addSubview(scroll_);
    setClipsToBounds(true);
}

UIWebView::~UIWebView() {
    // A load in progress ends without callbacks: the owner is going away too.
    ++generation_;
    static_cast<UIWebPageView*>(content_.get())->detach();
}

UIScrollView* UIWebView::scrollView() const { return scroll_.get(); }

void UIWebView::setDefaultFetcher(WebFetcher f) { defaultFetcher() = std::move(f); }

bool UIWebView::askDelegate(const NSURLRequest& request, UIWebViewNavigationType type) {
    return !delegate_ || delegate_->webViewShouldStartLoadWithRequest(*this, request, type);
}

void UIWebView::loadHTMLString(const std::string& html, const std::string& baseURL) {
    NSURLRequest request(baseURL.empty() ? "about:blank" : baseURL);
    if (!askDelegate(request, UIWebViewNavigationType::Other)) return;
    startLoad(request, HistoryEntry{request, html, baseURL, true}, {});
}

void UIWebView::loadRequest(const NSURLRequest& request) {
    if (!askDelegate(request, UIWebViewNavigationType::Other)) return;
    startLoad(request, std::nullopt, {});
}

void UIWebView::activateLink(const std::string& href) {
    if (href.empty()) return;
    NSURLRequest request(resolveURL(baseURL_, href));
    if (!askDelegate(request, UIWebViewNavigationType::LinkClicked)) return;
    if (startsWith(request.URL(), "#")) return;  // a place on this page: nothing to load
    startLoad(request, std::nullopt, {});
}

void UIWebView::cancelInProgress() {
    if (!loading_) return;
    loading_ = false;
    ++generation_;
    if (delegate_)
        delegate_->webViewDidFailLoadWithError(*this,
                                               NSError("NSURLErrorDomain", kWebViewErrorCancelled, "操作已取消"));
}

void UIWebView::stopLoading() { cancelInProgress(); }

void UIWebView::startLoad(const NSURLRequest& request, std::optional<HistoryEntry> content, HistoryMove move) {
    if (content) move.givenAsText = content->givenAsText;
    cancelInProgress();
    unsigned long long gen = ++generation_;
    loading_ = true;
    request_ = request;
    if (delegate_) delegate_->webViewDidStartLoad(*this);
    if (gen != generation_) return;  // the delegate started or stopped another load

    std::weak_ptr<int> alive = alive_;
    auto finish = [this, alive, gen, request, move](WebFetchResult result) {
        performOnMainThread([this, alive, gen, request, move, result = std::move(result)]() mutable {
            if (alive.lock()) completeLoad(gen, std::move(result), request, move);
        });
    };
    if (content) {
        WebFetchResult r;
        r.ok = true;
        r.body = content->html;
        r.finalURL = content->baseURL;
        // Shown on the next turn of the main loop, as a load is.
        RunLoop::main().post([finish, r] { finish(r); });
        return;
    }
    const std::string& url = request.URL();
    if (url == "about:blank") {
        RunLoop::main().post([finish] {
            WebFetchResult r;
            r.ok = true;
            finish(r);
        });
        return;
    }
    WebFetcher fetcher = fetcher_ ? fetcher_ : defaultFetcher();
    if (startsWith(url, "file://") || startsWith(url, "data:") || !fetcher) {
        WebFetchResult r = fetchLocally(request);
        RunLoop::main().post([finish, r] { finish(r); });
        return;
    }
    fetcher(request, finish);
}

void UIWebView::completeLoad(unsigned long long generation, WebFetchResult result, const NSURLRequest& request,
                             HistoryMove move) {
    if (generation != generation_ || !loading_) return;
    loading_ = false;
    if (!result.ok) {
        if (delegate_) delegate_->webViewDidFailLoadWithError(*this, result.error);
        return;
    }
    HistoryEntry entry;
    entry.givenAsText = move.givenAsText;
    entry.request = result.finalURL.empty() || request.URL() == "about:blank" ? request : NSURLRequest(result.finalURL);
    entry.baseURL = result.finalURL.empty() ? (request.URL() == "about:blank" ? "" : request.URL()) : result.finalURL;
    std::string body = asUtf8(result.body);
    std::string mime = lowercasedText(result.mimeType);
    if (startsWith(mime, "text/plain"))
        entry.html = "<pre>" + escapeHTML(body) + "</pre>";
    else if (startsWith(mime, "image/"))
        entry.html = "<img src=\"" + escapeHTML(entry.request.URL()) + "\">";
    else
        entry.html = std::move(body);

    switch (move.kind) {
        case HistoryMove::Kind::Push:
            if (!history_.empty()) history_.resize(historyIndex_ + 1);
            history_.push_back(entry);
            historyIndex_ = history_.size() - 1;
            break;
        case HistoryMove::Kind::Replace:
            if (history_.empty())
                history_.push_back(entry);
            else
                history_[historyIndex_] = entry;
            break;
        case HistoryMove::Kind::MoveTo:
            if (move.index < history_.size()) historyIndex_ = move.index;
            break;
    }
    show(entry);
    if (delegate_) delegate_->webViewDidFinishLoad(*this);
}

void UIWebView::show(const HistoryEntry& entry) {
    request_ = entry.request;
    baseURL_ = entry.baseURL;
    remoteImages_.clear();
    document_ = HTMLDocument::parse(entry.html);
    laidOutWidth_ = -1;
    relayout();
    scroll_->setContentOffset(CGPointMake(0, 0));
}

bool UIWebView::canGoBack() const { return !history_.empty() && historyIndex_ > 0; }

bool UIWebView::canGoForward() const { return !history_.empty() && historyIndex_ + 1 < history_.size(); }

void UIWebView::goTo(size_t index) {
    if (index >= history_.size()) return;
    HistoryEntry entry = history_[index];
    if (!askDelegate(entry.request, UIWebViewNavigationType::BackForward)) return;
    HistoryMove move;
    move.kind = HistoryMove::Kind::MoveTo;
    move.index = index;
    startLoad(entry.request, entry, move);
}

void UIWebView::goBack() {
    if (canGoBack()) goTo(historyIndex_ - 1);
}

void UIWebView::goForward() {
    if (canGoForward()) goTo(historyIndex_ + 1);
}

void UIWebView::reload() {
    if (history_.empty()) return;
    HistoryEntry entry = history_[historyIndex_];
    if (!askDelegate(entry.request, UIWebViewNavigationType::Reload)) return;
    HistoryMove move;
    move.kind = HistoryMove::Kind::Replace;
    if (entry.givenAsText)
        startLoad(entry.request, entry, move);  // a page given as text shows again as it was
    else
        startLoad(entry.request, std::nullopt, move);
}

std::shared_ptr<UIImage> UIWebView::resolveImage(const std::string& source) const {
    if (source.empty()) return nullptr;
    if (startsWith(source, "data:")) {
        auto bytes = dataURLBytes(source, nullptr);
        return bytes ? UIImage::imageWithData(*bytes) : nullptr;
    }
    std::string url = resolveURL(baseURL_, source);
    if (startsWith(url, "file://")) return UIImage::imageWithContentsOfFile(filePathOf(url));
    if (url.find("://") != std::string::npos) {
        auto it = remoteImages_.find(url);
        if (it != remoteImages_.end()) return it->second;
        missingImages_.push_back(url);  // fetched after this layout, then laid out again
        return nullptr;
    }
    // A plain name: an image of the application bundle.
    if (auto image = UIImage::imageNamed(source)) return image;
    return UIImage::imageWithContentsOfFile(bundlePath(source));
}

void UIWebView::fetchMissingImages() {
    std::vector<std::string> urls;
    urls.swap(missingImages_);
    WebFetcher fetcher = fetcher_ ? fetcher_ : defaultFetcher();
    if (!fetcher) return;
    std::weak_ptr<int> alive = alive_;
    for (const auto& url : urls) {
        if (remoteImages_.count(url)) continue;
        remoteImages_[url] = nullptr;  // asked once, whatever the answer
        fetcher(NSURLRequest::requestWithURL(url), [this, alive, url](WebFetchResult result) {
            performOnMainThread([this, alive, url, result = std::move(result)] {
                if (!alive.lock() || !result.ok) return;
                std::vector<uint8_t> bytes(result.body.begin(), result.body.end());
                if (auto image = UIImage::imageWithData(bytes)) {
                    remoteImages_[url] = image;
                    relayout();
                }
            });
        });
    }
}

void UIWebView::relayout() {
    double width = bounds().size.width;
    laidOutWidth_ = width;
    layout_ =
        std::make_shared<HTMLLayout>(document_, width, [this](const std::string& src) { return resolveImage(src); });
    double h = std::max(layout_->height(), bounds().size.height);
    content_->setFrame(CGRectMake(0, 0, width, h));
    scroll_->setContentSize(CGSizeMake(width, h));
    static_cast<UIWebPageView*>(content_.get())
        ->setPage(layout_, colorOf(document_.background, {1, 1, 1, 1}), colorOf(document_.textColor, {0, 0, 0, 1}));
    fetchMissingImages();
}

void UIWebView::layoutSubviews() {
    scroll_->setFrame(bounds());
    if (bounds().size.width != laidOutWidth_) relayout();
}

double UIWebView::contentHeight() const { return layout_ ? layout_->height() : 0; }

std::optional<CGRect> UIWebView::rectOfText(const std::string& text) const {
    if (!layout_) return std::nullopt;
    auto r = layout_->rectOfText(text);
    if (!r) return std::nullopt;
    return content_->convertRectToView(*r, this);
}

std::optional<CGRect> UIWebView::rectOfLink(const std::string& href) const {
    if (!layout_) return std::nullopt;
    auto r = layout_->rectOfLink(href);
    if (!r) return std::nullopt;
    return content_->convertRectToView(*r, this);
}

std::string UIWebView::stringByEvaluatingJavaScriptFromString(const std::string& script) const {
    std::string s = script;
    while (!s.empty() && (s.back() == ';' || std::isspace(static_cast<unsigned char>(s.back())))) s.pop_back();
    if (s == "document.title") return document_.title;
    if (s == "document.body.innerText") return document_.plainText();
    return "";
}

std::string UIWebView::accessibilityText() const {
    std::string text = document_.plainText();
    for (auto& c : text)
        if (c == '\n') c = ' ';
    return text;
}
