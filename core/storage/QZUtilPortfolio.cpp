// The own-stock operations of QZUtil: they read the database and the platform
// user defaults, so they live with the storage layer.
#include "core/QZUtil.h"

#include "core/storage/DaoFactory.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSUserDefaults.h"

namespace {
constexpr const char* kIsFirstInPortfolio = "IsFirstInPortfolio";
constexpr const char* kIsPortfolioChanged = "IsPortfolioChanged";
constexpr const char* kLastRadarTime = "LastRequestPortfolioInfoRadarTime";
// How long the information radar of the own stocks stays fresh.
constexpr double kRadarIntervalSeconds = 10 * 60;
}  // namespace

std::string QZUtil::portfolioListFromDatabase() {
    std::string list;
    for (const auto& stock : DaoFactory::sharedInstance().portfolioDao()->listPortfolioStocks()) {
        if (!list.empty()) list += "|";
        list += stock->stockId();
    }
    return list;
}

bool QZUtil::isNeedRequestPortfolioInfoRadar() {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    if (defaults.boolForKey(kIsFirstInPortfolio) || defaults.boolForKey(kIsPortfolioChanged)) return true;
    auto last = defaults.dateForKey(kLastRadarTime);
    if (!last) return true;
    double elapsed = Clock::now() - *last;
    // A clock set back makes the last time lie in the future: ask again.
    return elapsed > kRadarIntervalSeconds || elapsed < 0;
}

void QZUtil::markPortfolioInfoRadarFlagToInit() {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    defaults.setBool(false, kIsFirstInPortfolio);
    defaults.setBool(false, kIsPortfolioChanged);
    defaults.setObject(Value(Value::Date{Clock::now()}), kLastRadarTime);
}
