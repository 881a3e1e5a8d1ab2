#pragma once
#include <memory>

#include "core/storage/DatabaseConnection.h"
#include "core/storage/PortfolioDao.h"

class PortfolioDaoImpl : public PortfolioDao {
public:
    explicit PortfolioDaoImpl(std::shared_ptr<DatabaseConnection> connection);

    StockList listPortfolioStocks() override;
    bool existStockWithSymbol(const std::string& symbol, int marketId) override;
    bool addStock(const QZPortfolioStock& stock) override;
    bool addStockArray(const StockList& stocks) override;
    bool deleteStockBySymbol(const std::string& symbol, int marketId) override;
    bool moveToDatabaseWithStocks(const std::vector<std::string>& stockIds) override;
    bool updateStockNames(const StockList& stocks) override;
    bool deleteAllPortfolio() override;
    bool replaceAllWithStockArray(const StockList& stocks) override;
    bool replaceAllWithStocks(const std::vector<std::string>& stockIds) override;

private:
    enum class AddResult { Added, Present, Failed };
    // These run on the locked, open database.
    bool exists(Database& db, const std::string& symbol, int marketId);
    AddResult insert(Database& db, const std::string& symbol, int marketId, const std::string& name);
    bool insertArray(Database& db, const StockList& stocks);
    bool insertStockIds(Database& db, const std::vector<std::string>& stockIds);
    bool clear(Database& db);
    static void markChanged(Database& db);

    std::shared_ptr<DatabaseConnection> connection_;
};
