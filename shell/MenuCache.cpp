#include "shell/MenuCache.h"

#include "core/MenuFunctions.h"
#include "core/TCRSWriter.h"
#include "core/contracts/RankingContract.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"

namespace {

int gInstalledVersion = 0;

struct DefaultItem {
    int id, pid;
    const char* title;
    const char* link;
    const char* icon = "";
};

// What a client shows before it ever reached the server.
const DefaultItem kDefaultMenu[] = {
    {1, -1, "行情", "", "menu_hq.png"},
    {2, -1, "交易", "", "menu_jy.png"},
    {6, -1, "消息", "pushmsg", "menu_msg.png"},
    {101, 1, "自选股", "zxhq"},
    {102, 1, "行情排行", "pxhq?market=1^深圳&type=101^全部A股&sort=24^成交量&tc_mfuncno=31000&tc_sfuncno=3"},
    {201, 2, "买入", "buysale?MMLB=0"},
    {202, 2, "卖出", "buysale?MMLB=1"},
    {203, 2, "撤单", "wtcd"},
};

}  // namespace

std::string MenuCache::filePath() { return documentsPath(kFileName); }

std::optional<MenuCache::Entry> MenuCache::load() {
    auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(filePath());
    if (!root || !root->isDict()) return std::nullopt;
    const Value& format = (*root)["format"];
    const Value& version = (*root)["menuver"];
    const Value& data = (*root)["data"];
    if (!format.isInteger() || format.toInt() != kFormat) return std::nullopt;
    if (!version.isInteger() || version.toInt() < 1 || version.toInt() > 1000000000) return std::nullopt;
    if (!data.isData() || data.data().empty()) return std::nullopt;
    return Entry{static_cast<int>(version.toInt()), data.data()};
}

bool MenuCache::save(int menuVersion, const std::vector<uint8_t>& data) {
    if (menuVersion < 1 || data.empty()) return false;
    Value::Dict root;
    root["format"] = kFormat;
    root["menuver"] = menuVersion;
    root["data"] = Value(data);
    return NSKeyedArchiver::archiveRootObject(Value(root), filePath());
}

int MenuCache::installCachedMenu() {
    if (auto entry = load()) {
        if (installMenuFromData(entry->data)) {
            gInstalledVersion = entry->menuVersion;
            return gInstalledVersion;
        }
    }
    installDefaultMenu();
    return 0;
}

int MenuCache::installedMenuVersion() { return gInstalledVersion; }
void MenuCache::setInstalledMenuVersion(int v) { gInstalledVersion = v < 0 ? 0 : v; }

std::vector<uint8_t> MenuCache::defaultMenuData() {
    std::vector<MenuItemRecord> items;
    for (const auto& m : kDefaultMenu) items.push_back({m.id, m.pid, m.title, m.link, m.icon, true});
    return menuRecordSetsData(items, {{"interval", "0930-1130,1300-1500"},
                                      {"maxmsg", "1^30"},
                                      {"market", RankingContract::Config::kMarkets},
                                      {"type", RankingContract::Config::kClasses},
                                      {"sort", RankingContract::Config::kSorts}});
}

void MenuCache::installDefaultMenu() {
    installMenuFromData(defaultMenuData());
    gInstalledVersion = 0;
}
