// System functions of the simulated server (family 100, 3504, 3730):
// functions, request keys and reply columns are named in
// core/contracts/SystemContract.h.
//
// 100/1 session login. Request: TC_KEY (key exchange, see net/ServiceProtocol.h),
//   "phone" (the session's: simDeclaredPhone), "version" (client version),
//   "menuver" (version of the cached menu).
//   Reply set 0, one record: "session" (text), "registered" (1/0: the phone is
//   registered), "phone", "newversion" (text, "" when the client is current),
//   "upgradeurl" (text), "menuver" (the server's menu version), "newmenu" (1 when
//   the client's "menuver" is older), "servertime" ("yyyy-MM-dd HH:mm:ss").
// 100/2 menu and configuration: sets "sys.menu" and "sys.conf" (fields of core/MenuFunctions.h).
//   The menu is the table each family extends (SimMenu.h, SimRegistry.h): this
//   family's part is the groups of the board and the group "更多" with the
//   shell's own screens; its help page link points at this server's GET
//   /page/help.html.
// 100/3 registration by SMS. Request "phone" (11 digits), "type" ("A"
//   register, "Z" unregister); the simulated short-message centre receives
//   the SMS at once. Reply: "result" 1, "message"; refused beyond
//   SimSystemRoom::kMaxPhones phones.
// 100/4 registration status. Request "phone". Reply: "registered", "phone", "serial".
// 100/17 feedback. Request "content" (and "contact"). Reply: "result" 1,
//   "message". The newest SimSystemRoom::kMaxFeedback texts are kept, each
//   cut to its first kMaxFeedbackBytes (at a character's start), as the
//   books on disk write it.
// 3504 home information. Reply set 0: "id", "title", "content", "time" per tab.
// 3730 push token of the session's phone, registered. Sub 1 register
//   ("token", at most SimSystemRoom::kMaxTokenBytes), sub 2 unregister.
//   Reply: "result", "message".
#include <string>

#include "core/MenuFunctions.h"
#include "core/TCRSWriter.h"
#include "core/contracts/RankingContract.h"
#include "core/contracts/SystemContract.h"
#include "core/security/Digests.h"
#include "sim/SimServer.h"
#include "sim/SimSystem.h"

namespace {

using namespace SystemContract;

std::vector<uint8_t> sessionLogin(SimCall& c) {
    auto& st = c.server.view<SimSystemRoom>();
    const std::string phone = simDeclaredPhone(c.request.value(Key::kPhone));
    if (c.session) c.session->phone = phone;
    bool registered = !phone.empty() && st.registeredPhones.count(phone);
    long long clientMenu = c.request.intValue(Key::kMenuVersion, 0);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kSession, TCRSFieldType::VarText)
        .addField(Col::kRegistered, TCRSFieldType::Integer, 4)
        .addField(Col::kPhone, TCRSFieldType::VarText)
        .addField(Col::kNewVersion, TCRSFieldType::VarText)
        .addField(Col::kUpgradeUrl, TCRSFieldType::VarText)
        .addField(Col::kMenuVersion, TCRSFieldType::Integer, 4)
        .addField(Col::kNewMenu, TCRSFieldType::Integer, 4)
        .addField(Col::kServerTime, TCRSFieldType::VarText)
        .addRecord({c.session ? c.session->id : std::string(), registered ? 1 : 0, phone, st.newestVersion,
                    st.newestVersion.empty() ? std::string() : std::string("http://127.0.0.1/upgrade"), st.menuVersion,
                    clientMenu < st.menuVersion ? 1 : 0, SimClock::format(c.now)})
        .bytes();
}

std::vector<uint8_t> menuAndConfiguration(SimCall& c) {
    std::string self = c.server.url();
    auto scheme = self.find("://");
    if (scheme != std::string::npos) self = self.substr(scheme + 3);
    return menuRecordSetsData(c.server.registry().menu().records(),
                              {
                                  {"iplist", self + "^模拟服务器^0"},
                                  {"interval", SimMarket::kInterval},
                                  {"HKtime", SimMarket::kHKTime},
                                  {"maxmsg", "1^30"},
                                  {"market", RankingContract::Config::kMarkets},
                                  {"type", RankingContract::Config::kClasses},
                                  {"sort", RankingContract::Config::kSorts},
                                  {Col::kMenuVersion, std::to_string(c.server.view<SimSystemRoom>().menuVersion)},
                              });
}

bool isPhoneNumber(const std::string& phone) {
    return phone.size() == 11 && phone.find_first_not_of("0123456789") == std::string::npos;
}

// The text's first `bytes` bytes, not cutting a UTF-8 character in two.
std::string cutText(const std::string& text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::vector<uint8_t> registration(SimCall& c) {
    std::string phone = c.request.value(Key::kPhone);
    if (phone.empty() && c.session) phone = c.session->phone;
    if (!isPhoneNumber(phone)) return simErrorSet(-1, "手机号码不正确");
    const auto& st = c.server.view<SimSystemRoom>();
    const bool registered = st.registeredPhones.count(phone) != 0;
    const bool unregisters = c.request.value(Key::kType) == Type::kUnregister;
    c.request.noteTaken(Key::kType, unregisters ? Type::kUnregister : Type::kRegister);  // any other type registers
    if (unregisters) {
        if (registered || st.pushTokens.count(phone)) {
            auto& changed = c.server.room<SimSystemRoom>();
            changed.registeredPhones.erase(phone);
            changed.pushTokens.erase(phone);
        }
    } else if (!registered && st.registeredPhones.size() >= SimSystemRoom::kMaxPhones) {
        return simErrorSet(-1, "注册用户已满，请稍后再试");
    } else if (!registered) {
        c.server.room<SimSystemRoom>().registeredPhones.insert(phone);
    }
    if (c.session) c.session->phone = phone;
    return simResultSet(1, "短信已发送，请等待注册完成");
}

std::vector<uint8_t> registrationStatus(SimCall& c) {
    std::string phone = c.request.value(Key::kPhone);
    if (phone.empty() && c.session) phone = c.session->phone;
    bool registered = !phone.empty() && c.server.view<SimSystemRoom>().registeredPhones.count(phone);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kRegistered, TCRSFieldType::Integer, 4)
        .addField(Col::kPhone, TCRSFieldType::VarText)
        .addField(Col::kSerial, TCRSFieldType::VarText)
        .addRecord({registered ? 1 : 0, phone, registered ? md5Hex("serial:" + phone).substr(0, 16) : std::string()})
        .bytes();
}

std::vector<uint8_t> feedback(SimCall& c) {
    std::string text = cutText(c.request.value(Key::kContent), SimSystemRoom::kMaxFeedbackBytes);
    if (text.empty()) return simErrorSet(-1, "反馈内容不能为空");
    c.request.noteTaken(Key::kContent, text);
    auto& kept = c.server.room<SimSystemRoom>().feedback;
    kept.push_back(std::move(text));
    while (kept.size() > SimSystemRoom::kMaxFeedback) kept.pop_front();
    return simResultSet(1, "感谢您的反馈");
}

std::vector<uint8_t> homeInformation(SimCall& c) {
    std::string day = SimClock::format(c.now).substr(0, 10);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kId, TCRSFieldType::Integer, 4)
        .addField(Col::kTitle, TCRSFieldType::VarText)
        .addField(Col::kContent, TCRSFieldType::VarText)
        .addField(Col::kTime, TCRSFieldType::VarText)
        .addRecord({1, "公告", "系统将于本周六凌晨进行例行维护，届时暂停服务。", day})
        .addRecord({2, "要闻", "两市成交额连续放大，市场情绪回暖。", day})
        .addRecord({3, "策略", "关注业绩稳定的蓝筹股，控制仓位。", day})
        .bytes();
}

std::vector<uint8_t> pushToken(SimCall& c) {
    std::string phone = c.session ? c.session->phone : std::string();
    const auto& st = c.server.view<SimSystemRoom>();
    const auto kept = st.pushTokens.find(phone);
    if (c.request.subFunction() == kPushTokenOff.sub) {
        if (kept != st.pushTokens.end()) c.server.room<SimSystemRoom>().pushTokens.erase(phone);
        return simResultSet(1, "已取消消息推送");
    }
    std::string token = c.request.value(Key::kToken);
    if (token.empty() || token.size() > SimSystemRoom::kMaxTokenBytes) return simErrorSet(-1, "缺少设备标识");
    if (!st.registeredPhones.count(phone)) return simErrorSet(-1, "本手机尚未注册");
    if (kept == st.pushTokens.end() || kept->second != token) c.server.room<SimSystemRoom>().pushTokens[phone] = token;
    return simResultSet(1, "已开通消息推送");
}

// The board's groups and the group "更多" with the shell's own screens. The
// trade groups carry the brokerage's group links: their lists' "帐号" opens
// the stock accounts logged in (any other list's, the Hong Kong ones).
const SimMenuItem kSystemMenu[] = {
    {1, -1, "行情", "", "menu_hq.png"},
    {2, -1, "交易", "trademenu", "menu_jy.png"},
    {3, -1, "理财", "jlc", "menu_lc.png"},
    {4, -1, "资讯", "", "menu_zx.png"},
    {5, -1, "融资融券", "rzrq", "menu_rzrq.png"},
    {6, -1, "消息", "pushmsg", "menu_msg.png"},
    {7, -1, "更多", "", "menu_more.png"},
    {701, 7, "设置", "setting"},
    {702, 7, "使用帮助", "webpage?url=/page/help.html"},
    {704, 7, "客户服务", "customerservice"},
    {705, 7, "意见反馈", "feedback"},
    {706, 7, "邀请好友", "invite"},
    {707, 7, "软件更新", "update"},
    {708, 7, "免责声明", "disclaimer"},
    {709, 7, "关于", "about"},
};

}  // namespace

std::string simDeclaredPhone(const std::string& declared) { return isPhoneNumber(declared) ? declared : std::string(); }

void registerSystemFunctions(SimRegistry& r) {
    for (const auto& item : kSystemMenu) r.menu().add(item);
    r.add(kSessionLogin, sessionLogin);
    r.add(kMenu, menuAndConfiguration);
    r.add(kRegistration, registration);
    r.add(kRegistrationStatus, registrationStatus);
    r.add(kFeedback, feedback);
    r.add({kHomeInformation.main, SimRegistry::kAnySub}, homeInformation);
    r.add(kPushTokenOn, pushToken);
    r.add(kPushTokenOff, pushToken);
}
