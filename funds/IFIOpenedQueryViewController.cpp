#include "funds/IFIOpenedQueryViewController.h"

#include "core/VTATCRS.h"
#include "funds/IFICloseViewController.h"
#include "funds/IFIModifyViewController.h"
#include "shell/Navigation.h"

IFIOpenedQueryViewController::IFIOpenedQueryViewController() { bindListTag(kOpenedPlansTag); }

void IFIOpenedQueryViewController::viewWillDidLoad() {
    VTATradeQueryViewController::viewWillDidLoad();
    T_pageSize = kOpenedPlansCount;  // a first page shorter than this is the last
}

void IFIOpenedQueryViewController::requestTradeInfo() {
    if (!viewMenu()) return;
    if (cursorStack().empty())
        sendListRequest(planListRequest(), 4, kOpenedPlansTag);
    else
        VTATradeQueryViewController::requestTradeInfo();
}

void IFIOpenedQueryViewController::createToolbarItems() {
    auto item = [this](const char* title, void (IFIOpenedQueryViewController::*action)()) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [this, action](UIBarButtonItem&) { (this->*action)(); });
    };
    toolbar()->setItems({item("首页", &IFIOpenedQueryViewController::onCommandHome), flexibleSpaceBarBtn(),
                         item("修改", &IFIOpenedQueryViewController::modifyAction), flexibleSpaceBarBtn(),
                         item("终止", &IFIOpenedQueryViewController::closeAction), flexibleSpaceBarBtn(),
                         item("刷新", &IFIOpenedQueryViewController::refreshAction)});
}

void IFIOpenedQueryViewController::modifyAction() {
    VTATCRS* record = selectedRecord();
    if (!record) return;
    auto form = std::make_shared<IFIModifyViewController>();
    form->setFundInfo(IFIFundInfo::fromRecord(*record));
    form->setViewMenu(viewMenu());
    form->setTitle("修改智能定投");
    ::pushViewController(form);
}

void IFIOpenedQueryViewController::closeAction() {
    auto list = std::make_shared<IFICloseViewController>();
    list->setViewMenu(viewMenu());
    list->setTitle("终止智能定投");
    ::pushViewController(list);
}
