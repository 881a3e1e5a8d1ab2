#include "messages/MEWebViewController.h"

#include "core/ParsedReply.h"
#include "core/VTATCRS.h"
#include "core/contracts/MessageContract.h"
#include "core/storage/QZMessageExpress.h"
#include "messages/MEWebPage.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UINavigationBar.h"
#include "ui/SVProgressHUD.h"

MEWebViewController::MEWebViewController(std::shared_ptr<QZMessageExpress> message)
    : messageExpress_(message ? std::move(message) : std::make_shared<QZMessageExpress>()) {}

MEWebViewController::~MEWebViewController() {
    if (messageWebView_) messageWebView_->setDelegate(nullptr);
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
}

void MEWebViewController::loadView() {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, 320, 416));
    setView(root);
}

void MEWebViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    messageWebView_ = std::make_shared<UIWebView>(CGRectMake(0, 0, 320, 416));
    messageWebView_->setScalesPageToFit(true);
    messageWebView_->setDelegate(this);
    view()->addSubview(messageWebView_);
    functionToolbar_ = std::make_shared<UIToolbar>(CGRectMake(0, 372, 320, 44));
    functionToolbar_->setBarStyle(UIBarStyle::Black);
    auto item = [this](const char* image, void (MEWebViewController::*action)()) {
        return std::make_shared<UIBarButtonItem>(UIImage::imageNamed(image), UIBarButtonItemStyle::Plain, this,
                                                 [this, action](UIBarButtonItem&) { (this->*action)(); });
    };
    functionToolbar_->setItems(
        {item("back.png", &MEWebViewController::backAction), item("forward.png", &MEWebViewController::forwardAction),
         UIBarButtonItem::flexibleSpace(), item("refresh.png", &MEWebViewController::refreshAction)});
    view()->addSubview(functionToolbar_);
}

void MEWebViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (!messageExpress_->messageUrl().empty()) loadByType();
}

void MEWebViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    if (messageWebView_) messageWebView_->stopLoading();
    UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(false);
    SVProgressHUD::dismiss();
}

void MEWebViewController::loadByType() {
    const std::string& url = messageExpress_->messageUrl();
    switch (messageExpress_->messageType()) {
        case 1: {
            auto self = std::dynamic_pointer_cast<MEWebViewController>(sharedController());
            if (self)
                XXNetworkManager::sharedManager().requestLongMessageWithTCString(url, XXDelegateRef(self));
            else
                XXNetworkManager::sharedManager().requestLongMessageWithTCString(url, XXDelegateRef(this));
            break;
        }
        case 2:
            messageWebView_->loadRequest(NSURLRequest::requestWithURL(messagePageAddress(url)));
            break;
        default:
            break;
    }
}

void MEWebViewController::backAction() { messageWebView_->goBack(); }
void MEWebViewController::forwardAction() { messageWebView_->goForward(); }

void MEWebViewController::refreshAction() {
    if (!messageExpress_->messageUrl().empty()) loadByType();
}

void MEWebViewController::loadWebContent(const std::string& text) {
    auto bytes = readWholeFile(bundlePath(kMessagePageTemplate), 1u << 20);
    std::string templateText = bytes ? std::string(bytes->begin(), bytes->end()) : "QZ_NewsContent";
    view();
    messageWebView_->loadHTMLString(renderMessagePage(templateText, *messageExpress_, text));
}

// ---------------------------------------------------------------- delegates

void MEWebViewController::webViewDidStartLoad(UIWebView&) {
    UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(true);
}

void MEWebViewController::webViewDidFinishLoad(UIWebView&) {
    UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(false);
}

void MEWebViewController::webViewDidFailLoadWithError(UIWebView& webView, const NSError& error) {
    UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(false);
    if (error.code() == kWebViewErrorCancelled) return;
    webView.loadHTMLString(messageErrorPage(error.localizedDescription()));
}

void MEWebViewController::serviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int) {
    ParsedReply reply(data);
    std::string error;
    if (!reply.readable() || reply.sets().empty())
        error = "数据解析错误";
    else if (reply.isError())
        error = reply.errorText();
    else if (VTATCRS* set = reply.firstRecord())
        return loadWebContent(set->toStringWithFieldName(MessageContract::Col::kLongText).value_or(""));
    else
        error = kNoDetailText;
    SVProgressHUD::dismissWithError(error, kErrorSeconds);
}

void MEWebViewController::serviceDidNetworkError(XXNetworkManager*, const NSError& error, int) {
    SVProgressHUD::dismissWithError(error.localizedDescription(), kErrorSeconds);
}

void MEWebViewController::serviceDidServiceError(XXNetworkManager*, const NSError& error, int) {
    SVProgressHUD::dismissWithError(error.localizedDescription(), kErrorSeconds);
}
