#include "margin/MarginScreens.h"

#include "shell/ScreenRegistry.h"

void registerMarginScreens(ScreenRegistry& registry) { (void)registry; }
