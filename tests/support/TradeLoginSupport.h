#pragma once
// Logs a customer of the simulator's books in to trading through the real
// login road: a trade login screen (VTATradeLoginViewController) is pushed on
// the application's navigation stack, its form filled in (branch, type,
// account, password; the soft token's code when the phone holds one for the
// account), "确定" pressed, and the 500/1 reply awaited; the login then stores
// the trade session, logs the account on among the run's accounts, starts the
// idle trade lock (when the application is an IdleTimeCheck) and goes back.
// Needs the application's navigation stack, a frozen Clock and a live service
// session to the simulator (ScreensTest::startSimulator, or a launched client).
//
//   ASSERT_TRUE(logInToTrade());                  // customer A, password alone
//   ASSERT_TRUE(logInToTrade(kTradeCustomerC));   // another account of the run
//
// Customer B has a soft token on the server: it logs in only once the phone
// enrolled through the soft-token page (a refused login answers false and
// leaves the alert for the test to read).
#include <string>

#include "core/VTAAccountManager.h"
#include "core/VTAParamter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIAlertView.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "tests/support/Waiting.h"
#include "trade/TradeAccountTypes.h"
#include "trade/VTATradeLoginViewController.h"

struct TradeCustomer {
    std::string account;  // as the customer types it
    std::string branch;
    std::string branchName;
    std::string password;
    std::string type = "Z";
    std::string fundId;  // the fund account the brokerage answers
};

inline const TradeCustomer kTradeCustomerA{"10001234", "0101", "第一营业部", "123456", "Z", "010110001234"};
inline const TradeCustomer kTradeCustomerB{"10005678", "0101", "第一营业部", "123456", "Z", "010110005678"};
inline const TradeCustomer kTradeCustomerC{"10009999", "0102", "第二营业部", "123456", "Z", "010210009999"};

// Answers whether the customer is now the trading account (a new session).
inline bool logInToTrade(const TradeCustomer& who = kTradeCustomerA) {
    auto login = std::make_shared<VTATradeLoginViewController>();
    if (!pushViewController(login)) return false;
    RunLoop::main().runFor(1, kHangSeconds);
    login->setBranch(who.branch, who.branchName);
    login->selectAccountType(tradeAccountTypeRow(who.type));
    login->accountField()->setText(who.account);
    login->checkTheAccount();
    login->passwordField()->setText(who.password);
    const std::string before = VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or("");
    login->onCommandOK();
    auto sessionChanged = [&] {
        std::string now = VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or("");
        return !now.empty() && now != before;
    };
    waitUntil([&] { return sessionChanged() || UIAlertView::topAlert() != nullptr; }, 60);
    RunLoop::main().runFor(1, kHangSeconds);
    auto selected = VTAAccountManager::tradeAccountManager().selectedAccount();
    return sessionChanged() && hasTradeSession() && selected && selected->isLogon() &&
           selected->zjzhAcc() == who.fundId;
}
