#include "core/storage/MessageExpressRecord.h"

#include "core/RequestText.h"
#include "core/VTATCRS.h"
#include "core/contracts/MessageContract.h"

std::shared_ptr<QZMessageExpress> messageExpressFromRecord(const VTATCRS& set) {
    using namespace MessageContract;
    auto text = [&](const char* name) { return set.toStringWithFieldName(name).value_or(""); };
    auto number = [&](const char* name) { return static_cast<int>(set.toIntWithFieldName(name)); };
    auto m = std::make_shared<QZMessageExpress>(text(Col::kSenderCode));
    m->setSenderName(text(Col::kSenderName));
    auto sent = splitText(text(Col::kSendTime), " ");
    if (sent.size() == 2) {
        m->setSendDate(sent[0]);
        m->setSendTime(sent[1]);
    }
    m->setIsNeedConfirm(number(Col::kNeedsConfirm) == 1);
    m->setMessageType(number(Col::kType));
    m->setMessageLevel(number(Col::kLevel));
    m->setMessageDetailId(text(Col::kDetailId));
    m->setMessageId(text(Col::kMessageId));
    m->setMessageTitle(text(Col::kSummary));
    m->setMessageContent(text(Col::kContent));
    m->setWeek(number(Col::kWeekday));
    m->setChannelName(text(Col::kChannel));
    m->setStockCode(text(Col::kStockCode));
    m->setStockName(text(Col::kStockName));
    m->setMessageUrl(text(Col::kUrl));
    return m;
}
