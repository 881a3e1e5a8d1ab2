#include "quotes/QuoteScreens.h"

#include "quotes/MarketQuotationSortViewController.h"
#include "quotes/VTABKTableViewController.h"
#include "quotes/VTAZSViewController.h"
#include "shell/ScreenRegistry.h"

void registerQuoteScreens(ScreenRegistry& registry) {
    registry.addScreenClass("MarketQuotationSortViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<MarketQuotationSortViewController>();
    });
    registry.addScreenClass("VTAZSViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<VTAZSViewController>(); });
    registry.addScreenClass("VTABKTableViewController", [](const LinkSetup& setup, const auto&) {
        return std::make_shared<VTABKTableViewController>(setup.value);
    });
}
