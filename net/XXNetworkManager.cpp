#include "net/XXNetworkManager.h"

#include <algorithm>
#include <set>

#include "core/ParsedReply.h"
#include "core/QZUtil.h"
#include "core/RequestBuilder.h"
#include "core/VTATCRS.h"
#include "core/contracts/MessageContract.h"
#include "core/contracts/PortfolioContract.h"
#include "core/contracts/SystemContract.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "core/storage/MessageExpressRecord.h"
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
    send(RequestBuilder(PortfolioContract::kUpload).add(PortfolioContract::Key::kCode, list).text(), 6, kUploadTag,
         delegate);
}

void XXNetworkManager::requestDownloadPortfolio(XXDelegateRef delegate, bool withNames) {
    RequestBuilder download(PortfolioContract::kDownload);
    if (withNames) download.add(PortfolioContract::Key::kWithNames, 1).add(PortfolioContract::Key::kField, "3|1|4");
    send(download.text(), 6, kDownloadTag, delegate);
}

void XXNetworkManager::requestAddPortfolio(const std::string& code, XXDelegateRef delegate) {
    if (code.empty() || !delegate) return;
    send(RequestBuilder(PortfolioContract::kAdd).add(PortfolioContract::Key::kCode, code).text(), 6, kAddTag, delegate);
}

void XXNetworkManager::requestAddPortfolio(const std::string& code) {
    if (code.empty()) return;
    lastRequest_ = RequestBuilder(PortfolioContract::kAdd).add(PortfolioContract::Key::kCode, code).text();
    send(lastRequest_, 6, kAddTag, nullptr);
}

void XXNetworkManager::requestDeletePortfolio(const std::string& code, XXDelegateRef delegate) {
    if (code.empty() || !delegate) return;
    send(RequestBuilder(PortfolioContract::kDelete).add(PortfolioContract::Key::kCode, code).text(), 6, kDeleteTag,
         delegate);
}

void XXNetworkManager::requestUpdatePortfolio(const std::string& list, XXDelegateRef delegate) {
    if (!delegate) return;
    send(RequestBuilder(PortfolioContract::kReplace).add(PortfolioContract::Key::kCode, list).text(), 6, kUpdateTag,
         delegate);
}

void XXNetworkManager::requestUpdatePortfolio(const std::string& list) {
    lastRequest_ = RequestBuilder(PortfolioContract::kReplace).add(PortfolioContract::Key::kCode, list).text();
    send(lastRequest_, 6, kUpdateTag, nullptr);
}

void XXNetworkManager::requestAddHoldings(const std::string& fundId, const std::string& tradeInfo,
                                          XXDelegateRef delegate) {
    if (fundId.empty()) return;
    RequestBuilder holdings(PortfolioContract::kAddHoldings);
    holdings.add(PortfolioContract::Key::kFundAccount, fundId).appendFields(tradeInfo);
    send(holdings.text(), 7, kHoldingsTag, delegate);
}

void XXNetworkManager::requestNoConfirmWithoutDelegate() {
    send(RequestBuilder(MessageContract::kUnconfirmed).text(), 3, kNoConfirmTag, nullptr,
         [this](const std::vector<uint8_t>* data, const NSError*, bool) {
             if (data) storeMessages(*data);
         });
}

void XXNetworkManager::storeMessages(const std::vector<uint8_t>& data) {
    ParsedReply reply(data);
    if (!reply.firstRecord()) return;
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    if (!dao) return;
    auto& set = *reply.firstRecord();
    MessageExpressDaoImpl::MessageList batch;
    std::vector<std::string> ids;
    for (int i = 0; i < set.rowsAffected(); ++i) {
        set.moveToIndex(i);
        auto m = messageExpressFromRecord(set);
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
    if (!confirm.empty())
        send(RequestBuilder(MessageContract::kConfirm).add(MessageContract::Key::kDetailId, confirm).text(), 3,
             kConfirmTag, nullptr);
    NSNotificationCenter::defaultCenter().postNotificationName("NewMessageExpressNotification");
}

void XXNetworkManager::requestHistoryMessageFrom(int fromYmd, int toYmd, XXDelegateRef delegate) {
    if (!delegate) return;
    RequestBuilder history(MessageContract::kHistory);
    history.add(MessageContract::Key::kBeginDate, fromYmd);
    if (toYmd != 0) history.add(MessageContract::Key::kEndDate, toYmd);
    history.add(MessageContract::Key::kCount, kHistoryCount);
    send(history.text(), 3, kHistoryTag, delegate);
}

void XXNetworkManager::requestLongMessageWithTCString(const std::string& text, XXDelegateRef delegate) {
    if (!delegate || text.empty()) return;
    lastRequest_ = text;
    send(text, 3, kLongMessageTag, delegate);
}

void XXNetworkManager::requestRegisterPushToken(const std::string& token, bool enable, XXDelegateRef delegate) {
    if (enable && token.empty()) return;
    RequestBuilder text(enable ? SystemContract::kPushTokenOn : SystemContract::kPushTokenOff);
    if (enable) text.add(SystemContract::Key::kToken, token);
    send(text.text(), 3, kPushTokenTag, delegate);
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
