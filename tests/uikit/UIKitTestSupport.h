#pragma once
// The fixture of the view tests: see tests/support/WindowTest.h.
#include "tests/support/WindowTest.h"

using UIKitTest = WindowTest;
