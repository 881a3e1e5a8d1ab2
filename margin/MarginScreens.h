#pragma once
// Margin trading: every screen of this folder is registered here, one line each.
class ScreenRegistry;

void registerMarginScreens(ScreenRegistry& registry);
