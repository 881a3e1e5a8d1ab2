#include "quotes/PortfolioStore.h"

#include "core/VTAUserDefoult.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/StorageText.h"
#include "platform/foundation/NSUserDefaults.h"
#include "shell/PushHandling.h"

PortfolioDao& portfolioTable() { return *DaoFactory::sharedInstance().portfolioDao(); }

bool ownStocksLiveOnServer() { return VTAUserDefoult::standerDefoult().getBoolForKey(kSaveMyStockInServerKey); }

void setOwnStocksLiveOnServer() {
    auto& settings = VTAUserDefoult::standerDefoult();
    settings.setBool(true, kSaveMyStockInServerKey);
    settings.save();
}

bool isPortfolioDownloaded() { return NSUserDefaults::standardUserDefaults().boolForKey(kIsDownloadPortfolioKey); }

void setPortfolioDownloaded() { NSUserDefaults::standardUserDefaults().setBool(true, kIsDownloadPortfolioKey); }

std::string joinStockIds(const PortfolioDao::StockList& stocks, const std::string& separator) {
    std::string text;
    for (const auto& stock : stocks) {
        if (!stock) continue;
        if (!text.empty()) text += separator;
        text += stock->stockId();
    }
    return text;
}

std::optional<std::vector<std::string>> stockIdsOfListText(const std::string& text) {
    std::vector<std::string> ids;
    for (const auto& part : storage_text::split(text, '|')) {
        std::string id = storage_text::trim(part);
        if (id.empty()) continue;
        if (!storage_text::parseStockId(id)) return std::nullopt;
        ids.push_back(std::move(id));
    }
    return ids;
}

bool replacePortfolio(const PortfolioDao::StockList& stocks) {
    if (stocks.empty()) return portfolioTable().replaceAllWithStocks({});
    return portfolioTable().replaceAllWithStockArray(stocks);
}

bool replacePortfolio(const std::vector<std::string>& stockIds) {
    return portfolioTable().replaceAllWithStocks(stockIds);
}

std::vector<std::string> portfolioRadarStocks() {
    std::vector<std::string> ids;
    if (auto list = NSUserDefaults::standardUserDefaults().arrayForKey(kPortfolioRadarKey))
        for (const auto& v : *list)
            if (v.isString()) ids.push_back(v.string());
    return ids;
}

void setPortfolioRadarStocks(const std::vector<std::string>& stockIds) {
    Value::Array list;
    for (const auto& id : stockIds) list.emplace_back(id);
    NSUserDefaults::standardUserDefaults().setObject(Value(list), kPortfolioRadarKey);
}
