#pragma once
// What the own-stock screens share about the own-stock table and its flags:
// where own stocks live (the setting "SaveMyStockInServer": on the server as
// well as in the table), whether the server's list was fetched since the
// application started or came back ("IsDownloadPortfolio", platform user
// defaults), the stocks with fresh news ("CachedPortfolioInfoRadarArray"), the
// list texts the server speaks ("code.market" ids joined by "|"), and the one
// way a whole list goes into the table: emptied and refilled as one change,
// so a failure leaves the old list.
#include <optional>
#include <string>
#include <vector>

#include "core/storage/PortfolioDao.h"

inline constexpr const char* kIsDownloadPortfolioKey = "IsDownloadPortfolio";
inline constexpr const char* kPortfolioRadarKey = "CachedPortfolioInfoRadarArray";

PortfolioDao& portfolioTable();

bool ownStocksLiveOnServer();
void setOwnStocksLiveOnServer();
bool isPortfolioDownloaded();
void setPortfolioDownloaded();

// "code.market" of each stock, joined by the separator.
std::string joinStockIds(const PortfolioDao::StockList& stocks, const std::string& separator);
// The ids of a list text, in order (empty parts passed over); nullopt when a
// part is no stock id, so a garbled answer changes nothing.
std::optional<std::vector<std::string>> stockIdsOfListText(const std::string& text);

// Replaces the table's list as one change (an empty list empties it); the
// stocks keep their names.
bool replacePortfolio(const PortfolioDao::StockList& stocks);
bool replacePortfolio(const std::vector<std::string>& stockIds);

// The stocks with fresh news, as "code.market" ids.
std::vector<std::string> portfolioRadarStocks();
void setPortfolioRadarStocks(const std::vector<std::string>& stockIds);
