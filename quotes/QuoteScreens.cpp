#include "quotes/QuoteScreens.h"

#include "quotes/MarketQuotationSortViewController.h"
#include "shell/ScreenRegistry.h"

void registerQuoteScreens(ScreenRegistry& registry) {
    registry.addScreenClass("MarketQuotationSortViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<MarketQuotationSortViewController>();
    });
}
