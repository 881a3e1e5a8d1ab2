#pragma once
// The own-stock table t_portfolio. Rows are kept in ascending `sequence`; a
// new row goes after the last. Every change sets the platform user default
// "IsPortfolioChanged" (the information radar asks again) and writes the
// list into the setting "your stocks". Changes of more
// than one row run in one transaction: when one statement fails, the table
// stays as it was.
#include <memory>
#include <string>
#include <vector>

#include "core/storage/QZPortfolioStock.h"

class PortfolioDao {
public:
    using StockList = std::vector<std::shared_ptr<QZPortfolioStock>>;

    virtual ~PortfolioDao() = default;
    // Every row in ascending sequence; empty when there is none (or the
    // database is closed).
    virtual StockList listPortfolioStocks() = 0;
    virtual bool existStockWithSymbol(const std::string& symbol, int marketId) = 0;
    // True without inserting when the stock is stored already; otherwise
    // stores symbol, market, the name when it has 2 or more characters,
    // stock type -1 and the next sequence. False when a statement fails or
    // the symbol is empty.
    virtual bool addStock(const QZPortfolioStock& stock) = 0;
    // False for an empty list or a null entry; adds each in order, all or
    // nothing.
    virtual bool addStockArray(const StockList& stocks) = 0;
    // False when no such row exists or the deletion fails.
    virtual bool deleteStockBySymbol(const std::string& symbol, int marketId) = 0;
    // Texts "code.market": each one not yet stored is added in list order at
    // the next sequence; texts that are no stock id are passed over. All or
    // nothing.
    virtual bool moveToDatabaseWithStocks(const std::vector<std::string>& stockIds) = 0;
    // Gives the stored rows the names of the list's stocks (by symbol and
    // market; names of fewer than 2 characters are passed over). Rows are
    // never added or removed, the order stays. All or nothing.
    virtual bool updateStockNames(const StockList& stocks) = 0;
    // Empties the table and restarts its row numbers.
    virtual bool deleteAllPortfolio() = 0;

    // Empty the table and store the list, as one change: on failure the old
    // list stays. What the portfolio screens do with a list from the server.
    virtual bool replaceAllWithStockArray(const StockList& stocks) = 0;
    virtual bool replaceAllWithStocks(const std::vector<std::string>& stockIds) = 0;
};
