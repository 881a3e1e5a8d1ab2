// 504/60 the information radar of one stock (names in
// core/contracts/NewsContract.h, kInfoRadar, RadarKey, RadarCol).
//
// Request "stkcode" (one id "code.market"), "with_content" (1: the texts).
// Only the items of the day up to the clock's minute count: nothing is dated
// after the clock.
// Reply set 0, one record an item, newest first: "stkcode" (the id asked),
// "type" (0 an item), "time" ("HH:mm"), "content" (empty without
// "with_content=1"). A stock without items answers one record of type 1
// with empty "time" and "content". A request without "stkcode" answers the
// error set "请指定股票".
// 504/54 which of some stocks have radar items. Request "stkcodes" (ids
// joined by ","). Reply set 0, one record per asked stock with items, in the
// asked order: "code", "market" (integer). None: a set without records.
#include "sim/SimInfoRadar.h"

#include <cstdio>

#include "core/TCRSWriter.h"
#include "core/contracts/NewsContract.h"
#include "sim/SimClock.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

SimInfoRadarRoom::SimInfoRadarRoom() {
    items["600000.2"] = {
        {"10:12", "浦发银行：主力资金净流入1.26亿元，居银行板块首位，大单买入占比升至41%"},
        {"09:31", "浦发银行公告：董事会审议通过发行不超过500亿元金融债券的议案"},
        {"08:45", "机构评级：维持浦发银行“买入”评级，目标价9.20元"},
    };
    items["000001.1"] = {
        {"10:05", "平安银行：盘中成交额突破10亿元"},
        {"09:40", "平安银行：零售客户数较年初增长3.2%"},
    };
}

namespace {

using namespace NewsContract;

// The stock's items the clock has reached, newest first.
std::vector<SimRadarItem> itemsUpToNow(const SimCall& c, const std::string& id) {
    std::vector<SimRadarItem> out;
    const auto& items = c.server.view<SimInfoRadarRoom>().items;
    auto found = items.find(id);
    if (found == items.end()) return out;
    const SimClock::Local now = SimClock::local(c.now);
    char clock[8];
    std::snprintf(clock, sizeof clock, "%02d:%02d", now.hour, now.minute);
    for (const auto& item : found->second)
        if (item.time <= clock) out.push_back(item);
    return out;
}

std::vector<uint8_t> infoRadar(SimCall& c) {
    std::string id = c.request.value(RadarKey::kStockId);
    if (id.empty()) return simErrorSet(-1, "请指定股票");
    const bool withContent = c.request.intValue(RadarKey::kWithContent, 0) == 1;
    const std::vector<SimRadarItem> items = itemsUpToNow(c, id);
    TCRSWriter w;
    w.beginSet()
        .addField(RadarCol::kStockId, TCRSFieldType::VarText, 0, "股票")
        .addField(RadarCol::kType, TCRSFieldType::Integer, 4, "类型")
        .addField(RadarCol::kTime, TCRSFieldType::VarText, 0, "时间")
        .addField(RadarCol::kContent, TCRSFieldType::VarText, 0, "内容");
    if (items.empty()) {
        w.addRecord({id, kNoRadarType, "", ""});
        return w.bytes();
    }
    for (const auto& item : items) w.addRecord({id, 0, item.time, withContent ? item.content : ""});
    return w.bytes();
}

std::vector<uint8_t> radarStocks(SimCall& c) {
    TCRSWriter w;
    w.beginSet()
        .addField(RadarCol::kCode, TCRSFieldType::VarText, 0, "代码")
        .addField(RadarCol::kMarket, TCRSFieldType::Integer, 4, "市场");
    for (const auto& id : simSplit(c.request.value(RadarKey::kStockIds), ',')) {
        auto point = id.rfind('.');
        if (itemsUpToNow(c, id).empty() || point == std::string::npos) continue;
        w.addRecord({id.substr(0, point), std::atoi(id.c_str() + point + 1)});
    }
    return w.bytes();
}

}  // namespace

void registerInfoRadarFunctions(SimRegistry& r) {
    r.add(kInfoRadar, infoRadar);
    r.add(kRadarStocks, radarStocks);
}
