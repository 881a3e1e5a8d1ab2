#include "funds/VTAKVRQueryViewController.h"

#include "core/MenuFunctions.h"
#include "core/Utilities.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/RepoContract.h"
#include "funds/FundForm.h"
#include "funds/RepoRules.h"
#include "platform/uikit/UIAlertView.h"
#include "shell/Navigation.h"
#include "shell/VTAMenuScreen.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"

namespace Col = RepoContract::Col;

namespace {
std::string textOf(const VTATCRS& set, const char* field) { return set.toStringWithFieldName(field).value_or(""); }
}  // namespace

VTAKVRQueryViewController::VTAKVRQueryViewController() {
    bindRequest(kEndTag, [this](const RequestReply& r) { endReplied(r); }, {.order = true, .handlesErrorSet = true});
}

VTAKVRQueryViewController::~VTAKVRQueryViewController() {
    if (endSheet_) endSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

void VTAKVRQueryViewController::viewWillDisappear(bool animated) {
    VTATradeQueryViewController::viewWillDisappear(animated);
    ending_ = false;  // leaving cancels it; the customer is told to look it up
}

void VTAKVRQueryViewController::createToolbarItems() {
    auto item = [this](const char* title, void (VTAKVRQueryViewController::*action)()) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [this, action](UIBarButtonItem&) { (this->*action)(); });
    };
    auto home = item("首页", &VTAKVRQueryViewController::onCommandHome);
    if (queryType_ == 0)
        toolbar()->setItems({home, flexibleSpaceBarBtn(), item("提前终止", &VTAKVRQueryViewController::endAction),
                             flexibleSpaceBarBtn(), item("买入", &VTAKVRQueryViewController::onCommandOK)});
    else
        toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(),
                             item("确定", &VTAKVRQueryViewController::onCommandOK)});
}

void VTAKVRQueryViewController::onCommandOK() {
    if (queryType_ == 0)
        buyAction();
    else
        askToEnd();
}

std::shared_ptr<UIViewController> VTAKVRQueryViewController::siblingScreen(const std::string& command) const {
    auto menu = viewMenu();
    if (!menu) return nullptr;
    auto siblings = menusWithLink(command, menu->m_pid());
    if (!siblings || siblings->empty()) return nullptr;
    return VTAUIFactory::viewControllerWithMenu(siblings->front());
}

void VTAKVRQueryViewController::buyAction() {
    VTATCRS* record = selectedRecord();
    if (!record) return;  // no product to hand over
    const auto stock = std::make_shared<VTAStock>(textOf(*record, Col::kCode), textOf(*record, Col::kName),
                                                  intValueOfText(textOf(*record, Col::kMarket)));
    auto screen = siblingScreen(kBuyCommand);
    auto buy = std::dynamic_pointer_cast<VTAMenuScreen>(screen);
    if (!buy) return;
    buy->setViewMessage(VTAMessage::messageWithSender(sharedController(), stock, 1));
    ::pushViewController(screen);
}

void VTAKVRQueryViewController::endAction() {
    if (auto screen = siblingScreen(kEndCommand)) ::pushViewController(screen);
}

void VTAKVRQueryViewController::askToEnd() {
    if (ending_ || !tableData_ || tableData_->isError() || tableData_->rowsAffected() == 0) return;
    VTATCRS* record = selectedRecord();
    if (!record) return;
    const int market = intValueOfText(textOf(*record, Col::kMarket));
    const std::string secuid = repoSecuIdOfMarket(market);
    if (secuid.empty()) {
        showAlert(kRepoNoAccountText);
        return;
    }
    const std::string name = textOf(*record, Col::kName), code = textOf(*record, Col::kCode);
    const std::string quantity = textOf(*record, Col::kQuantity);
    RequestBuilder request = repoEndRequest(market, secuid, code, quantity, textOf(*record, Col::kMatchDate),
                                            textOf(*record, Col::kMatchCode));
    if (request.refused()) {
        showAlert(request.refusal());
        return;
    }
    // The deal confirmed is the deal ended, whatever the list shows meanwhile.
    endRequest_ = request.text();
    if (endSheet_) endSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    endSheet_ = std::make_shared<UIActionSheet>(repoEndSummary(name, code, quantity), nullptr, std::string("取消"),
                                                std::nullopt, std::vector<std::string>{"确定"});
    endSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    endSheet_->showInView(view().get());
}

void VTAKVRQueryViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != endSheet_.get()) {
        VTATradeQueryViewController::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
        return;
    }
    if (buttonIndex != 0 || ending_ || endRequest_.empty()) return;
    ending_ = sendRequest(kEndTag, endRequest_, 4);
}

void VTAKVRQueryViewController::endReplied(const RequestReply& reply) {
    ending_ = false;
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(FundForm::kUnknownOutcomeText);
        return;
    }
    if (set->isError()) {
        showAlert(set->getError());
        return;
    }
    acceptedAlert_ = alertWithDelegate(kEndAcceptedText, FundForm::kSuccessAlertTag);
}

void VTAKVRQueryViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (&alert == acceptedAlert_.get())
        popViewControllers(1);
    else
        VTATradeQueryViewController::alertViewClickedButtonAtIndex(alert, buttonIndex);
}

void VTAKVRQueryViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kEndTag) {
        ending_ = false;
        if (failure.kind == RequestFailure::Kind::Unreadable) {
            showAlert(FundForm::kUnknownOutcomeText);
            return;
        }
    }
    VTATradeQueryViewController::requestDidFail(failure);
}
