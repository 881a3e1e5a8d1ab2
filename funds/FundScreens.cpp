#include "funds/FundScreens.h"

#include "funds/VTAJJBuySaleViewController.h"
#include "funds/VTAJJRedeemViewController.h"
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
}
