#include "funds/FundScreens.h"

#include "funds/CBTradeViewController.h"
#include "funds/EFTradeViewController.h"
#include "funds/VTAJJBuySaleViewController.h"
#include "funds/VTAJJExchangeViewController.h"
#include "funds/VTAJJFHViewController.h"
#include "funds/VTAJJFinderViewController.h"
#include "funds/VTAJJListController.h"
#include "funds/VTAJJNewAccount.h"
#include "funds/VTAJJQueryViewController.h"
#include "funds/VTAJJRedeemViewController.h"
#include "funds/VTAJLCBuySaleViewController.h"
#include "funds/VTAJLCCPSelectViewController.h"
#include "shell/ScreenRegistry.h"

void registerFundScreens(ScreenRegistry& registry) {
    registry.addScreenClass("VTAJJBuySaleViewController", [](const LinkSetup& setup, const auto&) {
        auto form = std::make_shared<VTAJJBuySaleViewController>();
        form->setTradeType(setup.value);
        return form;
    });
    registry.addScreenClass("VTAJJRedeemViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTAJJRedeemViewController>();
    });
    registry.addScreenClass("VTAJJFinderViewController", [](const LinkSetup& setup, const auto&) {
        auto finder = std::make_shared<VTAJJFinderViewController>();
        finder->setIsFindByName(setup.value != 0);
        return finder;
    });
    registry.addScreenClass("VTAJJQueryViewController", [](const LinkSetup& setup, const auto&) {
        auto hub = std::make_shared<VTAJJQueryViewController>();
        hub->setPageType(setup.value);
        return hub;
    });
    registry.addScreenClass("VTAJJListController", [](const LinkSetup& setup, const auto&) {
        auto list = std::make_shared<VTAJJListController>();
        list->setJjListDataSourceType(setup.value);
        return list;
    });
    registry.addScreenClass("CBTradeViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<CBTradeViewController>(); });
    registry.addScreenClass("EFTradeViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<EFTradeViewController>(); });
    registry.addScreenClass("VTAJLCBuySaleViewController", [](const LinkSetup& setup, const auto&) {
        auto form = std::make_shared<VTAJLCBuySaleViewController>();
        form->setTradeType(setup.value);
        return form;
    });
    registry.addScreenClass("VTAJLCCPSelectViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTAJLCCPSelectViewController>();
    });
    registry.addScreenClass("VTAJJExchangeViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTAJJExchangeViewController>();
    });
    registry.addScreenClass("VTAJJFHViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<VTAJJFHViewController>(); });
    registry.addScreenClass("VTAJJNewAccount",
                            [](const LinkSetup&, const auto&) { return std::make_shared<VTAJJNewAccount>(); });
}
