#include "charts/ChartScreens.h"

#include "shell/ScreenRegistry.h"

void registerChartScreens(ScreenRegistry& registry) { (void)registry; }
