#include "trade/VTATradeLoginViewController.h"

#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAAccountManager.h"
#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/ResultContract.h"
#include "core/contracts/TradeContract.h"
#include "core/security/BrasnikSignManager.h"
#include "core/storage/DaoFactory.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISwitch.h"
#include "platform/uikit/UITextField.h"
#include "shell/IdleTimeCheck.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "trade/TradeAccountTypes.h"
#include "trade/TradeFormViews.h"
#include "trade/TradeLogin.h"
#include "trade/TradePickerStrip.h"
#include "trade/VTASJLPViewController.h"
#include "ui/Alerts.h"
#include "ui/DisplayCell.h"
#include "ui/Drawing.h"
#include "ui/SVProgressHUD.h"

namespace {

using TradeContract::AuthType::kPasswordOnly;
using TradeContract::AuthType::kSoftToken;
using TradeContract::AuthType::kTypedCode;

constexpr const char* kAccountRefused = "输入帐号错误";
constexpr const char* kPasswordRefused = "输入密码错误";
constexpr const char* kCodeRefused = "输入口令错误";
constexpr const char* kLoggingIn = "交易登录中...";
constexpr const char* kRelating = "关联资金帐号...";
constexpr const char* kRelogin = "请重新登录";
constexpr const char* kReEnrol = "手机令牌认证失效，现在重新申请令牌？";
constexpr double kKeyboardScroll = 130;

bool isRelateLink(const std::shared_ptr<VTAMenu>& menu) {
    return menu && stripQuery(menu->link()) == VTAUIFactory::kTradeLoginCommand;
}

std::string phoneNumber() { return VTAUserDefoult::standerDefoult().getStringForKey("your phone number").value_or(""); }

}  // namespace

VTATradeLoginViewController::VTATradeLoginViewController() : TradeAccountForm(3) {
    setTitle(kTitle);
    bindRequest(kLoginTag, [this](const RequestReply& r) { loginArrived(r); }, {.handlesErrorSet = true});
    bindRequest(kRelateTag, [this](const RequestReply& r) { relateArrived(r); }, {.handlesErrorSet = true});
}

VTATradeLoginViewController::~VTATradeLoginViewController() {
    if (code_) code_->setFieldDelegate(nullptr);
}

void VTATradeLoginViewController::setViewMenu(std::shared_ptr<VTAMenu> menu) {
    if (isRelateLink(menu)) {
        setIsRelateViewContorller(queryValue(menu->link(), "relate").value_or("") == "1");
        setIsRelateFromMCJG(queryValue(menu->link(), "mcjg").value_or("") == "1");
    }
    VTAViewControllers::setViewMenu(std::move(menu));
}

std::shared_ptr<VTAMenu> VTATradeLoginViewController::pendingMenu() const {
    auto menu = viewMenu();
    return isRelateLink(menu) ? nullptr : menu;
}

void VTATradeLoginViewController::setIsRelateViewContorller(bool relate) {
    relate_ = relate;
    // The holdings switch starts on once; later reloads keep the customer's choice.
    if (relate_ && save_) save_->setOn(true);
    if (table_) table_->reloadData();
}

// ---- the form ----

VTATextField* VTATradeLoginViewController::codeField() {
    view();
    return code_.get();
}
UITextField* VTATradeLoginViewController::tokenCodeField() {
    view();
    return tokenCode_.get();
}
UISwitch* VTATradeLoginViewController::saveSwitch() {
    view();
    return save_.get();
}
UIButton* VTATradeLoginViewController::tokenButton() {
    view();
    return tokenButton_.get();
}

std::string VTATradeLoginViewController::footerText() const { return footer_ ? footer_->text() : ""; }

void VTATradeLoginViewController::makeFormViews() {
    auto& settings = VTAUserDefoult::standerDefoult();
    std::string savedType = settings.getStringForKey("your trade account type").value_or("");
    accountCode_ = tradeAccountTypes()[savedType.empty() ? 0 : tradeAccountTypeRow(savedType)].value;
    table_->setScrollEnabled(false);

    tokenButton_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(60, 2, 32, 40));
    tokenButton_->setImage(UIImage::imageNamed("cellbw.png"));
    tokenButton_->addTarget(
        this, [this](UIControl&) { goToSjlpView(); }, UIControlEventTouchUpInside);
    code_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 20, "请输入口令", 1);
    code_->setSecureTextEntry(true);
    code_->setTag(kCodeFieldTag);
    code_->setFont(defaultFont());
    code_->setFieldDelegate(this);
    tokenCode_ = std::make_shared<UITextField>(CGRectMake(0, 0, 150, 20));
    tokenCode_->setEnabled(false);
    tokenCode_->setFont(defaultFont());
    tokenCode_->setTextAlignment(UITextAlignment::Right);

    save_ = std::make_shared<UISwitch>(CGRectMake(0, 0, 94, 27));
    save_->addTarget(
        this, [this](UIControl&) { saveYourAccount(); }, UIControlEventValueChanged);
    selectAccountButton_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    selectAccountButton_->setFrame(CGRectMake(0, 0, 90, 31));
    selectAccountButton_->setTitle("选择帐号");
    selectAccountButton_->addTarget(
        this, [this](UIControl&) { VTASelectAccountAction(); }, UIControlEventTouchUpInside);
    if (relate_) {
        save_->setOn(true);
    } else if (settings.getBoolForKey("save your trade account")) {
        save_->setOn(true);
        account_->setText(settings.getStringForKey("your trade account").value_or(""));
    }

    footer_ = std::make_shared<UILabel>(CGRectMake(0, 0, 320, 30));
    footer_->setText(kSimpleModeText);
    footer_->setTextColor(UIColor::grayColor());
    footer_->setTextAlignment(UITextAlignment::Center);
    footer_->setFont(UIFont::systemFontOfSize(15));
    footer_->setBackgroundColor(UIColor::clearColor());
    table_->setTableFooterView(footer_);

    savedPicker_ = std::make_unique<TradePickerStrip>(
        [] {
            std::vector<std::string> rows;
            for (const auto& a : VTAAccountManager::savedAccountManager().accounts())
                rows.push_back(a->accUserName() + ":" + addpointtostring(a->zjzhAcc()) + a->yybName());
            return rows;
        },
        [this](int row) { selectSavedAccount(row); });
    VTAAccountManager::savedAccountManager();
}

void VTATradeLoginViewController::createToolbarItems() {
    toolbar()->setItems({homeItem(), flexibleSpaceBarBtn(), okItem()});
}

void VTATradeLoginViewController::viewWillAppear(bool animated) {
    TradeAccountForm::viewWillAppear(animated);
    checkTheAccount();
}

void VTATradeLoginViewController::viewWillDisappear(bool animated) {
    TradeAccountForm::viewWillDisappear(animated);
    SVProgressHUD::dismiss();
}

std::shared_ptr<UITableViewCell> VTATradeLoginViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                             const NSIndexPath& ip) {
    code_->setEnable(!token_);
    const int row = ip.row;
    if (row == 0) return branchCell();
    if (row == 1) return typeCell();
    if (row == 2) {
        auto cell = accountCell();
        cell->contentView()->addSubview(tokenButton_);
        return cell;
    }
    if (row == 6) return tradeFormCell("手机令牌", tokenCode_, false);
    if (!relate_) {
        if (row == 3) {
            auto cell = std::make_shared<VTAHQCell>(UITableViewCellStyle::Default, "SaveRow");
            cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
            cell->loadItems({tradeRowItem(tradeCaptionLabel("记住帐号"), 10), tradeRowItem(save_),
                             tradeRowItem(selectAccountButton_)},
                            {95, 100, 105});
            return cell;
        }
        if (row == 4) return passwordCell();
        return tradeFormCell("认证口令", code_, false);
    }
    if (row == 3) return passwordCell();
    if (row == 4) return tradeFormCell("认证口令", code_, false);
    auto cell = std::make_shared<VTAHQCell>(UITableViewCellStyle::Default, "ImportRow");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->loadItems({tradeRowItem(tradeCaptionLabel("将持仓股加入自选股"), 10), tradeRowItem(save_)}, {190, 110});
    return cell;
}

// ---- choosing ----

void VTATradeLoginViewController::closePickers() {
    TradeAccountForm::closePickers();
    if (savedPicker_ && savedPicker_->isOpen()) savedPicker_->slideDown();
}

void VTATradeLoginViewController::VTASelectAccountAction() {
    view();
    if (typePicker_->isOpen()) typePicker_->slideDown();
    endEditing();
    const auto& saved = VTAAccountManager::savedAccountManager().accounts();
    int row = 0;
    const std::string typed = account_->text();
    if (!typed.empty())
        for (size_t i = 0; i < saved.size(); ++i)
            if (saved[i]->zjzhAcc().find(typed) != std::string::npos) {
                row = static_cast<int>(i);
                break;
            }
    savedPicker_->showIn(*contentView(), row);
}

void VTATradeLoginViewController::selectSavedAccount(int row) {
    auto account = VTAAccountManager::savedAccountManager().accountAtIndex(row);
    if (!account) return;
    account_->setText(account->accID());
    setBranch(account->yybCode(), account->yybName());
    const std::string type =
        account->accTypeCode().empty() ? TradeContract::AccountType::kFund : account->accTypeCode();
    accountCode_ = tradeAccountTypes()[tradeAccountTypeRow(type)].value;
    typeLabel_->setText(accountTypeName());
    checkTheAccount();
}

std::string VTATradeLoginViewController::addpointtostring(const std::string& account) {
    if (account.size() != 12) return account;
    return account.substr(0, 4) + "*****" + account.substr(9);
}

void VTATradeLoginViewController::saveYourAccount() {
    if (relate_) return;
    VTAUserDefoult::standerDefoult().setBool(save_->isOn(), "save your trade account");
}

void VTATradeLoginViewController::goToSjlpView() {
    auto page = std::make_shared<VTASJLPViewController>();
    pushViewController(page);
}

// ---- the token ----

void VTATradeLoginViewController::checkTheAccount() {
    view();
    footer_->setText(kSimpleModeText);
    tokenButton_->setImage(UIImage::imageNamed("cellbw.png"));
    code_->setText("");
    token_.reset();
    tokenCode_->setText("");
    const std::string account = account_->getText();
    if (!account.empty()) {
        const std::string normalised = normalizeTokenAccount(account, branch_.code(), accountCode_);
        auto& signs = BrasnikSignManager::defaultManager();
        token_ = accountCode_ == TradeContract::AccountType::kFund
                     ? signs.findSignerWithAccount(normalised, phoneNumber())
                     : signs.findSignerWithGDH(normalised, phoneNumber());
        if (token_) {
            tokenCode_->setText(token_->oneTimeCode());
            footer_->setText(kTokenModeText);
            tokenButton_->setImage(UIImage::imageNamed("cell.png"));
        }
    }
    table_->reloadData();
}

// ---- keyboard ----

void VTATradeLoginViewController::scrollForm(double y) { table_->setContentOffset(CGPointMake(0, y), true); }

bool VTATradeLoginViewController::myTextFieldWillShowKeyboard(VTATextField& field) {
    TradeAccountForm::myTextFieldWillShowKeyboard(field);
    if (field.tag() == kPasswordFieldTag || field.tag() == kCodeFieldTag) {
        lastTextTag_ = field.tag();
        scrollForm(kKeyboardScroll);
    }
    return true;
}

void VTATradeLoginViewController::myTextFieldDidHideKeyboard(VTATextField& field) {
    if (&field == account_.get()) checkTheAccount();
    if (field.tag() == lastTextTag_) scrollForm(0);
}

// ---- sending ----

void VTATradeLoginViewController::onCommandOK() {
    view();
    endEditing();
    closePickers();
    SVProgressHUD::showWithStatus(relate_ ? kRelating : kLoggingIn);
    if (relate_)
        requestRelate();
    else
        requestTradeLogin();
}

std::string VTATradeLoginViewController::formRefusal(bool login) const {
    const std::string account = account_->getText();
    const std::string password = password_->text();
    if (account.empty() || (login && utf8Length(account) >= 13)) return kAccountRefused;
    if (login && (password.empty() || utf8Length(password) >= 21)) return kPasswordRefused;
    if (login && utf8Length(code_->text()) >= 21) return kCodeRefused;
    if (accountCode_ != TradeContract::AccountType::kFund && utf8Length(account) <= 5) return kAccountRefused;
    return "";
}

void VTATradeLoginViewController::requestTradeLogin() { sendLoginOrRelate(true); }

void VTATradeLoginViewController::requestRelate() { sendLoginOrRelate(false); }

bool VTATradeLoginViewController::sendLoginOrRelate(bool login) {
    view();
    if (!branch_.isListOK()) {
        requestSalesDepartment();
        return false;
    }
    std::string refusal = formRefusal(login);
    if (!refusal.empty()) {
        SVProgressHUD::dismissWithError(refusal);
        return false;
    }
    TradeLoginForm form{accountCode_, branch_.code(), account_->getText(), password_->text(), kPasswordOnly, ""};
    const std::string tokenCode = tokenCode_->text();
    const bool withToken = token_ && tokenCode.size() == 6;
    if (withToken) {
        form.authType = kSoftToken;
        form.authData = tokenCode;
    } else if (!code_->text().empty()) {
        form.authType = kTypedCode;
        form.authData = code_->text();
    }
    RequestBuilder request = login ? tradeLoginRequest(form) : relateAccountRequest(form, save_->isOn());
    if (request.refused()) {
        SVProgressHUD::dismissWithError(request.refusal());
        return false;
    }
    if (withToken) {
        // The code goes now: the counter moves on (and is saved) first, and
        // the row shows the next code, so no retry sends this one again.
        token_->heartBeet();
        tokenCode_->setText(token_->oneTimeCode());
    }
    if (!sendRequest(login ? kLoginTag : kRelateTag, request, 4)) {
        SVProgressHUD::dismiss();
        return false;
    }
    return true;
}

// ---- replies ----

void VTATradeLoginViewController::requestDidFail(const RequestFailure& failure) {
    SVProgressHUD::dismiss();
    VTAViewControllers::requestDidFail(failure);
}

void VTATradeLoginViewController::branchListArrived() {
    // The branch label shows the new branch; the rest of the form stays as
    // the customer has it (a reload would drop what is being typed).
    SVProgressHUD::dismiss();
}

void VTATradeLoginViewController::loginArrived(const RequestReply& reply) {
    SVProgressHUD::dismiss();
    const RecordSets& sets = reply.sets;
    if (sets.size() == 1 && sets[0]->isError()) {
        const std::string text = sets[0]->getError();
        if (isSoftTokenError(text))
            softTokenRefused(text);
        else
            showAlert(text);
        return;
    }
    BrasnikSignManager::saveSigns();
    for (size_t i = 0; i < sets.size() && i < 2; ++i)
        if (sets[i]->isError()) {
            showAlert(sets[i]->getError());
            return;
        }
    auto values = tradeLoginValues(sets);
    if (!values) {
        showAlert(kBadReplyText);
        return;
    }
    loggedIn(*values);
}

void VTATradeLoginViewController::softTokenRefused(const std::string& text) {
    if (token_) {
        BrasnikSignManager::defaultManager().removeSignner(token_);
        BrasnikSignManager::saveSigns();
    }
    checkTheAccount();
    if (text == TradeContract::Error::kAuthNotApplied) {
        showAlert(text + "\n" + kRelogin);
        return;
    }
    tokenDialog_ = dialogOKCancelActionWithTitle(text + "\n" + kReEnrol, "");
}

void VTATradeLoginViewController::loggedIn(const TradeLoginValues& values) {
    const std::string typed = account_->getText();
    const std::string password = password_->text();
    storeTradeSession(values, password);

    std::string orgid = values.branch();
    auto yyb = std::make_shared<VTAYYB>(orgid.empty() ? branch_.code() : orgid, branchLabel_->text());
    auto type = VTAAccountType::accountTypeWithCode(accountCode_, typeLabel_->text());
    auto account = VTAAccount::initWithIDEX(typed, type, yyb, values.fundId());
    // The same account logged in earlier in this run (and since locked or
    // logged out) is logged on again in its place.
    auto& loggedInList = VTAAccountManager::tradeAccountManager();
    if (auto earlier = loggedInList.accountAtIndex(loggedInList.indexOfAccount(*account))) account = earlier;
    account->activeAccountWithLogonOnUser(values.customerName(), password, tradeSessionObjects(values));
    loggedInList.setSelectedAccount(account);

    auto& saved = VTAAccountManager::savedAccountManager();
    auto& settings = VTAUserDefoult::standerDefoult();
    if (save_->isOn()) {
        bool known = false;
        for (const auto& a : saved.accounts()) known = known || a->zjzhAcc() == values.fundId();
        if (!known) {
            auto remembered = VTAAccount::initWithIDEX(typed, type, yyb, values.fundId());
            remembered->setAccUserName(values.customerName());
            remembered->setLastLoginTime(account->loginTime());
            saved.appendAccount(remembered);
            saved.save();
        }
    }
    settings.setString(save_->isOn() ? typed : std::string(), "your trade account");
    if (auto dao = DaoFactory::sharedInstance().salesDepartmentDao())
        dao->addSalesDepartment(QZUsedSalesDepartment(branch_.code(), branchLabel_->text()));
    settings.setString(accountCode_, "your trade account type");
    if (auto* app = IdleTimeCheck::sharedIdleTimeCheck()) app->resetIdleTimer();

    auto pending = pendingMenu();
    auto next = pending ? VTAUIFactory::viewControllerWithMenu(pending) : nullptr;
    if (!next) {
        onCommandBack();
        return;
    }
    if (auto* screen = dynamic_cast<VTAMenuScreen*>(next.get()))
        if (viewMessage()) screen->setViewMessage(viewMessage());
    pushViewControllerBefore(next, this);
}

void VTATradeLoginViewController::relateArrived(const RequestReply& reply) {
    SVProgressHUD::dismiss();
    VTATCRS* set = reply.first();
    if (!set || set->isError()) {
        if (!reply.sets.empty()) showAlert(kBadReplyText);
        return;
    }
    auto& defaults = NSUserDefaults::standardUserDefaults();
    std::shared_ptr<UIAlertView> alert;
    relateSucceeded_ = set->toIntWithFieldName(ResultContract::Col::kResult) == 1;
    if (relateSucceeded_) {
        defaults.setBool(true, "NeedReloadMenu");
        alert = std::make_shared<UIAlertView>("关联资金帐号成功", "", nullptr, std::string("确定"),
                                              std::vector<std::string>{});
        defaults.setBool(false, "IsDownloadPortfolio");
    } else {
        alert = std::make_shared<UIAlertView>("关联资金帐号失败",
                                              set->toStringWithFieldName(ResultContract::Col::kMessage).value_or(""),
                                              nullptr, std::string("确定"), std::vector<std::string>{});
    }
    // The screen may be gone when the alert is answered.
    if (auto self = std::dynamic_pointer_cast<UIAlertViewDelegate>(sharedController()))
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(self));
    alert->setTag(kRelateAlertTag);
    alert->show();
}

void VTATradeLoginViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (&alert == tokenDialog_.get()) {
        tokenDialog_.reset();
        if (buttonIndex == 0) goToSjlpView();
        return;
    }
    if (alert.tag() == kRelateAlertTag && relateSucceeded_) {
        if (relateFromPage_) NSUserDefaults::standardUserDefaults().setBool(true, "RelateFromMCJGStatus");
        popViewControllers(1);
    }
}
