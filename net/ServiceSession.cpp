#include "net/ServiceSession.h"

#include <cassert>

#include "core/ParsedReply.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "net/QZNetworkService.h"
#include "platform/foundation/RunLoop.h"

class ServiceSession::LoginDelegate : public QZNetworkServiceDelegate {
public:
    explicit LoginDelegate(ServiceSession& owner) : owner_(owner) {}
    void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>& data, int) override {
        // The service has stored the new session when the reply carried one.
        owner_.finish(ParsedReply(data).ok() && !owner_.session().empty());
    }
    void serviceDidNetworkError(QZNetworkService*, const NSError&, int) override { owner_.finish(false); }
    void serviceDidServiceError(QZNetworkService*, const NSError&, int) override { owner_.finish(false); }

private:
    ServiceSession& owner_;
};

ServiceSession& ServiceSession::shared() {
    static ServiceSession s;
    return s;
}

std::string ServiceSession::session() const {
    return VTAParamter::shareParamter().getStringForKey("loginSession").value_or("");
}

void ServiceSession::setSession(const std::string& session) {
    assert(RunLoop::main().isMainThread());
    if (session.empty())
        VTAParamter::shareParamter().removeValueForKey("loginSession");
    else
        VTAParamter::shareParamter().setString(session, "loginSession");
}

void ServiceSession::rememberLogin(const std::string& text, int type) {
    loginText_ = text;
    loginType_ = type;
}

void ServiceSession::waitForLogin(std::function<void(LoginResult)> resume) {
    assert(RunLoop::main().isMainThread());
    waiting_.push_back(std::move(resume));
    if (service_) return;
    ++silentLogins_;
    delegate_ = std::make_shared<LoginDelegate>(*this);
    service_ = std::make_unique<QZNetworkService>();
    service_->setDelegate(delegate_);
    // The stale session must not be named by the new login.
    setSession("");
    service_->requestStr(loginText_, loginType_);
}

void ServiceSession::finish(bool ok) {
    auto waiting = std::move(waiting_);
    waiting_.clear();
    // The login service is inside its own callback: let it go after it returned.
    auto service = std::shared_ptr<QZNetworkService>(std::move(service_));
    auto delegate = delegate_;
    delegate_.reset();
    RunLoop::main().post([service, delegate] {});
    for (auto& resume : waiting) resume(ok ? LoginResult::LoggedIn : LoginResult::Failed);
}

void ServiceSession::interruptLogin() {
    assert(RunLoop::main().isMainThread());
    if (!service_) return;
    auto waiting = std::move(waiting_);
    waiting_.clear();
    service_->cancelRequest();
    service_.reset();
    delegate_.reset();
    // Not from inside the caller's removeAllRequest: owners are told on the next turn of the loop.
    RunLoop::main().post([waiting = std::move(waiting)] {
        for (auto& resume : waiting) resume(LoginResult::Interrupted);
    });
}

void ServiceSession::reset() {
    waiting_.clear();
    if (service_) service_->cancelRequest();
    service_.reset();
    delegate_.reset();
    loginText_ = kDefaultLoginText;
    loginType_ = kDefaultLoginType;
    silentLogins_ = 0;
    setSession("");
}
