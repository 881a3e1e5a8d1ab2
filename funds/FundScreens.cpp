#include "funds/FundScreens.h"

#include "shell/ScreenRegistry.h"

void registerFundScreens(ScreenRegistry& registry) { (void)registry; }
