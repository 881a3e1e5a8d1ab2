#include "ui/Alerts.h"

#include "platform/uikit/UIAlertView.h"

std::shared_ptr<UIAlertView> showAlert(const std::string& title, const std::string& message) {
    auto alert =
        std::make_shared<UIAlertView>(title, message, nullptr, std::string("确定"), std::vector<std::string>{});
    alert->show();
    return alert;
}
