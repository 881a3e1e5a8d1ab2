#pragma once
// The trade session of the running client: the session values the trade
// login writes into VTAParamter ("tradeUserInfo", "tradeUserTCRS",
// "tradeUserAllTCRS", "tradepassword"), and the lock that ends it.
#include <memory>
#include <string>

class UIAlertView;

// The session values (VTAParamter) of the trade session, and the fund
// screens' cached sets that belong to it.
namespace TradeSessionKey {
inline constexpr const char* kInfo = "tradeUserInfo";             // the session text every trade request carries
inline constexpr const char* kCustomer = "tradeUserTCRS";         // the customer record set
inline constexpr const char* kShareholders = "tradeUserAllTCRS";  // the shareholder accounts
inline constexpr const char* kPassword = "tradepassword";         // in memory only
inline constexpr const char* kFunds = "the funds you have";       // fund screens' cache
inline constexpr const char* kFundTypes = "the types forFunds";   // fund screens' cache
}  // namespace TradeSessionKey

// "tradeUserInfo" is a non-empty text and "tradeUserTCRS" holds a record.
bool hasTradeSession();
// Removes the four trade session values and the fund screens' caches.
void clearTradeSession();
// Removes the fund screens' caches only (another account is about to trade).
void clearFundCaches();

// Ends the trade session without a word: removes the trade session values
// (and the fund screens' cached session sets "the funds you have", "the types
// forFunds"), logs out the accounts logged in during the run (stock and Hong
// Kong trade), stops the idle trade lock and takes the trade screens off the
// navigation stack (back to the screen below the lowest one). Answers whether
// there was a session or a logged-in account to end. The next trade link goes
// through the trade login again.
bool endTradeSession();

// What the idle trade lock does: ends the trade session and tells the
// customer. Answers the alert shown (null when there was no session to lock
// and nothing was shown).
std::shared_ptr<UIAlertView> lockTradeSession();

inline constexpr const char* kTradeLockedText = "您长时间未操作，交易已退出，请重新登录";

// The idle trade lock's interval in minutes, kept in the platform user
// default "TradeLockInterval". The one reader for the settings screen and the
// idle lock alike: kDefaultTradeLockMinutes when absent or not positive, at
// most kMaxTradeLockMinutes (a day).
inline constexpr const char* kTradeLockIntervalKey = "TradeLockInterval";
inline constexpr int kDefaultTradeLockMinutes = 10;
inline constexpr int kMaxTradeLockMinutes = 24 * 60;
int tradeLockIntervalMinutes();
void setTradeLockIntervalMinutes(int minutes);
