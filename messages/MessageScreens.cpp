#include "messages/MessageScreens.h"

#include "shell/ScreenRegistry.h"

void registerMessageScreens(ScreenRegistry& registry) { (void)registry; }
