#include "net/AddMyStockSync.h"

#include "net/XXNetworkManager.h"

AddMyStockResult addMyStockAndSync(const std::optional<std::string>& name, const std::optional<std::string>& code,
                                   int marketId) {
    AddMyStockResult result = addMyStock(name, code, marketId);
    if (result.added && result.needsServerAdd && code)
        XXNetworkManager::sharedManager().requestAddPortfolio(*code + "." + std::to_string(marketId));
    return result;
}
