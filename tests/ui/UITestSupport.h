#pragma once
// The fixture of the widget tests: a fresh application and window per test
// (tests/support/WindowTest.h); renders go to /tmp/toolkit-NAME.png.
#include <string>

#include "tests/support/WindowTest.h"

class WidgetTest : public WindowTest {
protected:
    static void saveRender(UIView& v, const std::string& name) { WindowTest::saveRender(v, "toolkit", name); }
};
