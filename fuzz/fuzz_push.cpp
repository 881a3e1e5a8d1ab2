// Pushed messages under arbitrary bytes: a reply of unconfirmed messages
// (3780/2; the history shares its columns) read record by record into
// messages, stored in the message table of a real database (in memory, with
// the store's limit), then read back as the inbox reads them (grouped by
// sender, by day and by stock, each group's messages) and shown as the
// screens show them (row and detail texts, the related stocks, the message
// page laid into the bundle's template, the address of a web-page message).
//
// The first byte chooses the reply as the bytes stand, or a set of the
// message columns, of types and values the input picks; the rest of the input
// is the long text of the message page.
// Checks: a message stored is found by its id; a group's messages number
// what its header says; a text without markup or line breaks shows on the
// page as written.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/VTATCRS.h"
#include "core/contracts/MessageContract.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/MessageExpressRecord.h"
#include "fuzz/FuzzDocuments.h"
#include "fuzz/FuzzRecordSets.h"
#include "messages/MEWebPage.h"
#include "messages/MessageTexts.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"

namespace {

namespace Col = MessageContract::Col;

const std::vector<std::string> kColumns = {Col::kMessageId, Col::kDetailId,     Col::kSenderCode, Col::kSenderName,
                                           Col::kSendTime,  Col::kNeedsConfirm, Col::kType,       Col::kLevel,
                                           Col::kSummary,   Col::kContent,      Col::kWeekday,    Col::kChannel,
                                           Col::kStockCode, Col::kStockName,    Col::kUrl,        Col::kTitle};
constexpr int kStoreLimit = 50;

MessageExpressDaoImpl& store() {
    static std::shared_ptr<MessageExpressDaoImpl> dao = [] {
        fuzzDocuments();
        auto& factory = DaoFactory::sharedInstance();
        if (!factory.open(":memory:") || !factory.maintainDao()->upgrade()) std::abort();
        return factory.messageExpressDao();
    }();
    return *dao;
}

const std::string& pageTemplate() {
    static const std::string text = [] {
        auto bytes = readWholeFile(bundlePath(kMessagePageTemplate));
        if (!bytes) std::abort();  // the bundle is missing
        return std::string(bytes->begin(), bytes->end());
    }();
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MessageExpressDaoImpl& dao = store();
    FuzzInput in{data, size};
    const uint8_t mode = in.byte();
    std::vector<uint8_t> reply;
    if (mode & 1) {
        reply = in.bytes(in.word());
    } else {
        TCRSWriter writer;
        addFuzzSet(writer, in, kColumns, 8);
        reply = writer.bytes();
    }
    const std::string longText = in.text(200);

    auto sets = VTATCRS::buildMuTableTCRSWithData(reply);
    if (!sets || sets->empty()) return 0;
    VTATCRS& set = *(*sets)[0];
    MessageExpressDaoImpl::MessageList batch;
    for (int i = 0; i < set.rowsAffected(); ++i) {
        set.moveToIndex(i);
        batch.push_back(messageExpressFromRecord(set));
    }
    if (dao.addMessageExpressItems(batch, kStoreLimit)) {
        for (const auto& m : batch) {
            if (m->messageId().empty()) continue;
            auto found = dao.listMessageExpressWithMessageIds({m->messageId()});
            if (!found) std::abort();
        }
    }

    for (int sortType = 0; sortType < 3; ++sortType) {
        for (const MessageGroup& group : loadMessageGroups(dao, sortType, mode & 2)) {
            groupHeaderText(group);
            auto messages = loadGroupMessages(dao, group, mode & 2);
            if (static_cast<int>(messages.size()) != group.amount) std::abort();
            for (const auto& m : messages) {
                messageRowDateText(*m, sortType == 1);
                messageDetailLine(*m);
                relatedStocksOfMessage(*m);
                messagePageAddress(m->messageUrl());
                // Each message's page once an input (every grouping holds the same messages).
                if (sortType != 0) continue;
                const std::string page = renderMessagePage(pageTemplate(), *m, longText);
                const bool plain = longText.find_first_of("<>&\"'\r\n") == std::string::npos;
                if (plain && page.find(longText) == std::string::npos) std::abort();  // shown as written
            }
        }
    }
    // The store keeps the newest within its limit.
    if (mode & 4) dao.trimNonFavoriteMessagesToAmount(in.byte() % kStoreLimit);
    return 0;
}
