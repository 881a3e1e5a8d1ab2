#pragma once
// Every screen of the client, registered in the one registry: the shell's and
// each screen folder's. The client's main and every test fixture that
// launches the client call it once (a test's teardown resets the registry).
class ScreenRegistry;

void registerAllScreens(ScreenRegistry& registry);
