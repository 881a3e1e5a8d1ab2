#include "shell/VTAWebViewController.h"

#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAStock.h"
#include "net/NetworkManager.h"
#include "net/QZServerHost.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/services/PhoneCall.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"

namespace {
bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The value of key in a command's query, up to the next "&" (the "link"
// value runs to the "&title=" or the end, so that a link keeps its own query).
std::string commandValue(const std::string& command, const std::string& key) {
    auto q = command.find('?');
    if (q == std::string::npos) return "";
    std::string query = command.substr(q + 1);
    std::string marker = key + "=";
    size_t at = std::string::npos;
    if (startsWith(query, marker))
        at = 0;
    else if (auto p = query.find("&" + marker); p != std::string::npos)
        at = p + 1;
    if (at == std::string::npos) return "";
    size_t start = at + marker.size();
    size_t end;
    if (key == "link") {
        end = query.find("&title=", start);
    } else {
        end = query.find('&', start);
    }
    return query.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
}  // namespace

VTAWebViewController::VTAWebViewController() = default;

VTAWebViewController::~VTAWebViewController() {
    if (webView_) {
        webView_->setDelegate(nullptr);
        webView_->stopLoading();
    }
}

std::string VTAWebViewController::addressOfLink(const std::string& link) {
    auto q = link.find('?');
    if (q == std::string::npos) return "";
    auto at = link.find("url=", q + 1);
    if (at == std::string::npos) return "";
    std::string address = link.substr(at + 4);
    if (address.rfind("/", 0) == 0 && address.rfind("//", 0) != 0) {
        if (auto host = NetworkManager::manager().currentHost()) return host->baseURL() + address;
    }
    return address;
}

void VTAWebViewController::setURL(const std::string& url) {
    url_ = url;
    html_.clear();
    if (webView_) startLoading();
}

void VTAWebViewController::loadHTMLString(const std::string& html) {
    html_ = html;
    url_.clear();
    if (webView_) startLoading();
}

void VTAWebViewController::viewWillDidLoad() {
    webView_ = std::make_shared<UIWebView>(contentView()->bounds());
    webView_->setScalesPageToFit(true);
    webView_->setDelegate(this);
    contentView()->addSubview(webView_);
    if (url_.empty() && html_.empty() && viewMenu()) url_ = addressOfLink(viewMenu()->link());
    startLoading();
}

void VTAWebViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto back =
        std::make_shared<UIBarButtonItem>("后退", UIBarButtonItemStyle::Bordered, this, [this](UIBarButtonItem&) {
            if (webView_ && webView_->canGoBack())
                webView_->goBack();
            else
                onCommandBack();
        });
    auto refresh = std::make_shared<UIBarButtonItem>("刷新", UIBarButtonItemStyle::Bordered, this,
                                                     [this](UIBarButtonItem&) { onCommandRefresh(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), back, flexibleSpaceBarBtn(), refresh});
}

void VTAWebViewController::startLoading() {
    if (!webView_) return;
    if (!html_.empty())
        webView_->loadHTMLString(html_);
    else if (!url_.empty())
        webView_->loadRequest(NSURLRequest(url_));
}

void VTAWebViewController::onCommandRefresh() {
    if (webView_ && !webView_->request().URL().empty() && html_.empty())
        webView_->reload();
    else
        startLoading();
}

void VTAWebViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    auto& defaults = NSUserDefaults::standardUserDefaults();
    if (!remembered_.empty() && defaults.boolForKey("RelateFromMCJGStatus")) {
        defaults.setBool(false, "RelateFromMCJGStatus");
        url_ = remembered_;
        html_.clear();
        remembered_.clear();
        startLoading();
    }
}

void VTAWebViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    if (webView_ && webView_->isLoading()) webView_->stopLoading();
}

bool VTAWebViewController::webViewShouldStartLoadWithRequest(UIWebView& webView, const NSURLRequest& request,
                                                             UIWebViewNavigationType) {
    const std::string& address = request.URL();
    auto at = address.find(kCommandMarker);
    if (at == std::string::npos) return true;
    // The page to show again after a relate is the one holding the link.
    if (!webView.request().URL().empty()) remembered_ = webView.request().URL();
    performLinkCommand(address.substr(at + std::string(kCommandMarker).size()));
    return false;
}

void VTAWebViewController::webViewDidFailLoadWithError(UIWebView&, const NSError& error) {
    if (error.code() == kWebViewErrorCancelled) return;
    showAlert(error.localizedDescription());
}

bool VTAWebViewController::performLinkCommand(const std::string& command) {
    if (startsWith(command, "user_upgrade?") || startsWith(command, "user_switch?") || command == "user_upgrade" ||
        command == "user_switch") {
        if (remembered_.empty() && webView_) remembered_ = webView_->request().URL();
        if (remembered_.empty()) remembered_ = url_;
        auto vc = VTAUIFactory::viewControllerWithLink(kRelateLink, kRelateTitle);
        if (!vc) {
            showAlert(VTAUIFactory::kNoTradeLoginText);
            return true;
        }
        pushViewController(vc);
        return true;
    }
    if (startsWith(command, "open?")) {
        std::string link = commandValue(command, "link");
        if (link.empty()) return true;
        auto menu = std::make_shared<VTAMenu>();
        menu->setLink(link);
        menu->setTitle(commandValue(command, "title"));
        VTAUIFactory::openMenuWithTradeGate(menu);
        return true;
    }
    if (startsWith(command, "stock?")) {
        std::string id = commandValue(command, "code");
        auto dot = id.rfind('.');
        if (dot == std::string::npos || dot == 0) return true;
        int market = 0;
        try {
            market = std::stoi(id.substr(dot + 1));
        } catch (...) {
            return true;
        }
        auto stock = std::make_shared<VTAStock>(id.substr(0, dot), "", market);
        pushViewController(VTAUIFactory::stockPageWithStocks({stock}, 0));
        return true;
    }
    if (startsWith(command, "tel?")) {
        PhoneCallPrompt::ask(commandValue(command, "number"));
        return true;
    }
    if (command == "back" || startsWith(command, "back?")) {
        onCommandBack();
        return true;
    }
    if (command == "home" || startsWith(command, "home?")) {
        onCommandHome();
        return true;
    }
    return false;
}
