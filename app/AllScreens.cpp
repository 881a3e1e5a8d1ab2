#include "app/AllScreens.h"

#include "charts/ChartScreens.h"
#include "funds/FundScreens.h"
#include "margin/MarginScreens.h"
#include "messages/MessageScreens.h"
#include "quotes/QuoteScreens.h"
#include "shell/ScreenRegistry.h"
#include "trade/TradeScreens.h"

void registerAllScreens(ScreenRegistry& registry) {
    registerShellScreens(registry);
    registerChartScreens(registry);
    registerMessageScreens(registry);
    registerQuoteScreens(registry);
    registerTradeScreens(registry);
    registerFundScreens(registry);
    registerMarginScreens(registry);
}
