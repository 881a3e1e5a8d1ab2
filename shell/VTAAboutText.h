#pragma once
// The text of the about screen.
#include <string>

std::string aboutText();
