#pragma once
// Stock trading and transfers: every screen of this folder is registered here, one line each.
class ScreenRegistry;

void registerTradeScreens(ScreenRegistry& registry);
