#pragma once
// The toolbar of the older margin screens: "首页", the stock finder and
// "确定" (the screen's onCommandOK), or a first button of the screen's own in
// place of "首页".
#include <functional>
#include <string>

class VTAViewControllers;

void setMarginToolbar(VTAViewControllers& screen);
void setMarginToolbar(VTAViewControllers& screen, const std::string& firstTitle, std::function<void()> firstAction);
