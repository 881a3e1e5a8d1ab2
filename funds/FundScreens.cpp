#include "funds/FundScreens.h"

#include "funds/CBTradeViewController.h"
#include "funds/EFTradeViewController.h"
#include "funds/IFICloseViewController.h"
#include "funds/IFIModifyViewController.h"
#include "funds/IFIOpenViewController.h"
#include "funds/IFIOpenedQueryViewController.h"
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
#include "funds/VTAKVRQueryViewController.h"
#include "funds/VTAKVRTradeViewController.h"
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
    registry.addScreenClass("VTAKVRTradeViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<VTAKVRTradeViewController>();
    });
    registry.addScreenClass("VTAKVRQueryViewController", [](const LinkSetup& setup, const auto&) {
        auto list = std::make_shared<VTAKVRQueryViewController>();
        list->setQueryType(setup.value);
        return list;
    });
    registry.addScreenClass("IFIOpenViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<IFIOpenViewController>(); });
    registry.addScreenClass("IFIModifyViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<IFIModifyViewController>(); });
    registry.addScreenClass("IFICloseViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<IFICloseViewController>(); });
    registry.addScreenClass("IFIOpenedQueryViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<IFIOpenedQueryViewController>();
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
