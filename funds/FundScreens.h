#pragma once
// Funds and wealth products: every screen of this folder is registered here, one line each.
class ScreenRegistry;

void registerFundScreens(ScreenRegistry& registry);
