#include "net/XXNetworkManager.h"

#include <algorithm>
#include <set>

#include "core/QZUtil.h"
#include "core/VTATCRS.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "net/QZNetworkService.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/RunLoop.h"

struct XXNetworkManager::Pending : QZNetworkServiceDelegate {
    XXNetworkManager* owner = nullptr;
    std::unique_ptr<QZNetworkService> service;
    XXDelegateRef delegate;
    bool linked = true;
    int tag = 0;
    Handler own;
    std::weak_ptr<Pending> self;

    void answer(const std::vector<uint8_t>* data, const NSError* error, bool network) {
        auto keep = self.lock();
        if (!keep) return;
        owner->pending_.erase(std::remove(owner->pending_.begin(), owner->pending_.end(), keep), owner->pending_.end());
        // The service is inside its own callback: let it go afterwards.
        std::shared_ptr<QZNetworkService> service(std::move(this->service));
        RunLoop::main().post([service, keep] {});
        if (own) own(data, error, network);
        XXNetworkManager* m = owner;
        auto call = [&](bool x) {
            if (!linked) return;
            auto d = delegate.lock();
            if (!d) return;
            if (data)
                x ? d->xserviceDidReceiveData(m, *data, tag) : d->serviceDidReceiveData(m, *data, tag);
            else if (network)
                x ? d->xserviceDidNetworkError(m, *error, tag) : d->serviceDidNetworkError(m, *error, tag);
            else
                x ? d->xserviceDidServiceError(m, *error, tag) : d->serviceDidServiceError(m, *error, tag);
        };
        call(false);
        call(true);  // unless the first call unlinked or released the delegate
    }
    void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>& data, int) override {
        answer(&data, nullptr, false);
    }
    void serviceDidNetworkError(QZNetworkService*, const NSError& e, int) override { answer(nullptr, &e, true); }
    void serviceDidServiceError(QZNetworkService*, const NSError& e, int) override { answer(nullptr, &e, false); }
};

XXNetworkManager& XXNetworkManager::sharedManager() {
    static XXNetworkManager m;
    return m;
}

void XXNetworkManager::send(const std::string& text, int type, int tag, XXDelegateRef delegate, Handler own) {
    auto p = std::make_shared<Pending>();
    p->owner = this;
    p->self = p;
    p->delegate = delegate;
    p->linked = static_cast<bool>(delegate);
    p->tag = tag;
    p->own = std::move(own);
    p->service = std::make_unique<QZNetworkService>(queue_);
    p->service->setDelegate(std::weak_ptr<QZNetworkServiceDelegate>(p));
    pending_.push_back(p);
    p->service->requestStr(text, type, tag);
}

void XXNetworkManager::requestUploadPortfolio(const std::string& list, XXDelegateRef delegate) {
    if (list.empty()) return;
    send("tc_mfuncno=3710&tc_sfuncno=1&code=" + list, 6, kUploadTag, delegate);
}

void XXNetworkManager::requestDownloadPortfolio(XXDelegateRef delegate, bool withNames) {
    send(withNames ? "tc_mfuncno=3710&tc_sfuncno=2&isreturnhq=1&field=3|1|4" : "tc_mfuncno=3710&tc_sfuncno=2", 6,
         kDownloadTag, delegate);
}

void XXNetworkManager::requestAddPortfolio(const std::string& code, XXDelegateRef delegate) {
    if (code.empty() || !delegate) return;
    send("tc_mfuncno=3710&tc_sfuncno=3&code=" + code, 6, kAddTag, delegate);
}

void XXNetworkManager::requestAddPortfolio(const std::string& code) {
    if (code.empty()) return;
    lastRequest_ = "tc_mfuncno=3710&tc_sfuncno=3&code=" + code;
    send(lastRequest_, 6, kAddTag, nullptr);
}

void XXNetworkManager::requestDeletePortfolio(const std::string& code, XXDelegateRef delegate) {
    if (code.empty() || !delegate) return;
    send("tc_mfuncno=3710&tc_sfuncno=4&code=" + code, 6, kDeleteTag, delegate);
}

void XXNetworkManager::requestUpdatePortfolio(const std::string& list, XXDelegateRef delegate) {
    if (!delegate) return;
    send("tc_mfuncno=3710&tc_sfuncno=5&code=" + list, 6, kUpdateTag, delegate);
}

void XXNetworkManager::requestUpdatePortfolio(const std::string& list) {
    lastRequest_ = "tc_mfuncno=3710&tc_sfuncno=5&code=" + list;
    send(lastRequest_, 6, kUpdateTag, nullptr);
}

void XXNetworkManager::requestAddHoldings(const std::string& fundId, const std::string& tradeInfo,
                                          XXDelegateRef delegate) {
    if (fundId.empty()) return;
    std::string text = "tc_mfuncno=3710&tc_sfuncno=6&inputid=" + fundId;
    if (!tradeInfo.empty()) text += "&" + tradeInfo;
    send(text, 7, kHoldingsTag, delegate);
}

void XXNetworkManager::requestNoConfirmWithoutDelegate() {
    send("tc_mfuncno=3780&tc_sfuncno=2", 3, kNoConfirmTag, nullptr,
         [this](const std::vector<uint8_t>* data, const NSError*, bool) {
             if (data) storeMessages(*data);
         });
}

void XXNetworkManager::storeMessages(const std::vector<uint8_t>& data) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(data);
    if (!sets || sets->empty() || (*sets)[0]->isError() || (*sets)[0]->rowsAffected() == 0) return;
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    if (!dao) return;
    auto& set = *(*sets)[0];
    MessageExpressDaoImpl::MessageList batch;
    std::vector<std::string> ids;
    for (int i = 0; i < set.rowsAffected(); ++i) {
        set.moveToIndex(i);
        auto text = [&](const char* name) { return set.toStringWithFieldName(name).value_or(""); };
        auto m = std::make_shared<QZMessageExpress>();
        m->setSenderCode(text("sender_code"));
        m->setSenderName(text("sender_name"));
        std::string sent = text("send_time");
        auto blank = sent.find(' ');
        m->setSendDate(blank == std::string::npos ? sent : sent.substr(0, blank));
        m->setSendTime(blank == std::string::npos ? std::string() : sent.substr(blank + 1));
        m->setIsNeedConfirm(set.toIntWithFieldName("is_validate") == 1);
        m->setMessageType(static_cast<int>(set.toIntWithFieldName("msg_type")));
        m->setMessageLevel(static_cast<int>(set.toIntWithFieldName("msg_level")));
        m->setMessageDetailId(text("detailmsg_id"));
        m->setMessageId(text("msg_id"));
        m->setMessageTitle(text("summary"));
        m->setMessageContent(text("content"));
        m->setWeek(static_cast<int>(set.toIntWithFieldName("week")));
        m->setChannelName(text("channel_name"));
        m->setStockCode(text("stk_code"));
        m->setStockName(text("stk_name"));
        m->setMessageUrl(text("url"));
        if (m->messageId().empty()) continue;
        ids.push_back(m->messageId());
        batch.push_back(m);
    }
    if (batch.empty()) return;
    std::set<std::string> stored;
    if (auto existing = dao->listMessageExpressWithMessageIds(ids))
        for (auto& m : *existing) stored.insert(m->messageId());
    auto added = dao->addMessageExpressItems(batch, QZUtil::maxMessageExpressAmount());
    if (!added) return;  // nothing stored: nothing confirmed, nothing announced
    for (auto& m : batch) stored.insert(m->messageId());
    std::string confirm;
    for (auto& m : batch) {
        if (m->isNeedConfirm() && stored.count(m->messageId()) && !m->messageDetailId().empty())
            confirm += (confirm.empty() ? "" : "|") + m->messageDetailId();
    }
    if (!confirm.empty()) send("tc_mfuncno=3780&tc_sfuncno=3&detailmsg_id=" + confirm, 3, kConfirmTag, nullptr);
    NSNotificationCenter::defaultCenter().postNotificationName("NewMessageExpressNotification");
}

void XXNetworkManager::requestHistoryMessageFrom(int fromYmd, int toYmd, XXDelegateRef delegate) {
    if (!delegate) return;
    std::string text = "tc_mfuncno=3780&tc_sfuncno=6&bgn_date=" + std::to_string(fromYmd);
    if (toYmd != 0) text += "&end_date=" + std::to_string(toYmd);
    text += "&count=30";
    send(text, 3, kHistoryTag, delegate);
}

void XXNetworkManager::requestLongMessageWithTCString(const std::string& text, XXDelegateRef delegate) {
    if (!delegate || text.empty()) return;
    lastRequest_ = text;
    send(text, 3, kLongMessageTag, delegate);
}

void XXNetworkManager::requestRegisterPushToken(const std::string& token, bool enable, XXDelegateRef delegate) {
    if (enable && token.empty()) return;
    std::string text = enable ? "tc_mfuncno=3730&tc_sfuncno=1&token=" + token : "tc_mfuncno=3730&tc_sfuncno=2";
    send(text, 3, kPushTokenTag, delegate);
}

void XXNetworkManager::cancelForDelegate(const void* delegate) {
    if (!delegate) return;
    for (auto& p : pending_)
        if (p->delegate.identity() == delegate) p->linked = false;
}

size_t XXNetworkManager::pendingCount() const { return pending_.size(); }

void XXNetworkManager::cancelAll() {
    auto pending = std::move(pending_);
    pending_.clear();
    for (auto& p : pending)
        if (p->service) p->service->cancelRequest();
}
