#include "trade/TradeScreens.h"

#include "shell/ScreenRegistry.h"
#include "trade/AccountTransferViewController.h"
#include "trade/GTPAccountBalance.h"
#include "trade/GTPAccountQueryViewController.h"
#include "trade/GTPStockBankTransactionVC.h"
#include "trade/GTPTransferAllViewController.h"
#include "trade/TradeViewController.h"
#include "trade/VTAActAccViewController.h"
#include "trade/VTABankInquiryController.h"
#include "trade/VTAHistoryViewController.h"
#include "trade/VTAResignPasswordController.h"
#include "trade/VTASJLPViewController.h"
#include "trade/VTATradeCancelViewController.h"
#include "trade/VTATradeController.h"
#include "trade/VTATradeLoginViewController.h"
#include "trade/VTATradeQueryViewController.h"
#include "trade/VTATransferController.h"
#include "trade/VTATransferQueryViewController.h"
#include "trade/VTAWarrant.h"
#include "trade/VTAXGTableViewController.h"

void registerTradeScreens(ScreenRegistry& registry) {
    // The trade gate's login holds the wanted item; the relate links
    // ("tradelogin?relate=1[&mcjg=1]") set its relate mode the same way.
    registry.setTradeLogin([](const std::shared_ptr<VTAMenu>& pending) {
        auto login = std::make_shared<VTATradeLoginViewController>();
        if (pending) login->setViewMenu(pending);
        return login;
    });
    registry.setAccountsPager([](bool hkAccounts) { return VTAActAccViewController::initWithHKAccount(hkAccounts); });
    // "buysale": the order screen of the system's generation, the direction as the set-up value.
    registry.addScreenClass("TradeViewController", [](const LinkSetup& setup, const auto&) {
        return TradeViewController::initWithTradeDirection(setup.value);
    });
    registry.addScreenClass("VTATradeController", [](const LinkSetup& setup, const auto&) {
        return VTATradeController::initWithType(setup.value);
    });
    registry.addScreen("softtoken", [](const auto&) { return std::make_shared<VTASJLPViewController>(); });
    // Bank transfers: "banktransfer" is direction 2 when titled "证券转银行" (the link table says so).
    registry.addScreenClass("VTATransferController", [](const LinkSetup& setup, const auto&) {
        return VTATransferController::initWithDirection(setup.value);
    });
    registry.addScreenClass("VTABankInquiryController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<VTABankInquiryController>(); });
    registry.addScreenClass("VTATransferQueryViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTATransferQueryViewController>();
    });
    registry.addScreenClass("GTPStockBankTransactionVC", [](const LinkSetup&, const auto&) {
        return std::make_shared<GTPStockBankTransactionVC>();
    });
    registry.addScreenClass("GTPAccountBalance",
                            [](const LinkSetup&, const auto&) { return std::make_shared<GTPAccountBalance>(); });
    registry.addScreenClass("AccountTransferViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<AccountTransferViewController>();
    });
    registry.addScreenClass("GTPTransferAllViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<GTPTransferAllViewController>();
    });
    registry.addScreenClass("GTPAccountQueryViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<GTPAccountQueryViewController>();
    });
    // "tradequery", "trade_zjcx", "trade_gfcx": the query list, as its menu link says.
    registry.addScreenClass("VTATradeQueryViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTATradeQueryViewController>();
    });
    registry.addScreenClass("VTATradeCancelViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTATradeCancelViewController>();
    });
    registry.addScreenClass("VTAResignPasswordController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTAResignPasswordController>();
    });
    registry.addScreenClass("VTAXGTableViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<VTAXGTableViewController>(); });
    registry.addScreenClass("VTAWarrant", [](const LinkSetup&, const auto&) { return std::make_shared<VTAWarrant>(); });
    registry.addScreenClass("VTAHistoryViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<VTAHistoryViewController>(); });
}
