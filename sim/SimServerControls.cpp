// The simulated server's controls for tests and the stand-alone program.
#include "sim/SimPortfolio.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

void SimServer::addControl(Control control) {
    StateLock lock(*this);
    controls_.push_back(std::move(control));
}

void SimServer::answerNext(FunctionId function, std::vector<uint8_t> bytes, int times) {
    Control c(Control::Answer, function.main, function.sub, times);
    c.bytes = std::move(bytes);
    addControl(std::move(c));
}

void SimServer::forceErrorSet(int code, const std::string& text, int main, int sub, int times) {
    answerNext({main, sub}, simErrorSet(code, text), times);
}

void SimServer::forceFault(SimFault fault, int main, int sub, int times) {
    Control c(Control::Fault, main, sub, times);
    c.fault = fault;
    addControl(std::move(c));
}

void SimServer::holdReply(int main, int sub, int times) { addControl(Control(Control::Hold, main, sub, times)); }

void SimServer::releaseHeldReplies() {
    // Under the state lock, so that a request takes its hold either before
    // (and is released) or not at all.
    StateLock lock(*this);
    std::erase_if(controls_, [](const Control& c) { return c.kind == Control::Hold; });
    hold_.release();
}

size_t SimServer::heldReplies() const { return hold_.waiting(); }

void SimServer::delayReply(double seconds, int main, int sub, int times) {
    Control c(Control::Delay, main, sub, times);
    c.seconds = seconds;
    addControl(std::move(c));
}

void SimServer::dropConnection(int main, int sub, int times) { addControl(Control(Control::Drop, main, sub, times)); }

void SimServer::clearControls() {
    StateLock lock(*this);
    controls_.clear();
}

void SimServer::expireSession(const std::string& id) {
    StateLock lock(*this);
    sessions_.end(id);
}

void SimServer::expireAllSessions() {
    StateLock lock(*this);
    sessions_.endAll();
    // The trade logins too: one left would act again from the next service
    // session of its phone (a captured login posted again among them).
    if (auto* trade = rooms_.find<SimTradeRoom>()) trade->books.endSessions();
}

void SimServer::setSessionIdleTimeout(double seconds) {
    StateLock lock(*this);
    options_.sessionIdleTimeout = seconds;
}

std::vector<std::string> SimServer::sessionIds() const {
    StateLock lock(*this);
    return sessions_.ids();
}

void SimServer::setRequireSession(bool required) {
    StateLock lock(*this);
    options_.requireSession = required;
}

size_t SimServer::requestCount() const {
    StateLock lock(*this);
    return log_.size();
}

size_t SimServer::requestLogBytes() const {
    StateLock lock(*this);
    return log_.bytes();
}

std::vector<SimRecord> SimServer::requests() const {
    StateLock lock(*this);
    return {log_.records().begin(), log_.records().end()};
}

std::vector<SimRecord> SimServer::requestsOf(int main, int sub) const {
    StateLock lock(*this);
    std::vector<SimRecord> out;
    for (const auto& r : log_.records())
        if (r.main == main && r.sub == sub) out.push_back(r);
    return out;
}

void SimServer::clearRequests() {
    StateLock lock(*this);
    log_.clear();
}

int64_t SimServer::pushMessage(SimMessage m) {
    std::function<void(const SimMessage&)> observer;
    {
        StateLock lock(*this);
        if (!bringBooksBack()) return 0;
        const double now = clock_.now();
        if (!journalPush(m, now)) return 0;
        m = room<SimMessageRoom>().add(std::move(m), now);
        compactBooksIfLarge();
        observer = pushObserver_;
    }
    if (observer) observer(m);
    return m.msgId;
}

void SimServer::setPushObserver(std::function<void(const SimMessage&)> observer) {
    StateLock lock(*this);
    pushObserver_ = std::move(observer);
}

std::vector<SimMessage> SimServer::messages() {
    return withRoom<SimMessageRoom>([](SimMessageRoom& r) { return r.messages; });
}

std::vector<std::string> SimServer::ownStocks(const std::string& phone) {
    return withRoom<SimPortfolioRoom>([&](SimPortfolioRoom& r) {
        auto it = r.ownStocks.find(phone);
        return it == r.ownStocks.end() ? std::vector<std::string>() : it->second;
    });
}

void SimServer::setOwnStocks(const std::string& phone, std::vector<std::string> ids) {
    withRoom<SimPortfolioRoom>([&](SimPortfolioRoom& r) { r.ownStocks[phone] = std::move(ids); });
}
