#include "shell/WebFetcher.h"

#include "net/HTTPRequest.h"
#include "net/NetworkManager.h"
#include "net/ServiceProtocol.h"
#include "platform/uikit/UIWebView.h"

namespace {
constexpr double kPageTimeOutSeconds = 10;
}

void installWebFetcher() {
    UIWebView::setDefaultFetcher([](const NSURLRequest& request, WebFetchCompletion done) {
        auto http = HTTPRequest::requestWithURL(request.URL());
        http->setTimeOutSeconds(kPageTimeOutSeconds);
        http->setUserAgent(ServiceProtocol::kUserAgent);
        http->setCompletionBlock([done](HTTPRequest& r) {
            WebFetchResult result;
            if (r.failed()) {
                // The customer reads this text: ours, not the transport's English.
                result.error = NSError("NSURLErrorDomain", -1004, "无法连接服务器，请检查网络后重试");
            } else if (r.responseStatusCode() != 200) {
                result.error = NSError("NSURLErrorDomain", -1011,
                                       "页面暂时无法打开（" + std::to_string(r.responseStatusCode()) + "）");
            } else {
                result.ok = true;
                result.body.assign(r.responseData().begin(), r.responseData().end());
            }
            done(std::move(result));
        });
        NetworkManager::manager().queue().addOperation(http);
    });
}
