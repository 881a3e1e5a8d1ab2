// The shell's own entries of the dispatcher. Links of the menu the server
// sends (and of the settings and customer-service screens):
//   "setting"          settings                  "about"            about
//   "disclaimer"       disclaimer                "feedback"         feedback (100/17)
//   "customerservice"  customer service          "invite"           invitation by SMS
//   "update"           software update           "webpage?url=..."  in-app web page
//   "newsmenu?..."     a list whose rows the server sends for the link's query
#include "core/VTAMenu.h"
#include "shell/ClientIdentity.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTAAboutText.h"
#include "shell/VTACustomerServiceViewController.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/VTAFeedbackViewController.h"
#include "shell/VTAInviteViewController.h"
#include "shell/VTAListViewController.h"
#include "shell/VTASettingViewController.h"
#include "shell/VTATextPageViewController.h"
#include "shell/VTAUpdateViewController.h"
#include "shell/VTAWebViewController.h"

void registerShellScreens(ScreenRegistry& registry) {
    registry.addScreen("setting", [](const auto&) { return std::make_shared<VTASettingViewController>(); });
    registry.addScreen(
        "about", [](const auto&) { return std::make_shared<VTATextPageViewController>(kClientName, aboutText()); });
    registry.addScreen("disclaimer", [](const auto&) { return std::make_shared<VTADisclaimerViewController>(); });
    registry.addScreen("feedback", [](const auto&) { return std::make_shared<VTAFeedbackViewController>(); });
    registry.addScreen("customerservice",
                       [](const auto&) { return std::make_shared<VTACustomerServiceViewController>(); });
    registry.addScreen("invite", [](const auto&) { return std::make_shared<VTAInviteViewController>(); });
    registry.addScreen("update", [](const auto&) { return std::make_shared<VTAUpdateViewController>(); });
    registry.addScreen("webpage", [](const auto&) { return std::make_shared<VTAWebViewController>(); });
    registry.addScreen("newsmenu", [](const auto&) {
        auto list = std::make_shared<VTAListViewController>();
        list->setListType(VTAListViewController::kServerList);
        return list;
    });
}
