#include "quotes/QuoteScreens.h"

#include "quotes/MarketQuotationSortViewController.h"
#include "quotes/PortfolioViewController.h"
#include "quotes/StockQuotesViewController.h"
#include "quotes/VTABKTableViewController.h"
#include "quotes/VTAHQViewController.h"
#include "quotes/VTAZSViewController.h"
#include "shell/ScreenRegistry.h"

void registerQuoteScreens(ScreenRegistry& registry) {
    registry.addScreenClass("PortfolioViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<PortfolioViewController>(); });
    registry.addScreenClass("MarketQuotationSortViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<MarketQuotationSortViewController>();
    });
    registry.addScreenClass("VTAZSViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<VTAZSViewController>(); });
    registry.addScreenClass("VTAHQViewController", [](const LinkSetup& setup, const auto&) {
        auto screen = std::make_shared<VTAHQViewController>();
        screen->setChartType(setup.value);
        return screen;
    });
    registry.addScreenClass("VTABKTableViewController", [](const LinkSetup& setup, const auto&) {
        return std::make_shared<VTABKTableViewController>(setup.value);
    });
    // The stock finder and the in-app page open one stock (no arrows); the
    // own stocks and the ranking step through their list, even a list of one.
    registry.setStockPage(
        [](const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) -> std::shared_ptr<UIViewController> {
            if (stocks.size() == 1) return std::make_shared<StockQuotesViewController>(stocks.front());
            return std::make_shared<StockQuotesViewController>(stocks, index);
        });
    registry.setStockListPage(
        [](const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) -> std::shared_ptr<UIViewController> {
            return std::make_shared<StockQuotesViewController>(stocks, index);
        });
}
