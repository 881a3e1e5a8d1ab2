#include "trade/TradeScreens.h"

#include "shell/ScreenRegistry.h"

void registerTradeScreens(ScreenRegistry& registry) { (void)registry; }
