// Pushed-message functions of the simulated server (family 3780; functions,
// keys and columns named in core/contracts/MessageContract.h).
// 3780/2 messages not yet confirmed. Set 0 rows: "msg_id", "detailmsg_id",
//   "sender_code", "sender_name", "send_time" ("yyyy-MM-dd HH:mm:ss"),
//   "is_validate" (1: confirm the receipt), "msg_type" (0 the text alone, 1 a
//   long text, "url" the request for it; 2 a web page, "url" its address), "msg_level", "summary", "content", "week" (0 Sunday to 6), "channel_name",
//   "stk_code", "stk_name", "url". Messages that need no confirmation count as
//   delivered once sent.
// 3780/3 confirmation. Request "detailmsg_id": ids joined by "|" (or ",").
//   Reply "result" 1 and "message" (the number confirmed). The books keep
//   the ids that confirmed a message, no more.
// 3780/6 history. Request "bgn_date", "end_date" (yyyymmdd, optional),
//   "count" (default 30). The messages of those days, newest first; same fields.
// 3780/7 long text. Request "detailmsg_id". Set 0: "news_content", "title".
#include <algorithm>
#include <map>
#include <string>
#include <string_view>

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
    std::vector<size_t> sent;  // delivered once sent: no confirmation asked
    const auto& messages = c.server.view<SimMessageRoom>().messages;
    for (size_t i = 0; i < messages.size(); ++i) {
        if (messages[i].delivered) continue;
        addMessage(w, messages[i]);
        if (!messages[i].needConfirm) sent.push_back(i);
    }
    if (!sent.empty())
        for (size_t i : sent) c.server.room<SimMessageRoom>().messages[i].delivered = true;
    return w.bytes();
}

// Each id confirms the messages of that id still waiting; what the request
// keeps is the ids that confirmed one, as many as messages waited at most,
// whatever else came with them (an id named twice, one of no message).
std::vector<uint8_t> confirm(SimCall& c) {
    std::multimap<std::string, size_t, std::less<>> waiting;  // by detail id, as the lists write it
    const auto& messages = c.server.view<SimMessageRoom>().messages;
    for (size_t i = 0; i < messages.size(); ++i)
        if (!messages[i].delivered) waiting.emplace(std::to_string(messages[i].detailId), i);
    const std::string ids = c.request.value(Key::kDetailId);
    std::string taken;
    int confirmed = 0;
    for (size_t start = 0; start <= ids.size() && !waiting.empty();) {
        const size_t end = std::min(ids.find_first_of("|,", start), ids.size());
        const std::string_view id = std::string_view(ids).substr(start, end - start);
        start = end + 1;
        auto [first, last] = waiting.equal_range(id);
        if (first == last) continue;
        for (auto it = first; it != last; ++it, ++confirmed)
            c.server.room<SimMessageRoom>().messages[it->second].delivered = true;
        taken += (taken.empty() ? "" : "|") + std::string(id);
        waiting.erase(first, last);
    }
    if (confirmed) c.request.noteTaken(Key::kDetailId, taken);
    return simResultSet(1, std::to_string(confirmed));
}

std::vector<uint8_t> history(SimCall& c) {
    long long from = c.request.intValue(Key::kBeginDate, 0);
    long long to = c.request.intValue(Key::kEndDate, 0);
    long long count = std::clamp<long long>(c.request.intValue(Key::kCount, 30), 1, 200);
    std::vector<const SimMessage*> found;
    for (const auto& m : c.server.view<SimMessageRoom>().messages) {
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
    for (const auto& m : c.server.view<SimMessageRoom>().messages) {
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
    // Oldest first, so that the ids grow with the send time.
    struct Seed {
        double ago;
        const char* senderCode;
        const char* senderName;
        const char* channel;
        const char* title;
        const char* content;
        const char* stockCode;
        const char* stockName;
        int type;  // 0 the text alone, 1 a long text, 2 a page at `url`
        int needConfirm;
        bool delivered;  // confirmed before: only the history finds it
        const char* longText;
    };
    const std::string page = server.url().substr(server.url().find("://") + 3) + "/page/report.html";
    const Seed seed[] = {
        {6 * 86400 + 5400, "1001", "资讯中心", "每日资讯", "上周市场回顾",
         "上周两市震荡上行，成交量温和放大，消费与金融板块表现居前。", "", "", 1, 1, true,
         "上周沪指累计上涨1.2%，深证成指上涨0.8%。\r\n\r\n北向资金全周净流入逾百亿元。"},
        {4 * 86400 - 16200, "2001", "公告快递", "公司公告", "新股申购提示",
         "本周五有一只新股可申购，申购代码780318，请提前准备资金。", "601318.2", "中国平安", 0, 1, true, ""},
        {2 * 86400 - 34200, "1001", "资讯中心", "每日资讯", "周末要闻回顾",
         "周末多项政策密集出台，白酒龙头公布分红方案。", "600519.2", "贵州茅台", 1, 1, false,
         "贵州茅台公布年度分红方案，拟每股派发现金红利。\r\n\r\n多家券商认为消费板块估值处于合理区间。"},
        {86400 - 22800, "3001", "研究所", "研究报告", "晨会纪要",
         "宏观：稳增长政策持续发力，基建投资增速回升，制造业景气度改善。"
         "策略：市场风险偏好有所修复，建议关注业绩确定性较强的消费龙头与高股息的银行板块。"
         "行业：新能源汽车销量保持高增长，产业链中游盈利能力有望改善；半导体设备国产替代进程加快。"
         "个股：重点推荐招商银行、贵州茅台、中国平安，维持买入评级。"
         "固收：资金面保持平稳，短端利率小幅下行，信用债收益率继续走低，建议适度拉长久期。"
         "海外：美联储议息会议临近，市场预期维持利率不变，美元指数震荡，大宗商品价格分化。"
         "行业：新能源汽车销量保持高增长，产业链中游盈利能力有望改善；半导体设备国产替代进程加快；"
         "医药板块估值处于历史低位，创新药出海进展值得关注。"
         "风险提示：海外市场波动加剧，国内经济复苏不及预期，政策落地节奏低于预期。",
         "", "", 2, 1, false, ""},
        {3 * 3600 + 600, "1001", "资讯中心", "每日资讯", "早盘提示", "今日两市小幅高开，银行板块表现活跃。", "600036.2",
         "招商银行", 1, 1, false,
         "今日两市小幅高开，银行板块表现活跃。\r\n\r\n招商银行早盘上涨2%，成交放大。\n盘面上，券商、保险板块跟涨。"},
        {3300, "2001", "公告快递", "公司公告", "平安银行、招商银行发布业绩快报",
         "两家银行同日发布业绩快报，营收与净利润均实现增长。", "000001.1,600036.2", "平安银行,招商银行", 1, 1, false,
         "平安银行：营业收入同比增长>10% & "
         "不良率保持稳定。\r\n\r\n招商银行：净利润稳健增长，不良贷款率<1.1%，拨备覆盖率保持高位。"},
        {1800, "9001", "系统通知", "系统通知", "系统维护通知",
         "本周六凌晨0:00至6:00系统例行维护，届时暂停交易与行情服务，请提前安排。", "", "", 0, 0, false, ""},
    };
    for (const auto& s : seed) {
        SimMessage m;
        m.senderCode = s.senderCode;
        m.senderName = s.senderName;
        m.channel = s.channel;
        m.title = s.title;
        m.content = s.content;
        m.stockCode = s.stockCode;
        m.stockName = s.stockName;
        m.type = s.type;
        m.needConfirm = s.needConfirm;
        m.delivered = s.delivered;
        m.longText = s.longText;
        if (s.type == 2) m.url = page;
        add(std::move(m), now - s.ago);
    }
}

const SimMessage& SimMessageRoom::add(SimMessage m, double now) {
    m.msgId = nextMessageId++;
    if (m.detailId == 0) m.detailId = m.msgId * 10;
    if (m.sendTime == 0) m.sendTime = now;
    if (m.url.empty() && m.type == 1) m.url = simLongTextRequest(m.detailId);
    if (m.longText.empty() && m.type == 1) m.longText = m.content;
    messages.push_back(std::move(m));
    return messages.back();
}

void registerMessageFunctions(SimRegistry& r) {
    r.add(kUnconfirmed, unconfirmed);
    r.add(kConfirm, confirm);
    r.add(kHistory, history);
    r.add(kLongText, longText);
}
