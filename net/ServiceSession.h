#pragma once
// The service session shared by every request service: the session text
// "loginSession" (VTAParamter), the last session-login request (100/1) to
// repeat, and the silent re-login after a session time-out. Requests that
// failed with the time-out wait here; one login runs for all of them, then
// each is resumed (replayed, or failed with 102 when the login failed or the
// request is one that is never replayed: an order).
// NetworkManager::removeAllRequest drops a login in progress (it runs on the
// shared queue): the waiting requests of the shared queue are forgotten by
// their services like every other request of that queue, the others are
// resumed as Interrupted (their owners get a network error), and the next
// session time-out starts a new login.
// Main thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QZNetworkService;

class ServiceSession {
public:
    static ServiceSession& shared();

    std::string session() const;  // "" before the login
    void setSession(const std::string& session);
    // The login text screens sent last (re-sent for a silent re-login).
    void rememberLogin(const std::string& text, int type);
    const std::string& loginText() const { return loginText_; }
    int loginType() const { return loginType_; }
    static constexpr const char* kDefaultLoginText = "tc_mfuncno=100&tc_sfuncno=1";
    static constexpr int kDefaultLoginType = 3;

    enum class LoginResult { LoggedIn, Failed, Interrupted };
    // Queues a resumption and starts the silent login when none is running.
    void waitForLogin(std::function<void(LoginResult)> resume);
    // The login in progress was cancelled from outside (removeAllRequest):
    // forgets it and resumes every waiting request, later on the main loop, as Interrupted.
    void interruptLogin();
    bool isLoggingIn() const { return service_ != nullptr; }
    int silentLoginCount() const { return silentLogins_; }
    size_t waitingCount() const { return waiting_.size(); }

    // Tests: forget the login text, session and waiting requests.
    void reset();

private:
    ServiceSession() = default;
    class LoginDelegate;
    void finish(bool ok);

    std::string loginText_ = kDefaultLoginText;
    int loginType_ = kDefaultLoginType;
    std::vector<std::function<void(LoginResult)>> waiting_;
    std::unique_ptr<QZNetworkService> service_;
    std::shared_ptr<LoginDelegate> delegate_;
    int silentLogins_ = 0;
};
