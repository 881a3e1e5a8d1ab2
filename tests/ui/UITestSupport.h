#pragma once
// The fixture of the widget tests: a fresh application and window per test
// (tests/support/WindowTest.h); renders are saved with saveScreenshot.
#include <string>

#include "tests/support/WindowTest.h"

class WidgetTest : public WindowTest {};
