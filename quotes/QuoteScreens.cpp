#include "quotes/QuoteScreens.h"

#include "shell/ScreenRegistry.h"

void registerQuoteScreens(ScreenRegistry& registry) { (void)registry; }
