#include "sim/SimRegistry.h"

// Every family of functions the simulator answers. A later step adds its line.
void registerAllSimFunctions(SimRegistry& registry) {
    registerSystemFunctions(registry);
    registerQuoteFunctions(registry);
    registerRankingFunctions(registry);
    registerSectorFunctions(registry);
    registerPortfolioFunctions(registry);
    registerMessageFunctions(registry);
    registerNewsFunctions(registry);
    registerTradeFunctions(registry);
    registerInfoRadarFunctions(registry);
    registerF10Functions(registry);
    registerOrderFunctions(registry);
    registerBankFunctions(registry);
    registerQueryFunctions(registry);
    registerAccountFunctions(registry);
    registerNewIssueFunctions(registry);
    registerWarrantFunctions(registry);
    registerMarginFunctions(registry);
    registerFundFunctions(registry);
    registerBondFunctions(registry);
    registerWealthFunctions(registry);
    registerRepoFunctions(registry);
    registerPlanFunctions(registry);
}
