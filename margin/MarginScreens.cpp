#include "margin/MarginScreens.h"

#include "margin/MarginTradeViewController.h"
#include "margin/VTARZRQTradeViewController.h"
#include "shell/ScreenRegistry.h"

void registerMarginScreens(ScreenRegistry& registry) {
    // "rzrq_rzmr": the order screen of the system's generation; the credit
    // flag gives the direction (the newer screen) or the side (the older form).
    registry.addScreenClass("MarginTradeViewController", [](const LinkSetup& setup, const auto&) {
        return MarginTradeViewController::initWithTradeDirection(setup.value);
    });
    registry.addScreenClass("VTARZRQTradeViewController", [](const LinkSetup& setup, const auto&) {
        return VTARZRQTradeViewController::initWithTradeSide(setup.textValue);
    });
}
