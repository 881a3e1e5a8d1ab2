#pragma once
// The quote charts: every screen of this folder is registered here, one line each.
class ScreenRegistry;

void registerChartScreens(ScreenRegistry& registry);
