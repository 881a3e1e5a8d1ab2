#pragma once
// Pushed messages and news: every screen of this folder is registered here, one line each.
class ScreenRegistry;

void registerMessageScreens(ScreenRegistry& registry);
