#pragma once
// One own stock of the portfolio table.
#include <cstdint>
#include <string>

class QZPortfolioStock {
public:
    QZPortfolioStock() = default;
    QZPortfolioStock(std::string symbol, int marketId) : symbol_(std::move(symbol)), marketId_(marketId) {}

    const std::string& symbol() const { return symbol_; }
    void setSymbol(std::string v) { symbol_ = std::move(v); }
    int marketId() const { return marketId_; }
    void setMarketId(int v) { marketId_ = v; }
    // Empty when the name is not known.
    const std::string& name() const { return name_; }
    void setName(std::string v) { name_ = std::move(v); }
    int stockType() const { return stockType_; }
    void setStockType(int v) { stockType_ = v; }
    int group() const { return group_; }
    void setGroup(int v) { group_ = v; }
    // Position in the list (1 for the first stored row); 0 until stored.
    int64_t order() const { return order_; }
    void setOrder(int64_t v) { order_ = v; }

    // "code.market", the form stock ids travel in.
    std::string stockId() const { return symbol_ + "." + std::to_string(marketId_); }

private:
    std::string symbol_;
    int marketId_ = 0;
    std::string name_;
    int stockType_ = -1;
    int group_ = 0;
    int64_t order_ = 0;
};
