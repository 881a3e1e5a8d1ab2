#include "core/storage/PortfolioDaoImpl.h"

#include "core/VTAUserDefoult.h"
#include "core/storage/StorageText.h"
#include "platform/foundation/NSUserDefaults.h"

PortfolioDaoImpl::PortfolioDaoImpl(std::shared_ptr<DatabaseConnection> connection)
    : connection_(std::move(connection)) {}

// Every change is noted for the information radar, and the settings list
// "your stocks" follows the table: it is what a damaged database is rebuilt
// from while own stocks are kept on the phone only.
void PortfolioDaoImpl::markChanged(Database& db) {
    NSUserDefaults::standardUserDefaults().setBool(true, "IsPortfolioChanged");
    auto st = db.prepare("SELECT symbol, marketId FROM t_portfolio ORDER BY sequence, id");
    if (!st) return;
    Value::Array ids;
    while (st->step() == Statement::StepResult::Row)
        ids.emplace_back(st->columnText(0) + "." + std::to_string(st->columnInt64(1)));
    VTAUserDefoult::standerDefoult().setArray(ids, "your stocks");
}

PortfolioDao::StockList PortfolioDaoImpl::listPortfolioStocks() {
    StockList stocks;
    ConnectionLock lock(*connection_);
    if (!lock) return stocks;
    auto st = lock->prepare(
        "SELECT symbol, marketId, name, stockType, groupId, sequence FROM t_portfolio ORDER BY sequence, id");
    if (!st) return stocks;
    while (st->step() == Statement::StepResult::Row) {
        auto stock = std::make_shared<QZPortfolioStock>(st->columnText(0), static_cast<int>(st->columnInt64(1)));
        stock->setName(st->columnText(2));
        stock->setStockType(static_cast<int>(st->columnInt64(3)));
        stock->setGroup(static_cast<int>(st->columnInt64(4)));
        stock->setOrder(st->columnInt64(5));
        stocks.push_back(std::move(stock));
    }
    return stocks;
}

bool PortfolioDaoImpl::exists(Database& db, const std::string& symbol, int marketId) {
    auto st = db.prepare("SELECT 1 FROM t_portfolio WHERE symbol = ? AND marketId = ? LIMIT 1");
    return st && st->bindText(1, symbol) && st->bindInt64(2, marketId) && st->step() == Statement::StepResult::Row;
}

bool PortfolioDaoImpl::existStockWithSymbol(const std::string& symbol, int marketId) {
    ConnectionLock lock(*connection_);
    return lock && exists(*lock.db(), symbol, marketId);
}

PortfolioDaoImpl::AddResult PortfolioDaoImpl::insert(Database& db, const std::string& symbol, int marketId,
                                                     const std::string& name) {
    if (symbol.empty()) return AddResult::Failed;
    {
        auto st = db.prepare("SELECT 1 FROM t_portfolio WHERE symbol = ? AND marketId = ? LIMIT 1");
        if (!st || !st->bindText(1, symbol) || !st->bindInt64(2, marketId)) return AddResult::Failed;
        auto r = st->step();
        if (r == Statement::StepResult::Error) return AddResult::Failed;
        if (r == Statement::StepResult::Row) return AddResult::Present;
    }
    auto st = db.prepare(
        "INSERT INTO t_portfolio (symbol, marketId, name, stockType, sequence) "
        "VALUES (?, ?, ?, -1, (SELECT ifnull(max(sequence), 0) + 1 FROM t_portfolio))");
    if (!st || !st->bindText(1, symbol) || !st->bindInt64(2, marketId)) return AddResult::Failed;
    bool named = storage_text::characterCount(name) >= 2;
    if (!(named ? st->bindText(3, name) : st->bindNull(3))) return AddResult::Failed;
    return st->run() ? AddResult::Added : AddResult::Failed;
}

bool PortfolioDaoImpl::addStock(const QZPortfolioStock& stock) {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    AddResult r = insert(*lock.db(), stock.symbol(), stock.marketId(), stock.name());
    if (r == AddResult::Added) markChanged(*lock.db());
    return r != AddResult::Failed;
}

bool PortfolioDaoImpl::insertArray(Database& db, const StockList& stocks) {
    for (const auto& stock : stocks) {
        if (!stock || insert(db, stock->symbol(), stock->marketId(), stock->name()) == AddResult::Failed) return false;
    }
    return true;
}

bool PortfolioDaoImpl::addStockArray(const StockList& stocks) {
    if (stocks.empty()) return false;
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Transaction tx(*lock.db());
    if (!tx.isActive() || !insertArray(*lock.db(), stocks) || !tx.commit()) return false;
    markChanged(*lock.db());
    return true;
}

bool PortfolioDaoImpl::deleteStockBySymbol(const std::string& symbol, int marketId) {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    auto st = lock->prepare("DELETE FROM t_portfolio WHERE symbol = ? AND marketId = ?");
    if (!st || !st->bindText(1, symbol) || !st->bindInt64(2, marketId) || !st->run()) return false;
    if (lock->changes() == 0) return false;
    markChanged(*lock.db());
    return true;
}

bool PortfolioDaoImpl::insertStockIds(Database& db, const std::vector<std::string>& stockIds) {
    for (const auto& text : stockIds) {
        auto id = storage_text::parseStockId(storage_text::trim(text));
        if (!id) continue;
        if (insert(db, id->first, id->second, {}) == AddResult::Failed) return false;
    }
    return true;
}

bool PortfolioDaoImpl::moveToDatabaseWithStocks(const std::vector<std::string>& stockIds) {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Transaction tx(*lock.db());
    if (!tx.isActive() || !insertStockIds(*lock.db(), stockIds) || !tx.commit()) return false;
    markChanged(*lock.db());
    return true;
}

bool PortfolioDaoImpl::updateStockNames(const StockList& stocks) {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Transaction tx(*lock.db());
    if (!tx.isActive()) return false;
    for (const auto& stock : stocks) {
        if (!stock || storage_text::characterCount(stock->name()) < 2) continue;
        auto st = lock->prepare("UPDATE t_portfolio SET name = ? WHERE symbol = ? AND marketId = ?");
        if (!st || !st->bindText(1, stock->name()) || !st->bindText(2, stock->symbol()) ||
            !st->bindInt64(3, stock->marketId()) || !st->run())
            return false;
    }
    return tx.commit();
}

bool PortfolioDaoImpl::clear(Database& db) {
    // The row counter of an AUTOINCREMENT table lives in sqlite_sequence.
    return db.exec("DELETE FROM t_portfolio") && db.exec("DELETE FROM sqlite_sequence WHERE name = 't_portfolio'");
}

bool PortfolioDaoImpl::deleteAllPortfolio() {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Transaction tx(*lock.db());
    if (!tx.isActive() || !clear(*lock.db()) || !tx.commit()) return false;
    markChanged(*lock.db());
    return true;
}

bool PortfolioDaoImpl::replaceAllWithStockArray(const StockList& stocks) {
    if (stocks.empty()) return false;
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Transaction tx(*lock.db());
    if (!tx.isActive() || !clear(*lock.db()) || !insertArray(*lock.db(), stocks) || !tx.commit()) return false;
    markChanged(*lock.db());
    return true;
}

bool PortfolioDaoImpl::replaceAllWithStocks(const std::vector<std::string>& stockIds) {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Transaction tx(*lock.db());
    if (!tx.isActive() || !clear(*lock.db()) || !insertStockIds(*lock.db(), stockIds) || !tx.commit()) return false;
    markChanged(*lock.db());
    return true;
}
