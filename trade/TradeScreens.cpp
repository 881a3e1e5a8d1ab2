#include "trade/TradeScreens.h"

#include "shell/ScreenRegistry.h"
#include "trade/TradeViewController.h"
#include "trade/VTAActAccViewController.h"
#include "trade/VTASJLPViewController.h"
#include "trade/VTATradeController.h"
#include "trade/VTATradeLoginViewController.h"

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
}
