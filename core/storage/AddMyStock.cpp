#include "core/storage/AddMyStock.h"

#include "core/VTAUserDefoult.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/StorageText.h"

AddMyStockResult addMyStock(const std::optional<std::string>& name, const std::optional<std::string>& code,
                            int marketId) {
    return addMyStock(name, code, marketId, *DaoFactory::sharedInstance().portfolioDao());
}

AddMyStockResult addMyStock(const std::optional<std::string>& name, const std::optional<std::string>& code,
                            int marketId, PortfolioDao& portfolio) {
    AddMyStockResult result;
    size_t length = code ? storage_text::characterCount(*code) : 0;
    if (!code || length < 5 || length > 6) {
        result.message = "非法股票代码！";
        return result;
    }
    const std::string stockId = *code + "." + std::to_string(marketId);
    const std::string label = name.value_or("") + "(" + stockId + "),";
    if (portfolio.existStockWithSymbol(*code, marketId)) {
        result.message = label + "已经存在！";
        return result;
    }
    QZPortfolioStock stock(*code, marketId);
    stock.setName(name.value_or(""));
    if (!portfolio.addStock(stock)) {
        result.message = label + "添加失败！";
        return result;
    }
    result.added = true;
    result.message = label + "添加成功！";
    result.needsServerAdd = VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer");
    return result;
}
