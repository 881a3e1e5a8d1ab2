// Sectors (plates) of the simulated server: functions, request keys and
// columns are named in core/contracts/SectorContract.h. The sectors are a
// fixed book (industries, concepts, regions) over the market's stocks; they
// keep no state.
//
// 100/32 list. Request "bktype" (optional: only that kind). Reply set 0, one
//   row per sector in the book's order: "bktype" (integer), "bkcode",
//   "bkname" (the two keys first, then the name).
// 100/31 members. Request "bkcode" (a sector; "bktype" may come with it), or
//   "bktype" alone (every sector of that kind), and "field" (snapshot column
//   numbers). Reply set 0: a sector's members in the book's order, its
//   leading stock first; for a kind, the members of all its sectors once
//   each, the largest rise first. Columns as the snapshot's (31000/4), the
//   asked ones first. An unknown sector or kind, or neither key: an error set.
#include <algorithm>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"
#include "core/contracts/SectorContract.h"
#include "sim/SimMarket.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

namespace Key = SectorContract::Key;
namespace Col = SectorContract::Col;
namespace Type = SectorContract::Type;

struct SimSector {
    int type;
    const char* code;
    const char* name;
    std::vector<const char*> members;  // stock ids, the leading stock first
};

const std::vector<SimSector>& book() {
    static const std::vector<SimSector> sectors = {
        {Type::kIndustry,
         "BK0001",
         "银行板块",
         {"600000.2", "000001.1", "600036.2", "601398.2", "601288.2", "601988.2", "600016.2", "002142.1"}},
        {Type::kIndustry, "BK0002", "证券", {"600030.2", "000776.1", "601688.2", "000166.1", "300059.1"}},
        {Type::kIndustry, "BK0003", "保险", {"601318.2", "601628.2", "601601.2"}},
        {Type::kIndustry, "BK0004", "白酒", {"600519.2", "000858.1", "000568.1", "600809.2", "002304.1"}},
        {Type::kIndustry, "BK0005", "家用电器", {"000333.1", "000651.1", "600690.2"}},
        {Type::kIndustry, "BK0006", "石油石化", {"600028.2", "601857.2"}},
        {Type::kIndustry, "BK0007", "电力", {"600900.2", "600011.2"}},
        {Type::kIndustry, "BK0008", "房地产", {"000002.1", "600048.2", "001979.1"}},
        {Type::kIndustry, "BK0009", "汽车整车", {"002594.1", "600104.2", "000625.1"}},
        {Type::kIndustry, "BK0010", "通信服务", {"600050.2", "000063.1"}},
        {Type::kIndustry, "BK0011", "电子元件", {"002475.1", "000725.1", "000100.1", "002415.1"}},
        {Type::kIndustry, "BK0012", "医药制造", {"600276.2", "000538.1"}},
        {Type::kIndustry, "BK0013", "医疗器械", {"300760.1"}},
        {Type::kIndustry, "BK0014", "食品饮料", {"600887.2", "000895.1", "603288.2"}},
        {Type::kIndustry, "BK0015", "有色金属", {"601899.2"}},
        {Type::kIndustry, "BK0016", "化工原料", {"600309.2"}},
        {Type::kIndustry, "BK0017", "电池", {"300750.1", "002594.1"}},
        {Type::kIndustry, "BK0018", "航空装备", {"000768.1"}},
        {Type::kIndustry, "BK0019", "物流快递", {"002352.1"}},
        {Type::kIndustry, "BK0020", "养殖业", {"002714.1"}},
        {Type::kIndustry, "BK0021", "半导体", {"688981.2"}},
        {Type::kConcept, "BK0101", "金融科技", {"300059.1", "600030.2", "601688.2"}},
        {Type::kConcept, "BK0102", "新能源车", {"300750.1", "002594.1", "600104.2", "000625.1"}},
        {Type::kConcept, "BK0103", "光伏概念", {"601012.2", "300274.1"}},
        {Type::kConcept, "BK0104", "芯片国产化", {"688981.2", "002475.1", "000725.1"}},
        {Type::kConcept, "BK0105", "5G概念", {"000063.1", "600050.2", "002475.1"}},
        {Type::kConcept, "BK0106", "消费龙头", {"600519.2", "000858.1", "600887.2", "000333.1"}},
        {Type::kConcept, "BK0107", "央企改革", {"600028.2", "601857.2", "600050.2", "600011.2", "601988.2"}},
        {Type::kConcept, "BK0108", "高股息", {"601398.2", "601288.2", "601988.2", "600900.2", "600028.2"}},
        {Type::kConcept, "BK0109", "医疗服务", {"300015.1", "300760.1"}},
        {Type::kRegion,
         "BK0201",
         "广东板块",
         {"000001.1", "000002.1", "000063.1", "000333.1", "000651.1", "002594.1", "002475.1", "000776.1"}},
        {Type::kRegion, "BK0202", "上海板块", {"600000.2", "601601.2", "600104.2", "688981.2", "600016.2"}},
        {Type::kRegion, "BK0203", "北京板块", {"601398.2", "601288.2", "601988.2", "601628.2", "600050.2"}},
        {Type::kRegion, "BK0204", "浙江板块", {"002415.1"}},
        {Type::kRegion, "BK0205", "四川板块", {"000858.1", "000568.1"}},
        {Type::kRegion, "BK0206", "福建板块", {"300750.1", "601899.2"}},
        {Type::kRegion, "BK0207", "山东板块", {"600690.2", "600309.2"}},
    };
    return sectors;
}

std::vector<uint8_t> sectorList(SimCall& c) {
    const long long type = c.request.intValue(Key::kType, 0);
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kType, TCRSFieldType::Integer, 4, "板块类别")
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "板块代码")
        .addField(Col::kName, TCRSFieldType::VarText, 0, "板块名称");
    for (const auto& s : book())
        if (type == 0 || s.type == type) w.addRecord({s.type, s.code, s.name});
    return w.bytes();
}

std::vector<uint8_t> members(SimCall& c) {
    const SimMarket& market = c.server.market();
    std::vector<const SimInstrument*> stocks;
    auto addMembers = [&](const SimSector& s) {
        for (const char* id : s.members)
            if (const SimInstrument* inst = market.findId(id))
                if (std::find(stocks.begin(), stocks.end(), inst) == stocks.end()) stocks.push_back(inst);
    };
    const std::string code = c.request.value(Key::kCode);
    const long long type = c.request.intValue(Key::kType, 0);
    if (!code.empty()) {
        auto it = std::find_if(book().begin(), book().end(), [&](const SimSector& s) { return s.code == code; });
        if (it == book().end()) return simErrorSet(-1, "板块不存在");
        addMembers(*it);
    } else if (type != 0) {
        for (const auto& s : book())
            if (s.type == type) addMembers(s);
        if (stocks.empty()) return simErrorSet(-1, "板块不存在");
        std::vector<std::pair<double, const SimInstrument*>> byRise;
        for (const SimInstrument* s : stocks) {
            SimQuote q = market.quote(*s, c.now);
            double rise = q.prevClose ? double(q.last - q.prevClose) / double(q.prevClose) : 0;
            byRise.push_back({rise, s});
        }
        std::stable_sort(byRise.begin(), byRise.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (size_t i = 0; i < byRise.size(); ++i) stocks[i] = byRise[i].second;
    } else {
        return simErrorSet(-1, "请指定板块");
    }
    TCRSWriter w;
    simQuoteSet(w, simOrderedColumns(c.request.value(Key::kField)), stocks, market, c.now);
    return w.bytes();
}

}  // namespace

void registerSectorFunctions(SimRegistry& r) {
    r.add(SectorContract::kList, sectorList);
    r.add(SectorContract::kMembers, members);
}
