#pragma once
// Market quotes and the own-stock portfolio: every screen of this folder is registered here, one line each.
class ScreenRegistry;

void registerQuoteScreens(ScreenRegistry& registry);
