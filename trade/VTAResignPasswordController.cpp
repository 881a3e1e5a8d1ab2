#include "trade/VTAResignPasswordController.h"

#include <climits>

#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "trade/TradeFormViews.h"
#include "trade/TradeLogin.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace {

using namespace TradeQueryContract;

std::shared_ptr<VTATextField> passwordField(int length, const char* placeholder) {
    auto field = std::make_shared<VTATextField>(CGRectMake(0, 0, 180, 30), length, placeholder, 4);
    field->setSecureTextEntry(true);
    field->setFont(defaultFont());
    return field;
}

}  // namespace

VTAResignPasswordController::VTAResignPasswordController() {
    oldPwd_ = passwordField(INT_MAX, "请输入当前密码");
    newPwd_ = passwordField(6, "请输入新密码");
    signPwd_ = passwordField(6, "请确认新密码");
    for (auto* f : {oldPwd_.get(), newPwd_.get(), signPwd_.get()}) f->setFieldDelegate(this);
    bindRequest(kPasswordTag, [this](const RequestReply& reply) { passwordChanged(reply); },
                {.order = true, .unknownOutcomeText = kUnknownOutcomeText});
}

VTAResignPasswordController::~VTAResignPasswordController() {
    for (auto* f : {oldPwd_.get(), newPwd_.get(), signPwd_.get()}) f->setFieldDelegate(nullptr);
}

void VTAResignPasswordController::viewWillDidLoad() {
    CGRect b = contentView()->bounds();
    table_ = std::make_shared<UITableView>(b, UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    auto footer = std::make_shared<UILabel>(CGRectMake(0, 0, b.size.width, 20));
    footer->setText("只能修改为6位数字密码");
    footer->setTextColor(UIColor::grayColor());
    footer->setTextAlignment(UITextAlignment::Center);
    footer->setFont(UIFont::systemFontOfSize(15));
    footer->setBackgroundColor(UIColor::clearColor());
    table_->setTableFooterView(footer);
    contentView()->addSubview(table_);
    keepToolbarAboveKeyboard();
}

void VTAResignPasswordController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto ok = std::make_shared<UIBarButtonItem>("确定", UIBarButtonItemStyle::Bordered, this,
                                                [this](UIBarButtonItem&) { onCommandOK(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), ok});
}

std::shared_ptr<UITableViewCell> VTAResignPasswordController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                             const NSIndexPath& ip) {
    switch (ip.row) {
        case 0:
            return tradeFormCell("原 密 码：", oldPwd_, false);
        case 1:
            return tradeFormCell("新 密 码：", newPwd_, false);
        default:
            return tradeFormCell("确认新密码：", signPwd_, false);
    }
}

int VTAResignPasswordController::subFunction() const {
    auto menu = viewMenu();
    const std::string value = menu ? queryValue(menu->link(), "tc_sfuncno").value_or("") : "";
    return value.empty() ? kDefaultSubFunction : intValueOfText(value);
}

void VTAResignPasswordController::onCommandOK() {
    // One change at a time: a second would carry the session the first one ends.
    if (isRequestInFlight(kPasswordTag)) return;
    const std::string now = oldPwd_->text(), wanted = newPwd_->text(), again = signPwd_->text();
    if (utf8Length(now) < 6) {
        showAlert("原密码不能为空或少于6位");
        return;
    }
    if (utf8Length(wanted) < 6) {
        showAlert("新密码不能为空或少于6位");
        return;
    }
    if (again != wanted) {
        showAlert("新密码确认错误，请仔细再次确认");
        return;
    }
    requestModifyPassword();
}

bool VTAResignPasswordController::requestModifyPassword() {
    for (auto* f : {oldPwd_.get(), newPwd_.get(), signPwd_.get()}) f->resignFirstResponder();
    RequestBuilder request = RequestBuilder::trade(subFunction());
    request.addTyped(Key::kOldPassword, oldPwd_->text(), kTradeInputRefusal)
        .addTyped(Key::kNewPassword, newPwd_->text(), kTradeInputRefusal);
    return sendRequest(kPasswordTag, request, 4);
}

void VTAResignPasswordController::passwordChanged(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(kUnreadableText);
        return;
    }
    auto& p = VTAParamter::shareParamter();
    std::string info = p.getStringForKey(TradeSessionKey::kInfo).value_or("");
    // The session goes on under its new authid; a reply without one (or with
    // one that would add fields to every later request) leaves the text as it was.
    const std::string authid = set->toStringWithFieldName(Col::kAuthId).value_or("");
    if (!authid.empty() && !changesRequestShape(authid)) info = replaceParam(info, authid, TradeContract::Key::kAuthId);
    const std::string wanted = newPwd_->text();
    renewTradeSession(info, wanted.empty() ? p.getStringForKey(TradeSessionKey::kPassword).value_or("") : wanted);
    showAlert(kDoneText);
    if (navigationController()) navigationController()->popViewControllerAnimated(true);
}

void VTAResignPasswordController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable)
        showAlert(kUnreadableText);
    else
        VTAViewControllers::requestDidFail(failure);
}
