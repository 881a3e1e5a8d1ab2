#include "charts/ChartScreens.h"

#include "shell/ScreenRegistry.h"

// The one screen of this folder, the past day's intraday chart, opens from the
// K-line views (viewForHistory), not from a menu link.
void registerChartScreens(ScreenRegistry& registry) { (void)registry; }
