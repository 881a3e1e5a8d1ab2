#include "margin/MarginScreens.h"

#include "margin/MarginAutoRepaymentViewController.h"
#include "margin/MarginCreditQueries.h"
#include "margin/MarginStockLists.h"
#include "margin/MarginTradeViewController.h"
#include "margin/VTADBPTransferCodeViewController.h"
#include "margin/VTARZRQDBPHZSelectViewController.h"
#include "margin/VTARZRQTradeViewController.h"
#include "margin/VTARZRQXJHKViewController.h"
#include "shell/ScreenRegistry.h"

namespace {

template <class Screen>
void addPlain(ScreenRegistry& registry, const char* className) {
    registry.addScreenClass(className, [](const LinkSetup&, const auto&) { return std::make_shared<Screen>(); });
}

}  // namespace

void registerMarginScreens(ScreenRegistry& registry) {
    // "rzrq_rzmr": the order screen of the system's generation; the credit
    // flag gives the direction (the newer screen) or the side (the older form).
    registry.addScreenClass("MarginTradeViewController", [](const LinkSetup& setup, const auto&) {
        return MarginTradeViewController::initWithTradeDirection(setup.value);
    });
    registry.addScreenClass("VTARZRQTradeViewController", [](const LinkSetup& setup, const auto&) {
        return VTARZRQTradeViewController::initWithTradeSide(setup.textValue);
    });
    addPlain<VTARZRQMQHKSelectedViewController>(registry, "VTARZRQMQHKSelectedViewController");
    addPlain<VTARZRQBuyBackQueryViewController>(registry, "VTARZRQBuyBackQueryViewController");
    addPlain<VTARZRQXQHQQueryViewController>(registry, "VTARZRQXQHQQueryViewController");
    addPlain<VTARZRQXJHKViewController>(registry, "VTARZRQXJHKViewController");
    addPlain<VTARZRQDBPHZSelectViewController>(registry, "VTARZRQDBPHZSelectViewController");
    addPlain<VTADBPTransferCodeViewController>(registry, "VTADBPTransferCodeViewController");
    addPlain<VTARZRQXYSXSelectViewController>(registry, "VTARZRQXYSXSelectViewController");
    addPlain<VTARZRQXYZCSelectViewController>(registry, "VTARZRQXYZCSelectViewController");
    addPlain<MarginAutoRepaymentViewController>(registry, "MarginAutoRepaymentViewController");
}
