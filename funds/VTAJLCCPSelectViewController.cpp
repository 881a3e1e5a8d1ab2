#include "funds/VTAJLCCPSelectViewController.h"

#include "core/MenuFunctions.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "shell/Navigation.h"
#include "shell/VTAMenuScreen.h"
#include "shell/VTAUIFactory.h"

void VTAJLCCPSelectViewController::createToolbarItems() {
    auto item = [this](const char* title, void (VTAJLCCPSelectViewController::*action)()) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Plain, this,
                                                 [this, action](UIBarButtonItem&) { (this->*action)(); });
    };
    toolbar()->setItems({item("首页", &VTAJLCCPSelectViewController::onCommandHome), flexibleSpaceBarBtn(),
                         item("申购", &VTAJLCCPSelectViewController::sgAction), flexibleSpaceBarBtn(),
                         item("认购", &VTAJLCCPSelectViewController::rgAction)});
}

void VTAJLCCPSelectViewController::sgAction() { openForm("jlcsg"); }

void VTAJLCCPSelectViewController::rgAction() { openForm("jlcrg"); }

void VTAJLCCPSelectViewController::openForm(const std::string& link) {
    auto own = viewMenu();
    if (!own) return;
    auto group = menusWithLink("collist", own->m_pid());
    if (!group || group->empty()) return;
    auto forms = menusWithLink(link, group->front()->m_id());
    if (!forms || forms->empty()) return;
    VTATCRS* plan = selectedRecord();
    if (!plan) return;  // an empty list hands over no plan
    const std::string code = plan->toStringWithFieldName(FundContract::Col::kFundCode).value_or("");
    if (code.empty()) return;
    auto form = VTAUIFactory::viewControllerWithMenu(forms->front());
    if (!form) return;
    auto stock =
        std::make_shared<VTAStock>(code, plan->toStringWithFieldName(FundContract::Col::kFundName).value_or(""), 0);
    auto screen = std::dynamic_pointer_cast<VTAMenuScreen>(form);
    if (!screen) return;
    screen->setViewMessage(VTAMessage::messageWithSender(static_cast<UIViewController*>(this), stock, 1));
    pushViewController(form);
}
