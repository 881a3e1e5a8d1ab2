#pragma once
// "加入自选" of the older quote screens: adds a stock to the own-stock table,
// so it shows in the portfolio at once (the table keeps the older settings
// list "your stocks" of "code.market" texts in step). The screen shows `message`
// with showAlert, and when `needsServerAdd` is set also sends the addition
// to the own-stock service (own stocks live on the server).
#include <optional>
#include <string>

class PortfolioDao;

struct AddMyStockResult {
    bool added = false;           // YES only when the stock was added now
    std::string message;          // the alert text
    bool needsServerAdd = false;  // added, and "SaveMyStockInServer" is on
};

// Texts: "非法股票代码！" (no code, or a code not of 5 or 6 characters),
// "<name>(<code>.<market>),已经存在！" (already an own stock),
// "<name>(<code>.<market>),添加成功！", and "<name>(<code>.<market>),添加失败！"
// when the database refuses (nothing is written then).
AddMyStockResult addMyStock(const std::optional<std::string>& name, const std::optional<std::string>& code,
                            int marketId);
// The same on a given own-stock table (DaoFactory::sharedInstance()'s above).
AddMyStockResult addMyStock(const std::optional<std::string>& name, const std::optional<std::string>& code,
                            int marketId, PortfolioDao& portfolio);
