// Pushed-message functions of the simulated server (family 3780; functions,
// keys and columns named in core/contracts/MessageContract.h).
// 3780/2 messages not yet confirmed. Set 0 rows: "msg_id", "detailmsg_id",
//   "sender_code", "sender_name", "send_time" ("yyyy-MM-dd HH:mm:ss"),
//   "is_validate" (1: confirm the receipt), "msg_type" (1 long text, 2 web
//   address), "msg_level", "summary", "content", "week" (0 Sunday to 6), "channel_name",
//   "stk_code", "stk_name", "url". Messages that need no confirmation count as
//   delivered once sent.
// 3780/3 confirmation. Request "detailmsg_id": ids joined by "|" (or ",").
//   Reply "result" 1 and "message" (the number confirmed).
// 3780/6 history. Request "bgn_date", "end_date" (yyyymmdd, optional),
//   "count" (default 30). The messages of those days, newest first; same fields.
// 3780/7 long text. Request "detailmsg_id". Set 0: "news_content", "title".
#include <algorithm>
#include <string>

#include "core/RequestBuilder.h"
#include "core/TCRSWriter.h"
#include "core/contracts/MessageContract.h"
#include "sim/SimServer.h"

namespace {

using namespace MessageContract;

TCRSWriter& messageFields(TCRSWriter& w) {
    w.beginSet()
        .addField(Col::kMessageId, TCRSFieldType::VarText)
        .addField(Col::kDetailId, TCRSFieldType::VarText)
        .addField(Col::kSenderCode, TCRSFieldType::VarText)
        .addField(Col::kSenderName, TCRSFieldType::VarText)
        .addField(Col::kSendTime, TCRSFieldType::VarText)
        .addField(Col::kNeedsConfirm, TCRSFieldType::Integer, 4)
        .addField(Col::kType, TCRSFieldType::Integer, 4)
        .addField(Col::kLevel, TCRSFieldType::Integer, 4)
        .addField(Col::kSummary, TCRSFieldType::VarText)
        .addField(Col::kContent, TCRSFieldType::VarText)
        .addField(Col::kWeekday, TCRSFieldType::Integer, 4)
        .addField(Col::kChannel, TCRSFieldType::VarText)
        .addField(Col::kStockCode, TCRSFieldType::VarText)
        .addField(Col::kStockName, TCRSFieldType::VarText)
        .addField(Col::kUrl, TCRSFieldType::VarText);
    return w;
}

void addMessage(TCRSWriter& w, const SimMessage& m) {
    w.addRecord({std::to_string(m.msgId), std::to_string(m.detailId), m.senderCode, m.senderName,
                 SimClock::format(m.sendTime), m.needConfirm, m.type, m.level, m.title, m.content,
                 SimClock::local(m.sendTime).weekday, m.channel, m.stockCode, m.stockName, m.url});
}

std::vector<uint8_t> unconfirmed(SimCall& c) {
    TCRSWriter w;
    messageFields(w);
    for (auto& m : c.server.room<SimMessageRoom>().messages) {
        if (m.delivered) continue;
        addMessage(w, m);
        if (!m.needConfirm) m.delivered = true;
    }
    return w.bytes();
}

std::vector<uint8_t> confirm(SimCall& c) {
    std::string ids = c.request.value(Key::kDetailId);
    std::replace(ids.begin(), ids.end(), ',', '|');
    int confirmed = 0;
    size_t start = 0;
    while (start <= ids.size()) {
        size_t end = ids.find('|', start);
        if (end == std::string::npos) end = ids.size();
        std::string id = ids.substr(start, end - start);
        start = end + 1;
        for (auto& m : c.server.room<SimMessageRoom>().messages)
            if (!id.empty() && std::to_string(m.detailId) == id && !m.delivered) {
                m.delivered = true;
                ++confirmed;
            }
    }
    return simResultSet(1, std::to_string(confirmed));
}

std::vector<uint8_t> history(SimCall& c) {
    long long from = c.request.intValue(Key::kBeginDate, 0);
    long long to = c.request.intValue(Key::kEndDate, 0);
    long long count = std::clamp<long long>(c.request.intValue(Key::kCount, 30), 1, 200);
    std::vector<const SimMessage*> found;
    for (const auto& m : c.server.room<SimMessageRoom>().messages) {
        int day = SimClock::local(m.sendTime).yyyymmdd();
        if (day >= from && (to == 0 || day <= to)) found.push_back(&m);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const SimMessage* a, const SimMessage* b) { return a->sendTime > b->sendTime; });
    TCRSWriter w;
    messageFields(w);
    for (size_t i = 0; i < found.size() && i < static_cast<size_t>(count); ++i) addMessage(w, *found[i]);
    return w.bytes();
}

std::vector<uint8_t> longText(SimCall& c) {
    std::string id = c.request.value(Key::kDetailId);
    for (const auto& m : c.server.room<SimMessageRoom>().messages) {
        if (std::to_string(m.detailId) == id) {
            return TCRSWriter()
                .beginSet()
                .addField(Col::kLongText, TCRSFieldType::VarText)
                .addField(Col::kTitle, TCRSFieldType::VarText)
                .addRecord({m.longText, m.title})
                .bytes();
        }
    }
    return simErrorSet(-1, "获取详细信息失败");
}

}  // namespace

std::string simLongTextRequest(int64_t detailId) {
    return RequestBuilder(kLongText).add(Key::kDetailId, static_cast<long long>(detailId)).text();
}

SimMessageRoom::SimMessageRoom(SimServer& server) {
    const double now = server.clock().now();
    const struct {
        const char* title;
        const char* content;
        const char* code;
        const char* name;
        double ago;
    } seed[] = {
        {"早盘提示", "今日两市小幅高开，银行板块表现活跃。", "600036", "招商银行", 6 * 3600},
        {"公司公告", "平安银行发布季度报告，营收稳步增长。", "000001", "平安银行", 3 * 3600},
        {"系统通知", "本周六凌晨系统例行维护，请提前安排交易。", "", "", 3600},
    };
    for (const auto& s : seed) {
        SimMessage m;
        m.title = s.title;
        m.content = s.content;
        m.stockCode = s.code;
        m.stockName = s.name;
        add(std::move(m), now - s.ago);
    }
}

const SimMessage& SimMessageRoom::add(SimMessage m, double now) {
    m.msgId = nextMessageId++;
    if (m.detailId == 0) m.detailId = m.msgId * 10;
    if (m.sendTime == 0) m.sendTime = now;
    if (m.url.empty() && m.type == 1) m.url = simLongTextRequest(m.detailId);
    if (m.longText.empty()) m.longText = "<p>" + m.content + "</p>";
    messages.push_back(std::move(m));
    return messages.back();
}

void registerMessageFunctions(SimRegistry& r) {
    r.add(kUnconfirmed, unconfirmed);
    r.add(kConfirm, confirm);
    r.add(kHistory, history);
    r.add(kLongText, longText);
}
