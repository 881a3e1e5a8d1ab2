#pragma once
// One-button alerts of the screens.
#include <memory>
#include <string>

class UIAlertView;

// A modal alert with the title and message (either may be empty), the single
// button "确定" and no delegate. Returns the alert shown.
std::shared_ptr<UIAlertView> showAlert(const std::string& title, const std::string& message = "");
