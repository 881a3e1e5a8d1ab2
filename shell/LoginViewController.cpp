#include "shell/LoginViewController.h"

#include <algorithm>

#include "core/MenuFunctions.h"
#include "core/RequestBuilder.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/SystemContract.h"
#include "core/security/Digests.h"
#include "net/NetworkManager.h"
#include "net/ServiceSession.h"
#include "net/XXNetworkManager.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSTimer.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextField.h"
#include "shell/ClientIdentity.h"
#include "shell/HomeViewController.h"
#include "shell/KeyboardLift.h"
#include "shell/MenuCache.h"
#include "shell/Navigation.h"
#include "shell/PushHandling.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/rOduvedeAppDelegate.h"

namespace {

constexpr const char* kNetworkFailureText = "网络连接失败，请检查网络后重试";
constexpr const char* kNoHostText = "无法连接到服务器，请检查网络后重试";
constexpr const char* kDataErrorText = "数据处理错误";

std::shared_ptr<UILabel> makeLabel(const CGRect& frame, double size, bool bold,
                                   UITextAlignment align = UITextAlignment::Center) {
    auto label = std::make_shared<UILabel>(frame);
    label->setFont(bold ? UIFont::boldSystemFontOfSize(size) : UIFont::systemFontOfSize(size));
    label->setTextAlignment(align);
    label->setBackgroundColor(UIColor::clearColor());
    label->setTextColor(UIColor::whiteColor());
    label->setNumberOfLines(0);
    return label;
}

}  // namespace

LoginViewController::LoginViewController() {
    setTitle("登录");
    bindRequest(kLoginTag, [this](const RequestReply& r) {
        if (stage_ != Stage::LoggingIn) return;
        if (auto* set = firstRecord(r)) return handleLogin(*set);
        fail(kDataErrorText, [this] { sendLogin(); });
    });
    bindRequest(kRegisterTag, [this](const RequestReply& r) {
        if (stage_ != Stage::Registering) return;
        if (!firstRecord(r)) return showRegistrationForm(kDataErrorText);
        polls_ = 0;
        setStage(Stage::Polling, "注册短信已发送，正在等待注册结果...");
        stopPolling();
        pollTimer_ = NSTimer::scheduledTimerWithTimeInterval(
            kPollInterval, [this](NSTimer&) { pollRegistration(); }, true);
    });
    // A failed poll is asked again on the next tick.
    bindRequest(kStatusTag,
                [this](const RequestReply& r) {
                    auto* set = firstRecord(r);
                    if (stage_ == Stage::Polling && set) handleRegistrationStatus(*set);
                },
                {.quiet = true});
    bindRequest(kMenuTag, [this](const RequestReply& r) {
        if (stage_ == Stage::LoadingMenu && r.bytes) handleMenu(*r.bytes);
    });
}

LoginViewController::~LoginViewController() {
    stopPolling();
    NSNotificationCenter::defaultCenter().removeObserver(this);
    if (failureAlert_) failureAlert_->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
    if (upgradeAlert_) upgradeAlert_->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
    if (composer_) composer_->setMessageComposeDelegate(nullptr);
}

void LoginViewController::loadView() {
    auto view = std::make_shared<UIView>(CGRectMake(0, 0, 320, 416));
    view->setBackgroundColor(UIColor::colorWithRed(0.08, 0.16, 0.32, 1));
    titleLabel_ = makeLabel(CGRectZero, 28, true);
    titleLabel_->setText(kClientName);
    statusLabel_ = makeLabel(CGRectZero, 15, false);
    noteLabel_ = makeLabel(CGRectZero, 13, false);
    noteLabel_->setTextColor(UIColor::colorWithWhite(0.85, 1));
    noteLabel_->setHidden(true);
    phoneField_ = std::make_shared<UITextField>(CGRectZero);
    phoneField_->setBorderStyle(UITextBorderStyle::RoundedRect);
    phoneField_->setKeyboardType(UIKeyboardType::NumberPad);
    phoneField_->setPlaceholder("请输入手机号码");
    phoneField_->setHidden(true);
    registerButton_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    registerButton_->setTitle("注册");
    registerButton_->addTarget(
        this, [this](UIControl&) { submitRegistration(); }, UIControlEventTouchUpInside);
    registerButton_->setHidden(true);
    for (auto v : std::initializer_list<std::shared_ptr<UIView>>{titleLabel_, statusLabel_, noteLabel_, phoneField_,
                                                                 registerButton_})
        view->addSubview(v);
    setView(view);
    layoutForm(0);
    setStage(stage_, statusText().empty() ? "正在连接服务器..." : statusText());
    // The form's lowest point (the button) stays above the number pad.
    keyboardLift_ = std::make_unique<KeyboardLift>(
        registerButton_, [this](double lift) { layoutForm(lift); }, 8);
}

void LoginViewController::layoutForm(double lift) {
    struct Frames {
        CGRect status, note, field, button;
    };
    static const Frames spread{CGRectMake(20, 120, 280, 44), CGRectMake(20, 170, 280, 60), CGRectMake(40, 240, 240, 34),
                               CGRectMake(40, 290, 240, 40)};
    static const Frames closed{CGRectMake(20, 6, 280, 36), CGRectMake(20, 42, 280, 44), CGRectMake(40, 94, 240, 34),
                               CGRectMake(40, 138, 240, 40)};
    const Frames& f = lift > 0 ? closed : spread;
    titleLabel_->setFrame(CGRectMake(20, 60, 280, 40));
    titleLabel_->setHidden(lift > 0);
    statusLabel_->setFrame(f.status);
    noteLabel_->setFrame(f.note);
    phoneField_->setFrame(f.field);
    registerButton_->setFrame(f.button);
    // Whatever the closed-up form still leaves under the pad scrolls up.
    CGRect b = view()->bounds();
    b.origin.y = std::max(0.0, lift - (CGRectGetMaxY(spread.button) - CGRectGetMaxY(closed.button)));
    view()->setBounds(b);
}

void LoginViewController::viewDidAppear(bool) {
    if (!started_) startLoginRoad();
    // The disclaimer was left without an answer (its "首页" pops to this screen): ask again.
    else if (stage_ == Stage::Disclaimer && !failureAlert_) {
        auto disclaimer = disclaimer_.lock();
        auto nav = navigationController();
        bool shown = disclaimer && nav &&
                     std::any_of(nav->viewControllers().begin(), nav->viewControllers().end(),
                                 [&](const auto& vc) { return vc.get() == disclaimer.get(); });
        if (!shown) showDisclaimer();
    }
}

void LoginViewController::viewWillDisappear(bool) {}

const std::string& LoginViewController::statusText() const {
    static const std::string empty;
    return statusLabel_ ? statusLabel_->text() : empty;
}

void LoginViewController::setStage(Stage stage, const std::string& status) {
    stage_ = stage;
    if (statusLabel_) statusLabel_->setText(status);
}

std::string LoginViewController::registrationSMSText(bool registering, const std::string& session) {
    return std::string(registering ? kRegisterCommand : kUnregisterCommand) + md5Hex(session);
}

bool LoginViewController::isValidPhoneNumber(const std::string& phone) {
    if (phone.size() != 11 || phone[0] != '1') return false;
    for (char c : phone)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string LoginViewController::shortNumber() {
    if (auto conf = VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ")) {
        auto it = conf->find("smsnumber");
        if (it != conf->end() && !it->second.toString().empty()) return it->second.toString();
    }
    return kShortNumber;
}

// ---------------------------------------------------------------- host and login

void LoginViewController::startLoginRoad() {
    started_ = true;
    waitForHost();
}

void LoginViewController::waitForHost() {
    auto& network = NetworkManager::manager();
    if (network.isHostChosen() && !network.isChoosingHost()) {
        sendLogin();
        return;
    }
    setStage(Stage::WaitingForHost, "正在连接服务器...");
    if (!observing_) {
        observing_ = true;
        NSNotificationCenter::defaultCenter().addObserver(
            this, "FastestHostNotification", [this](const NSNotification& n) {
                if (stage_ != Stage::WaitingForHost) return;
                NSNotificationCenter::defaultCenter().removeObserver(this, "FastestHostNotification");
                observing_ = false;
                const Value& reachable = n.userInfo["reachable"];
                if (!reachable.isNull() && !reachable.toBool()) {
                    fail(kNoHostText, [this] {
                        NetworkManager::manager().chooseHost();
                        waitForHost();
                    });
                    return;
                }
                sendLogin();
            });
    }
    if (!network.isChoosingHost()) network.chooseHost();
}

void LoginViewController::sendLogin() {
    setStage(Stage::LoggingIn, "正在登录...");
    phone_ = VTAUserDefoult::standerDefoult().getStringForKey(kPhoneNumberKey).value_or("");
    int cachedMenu = MenuCache::installedMenuVersion();
    RequestBuilder login(SystemContract::kSessionLogin);
    login.add(SystemContract::Key::kPhone, phone_)
        .add(SystemContract::Key::kVersion, kClientVersion)
        .add(SystemContract::Key::kMenuVersion, cachedMenu);
    sendRequest(kLoginTag, login, ServiceSession::kDefaultLoginType);
}

VTATCRS* LoginViewController::firstRecord(const RequestReply& reply) {
    auto* set = reply.first();
    return set && !set->isEOF() ? set : nullptr;
}

void LoginViewController::handleLogin(VTATCRS& set) {
    serverMenuVersion_ = static_cast<int>(set.toIntWithFieldName(SystemContract::Col::kMenuVersion));
    serverHasNewMenu_ = set.toIntWithFieldName(SystemContract::Col::kNewMenu) == 1;
    std::string newVersion = set.toStringWithFieldName(SystemContract::Col::kNewVersion).value_or("");
    upgradeURL_ = set.toStringWithFieldName(SystemContract::Col::kUpgradeUrl).value_or("");
    // The upgrade screen of the settings offers what the login announced.
    auto& session = VTAParamter::shareParamter();
    if (!newVersion.empty())
        session.setString(newVersion, "newVersionGet");
    else
        session.removeValueForKey("newVersionGet");
    if (!newVersion.empty() && !upgradeURL_.empty())
        session.setString(upgradeURL_, "newVersionURL");
    else
        session.removeValueForKey("newVersionURL");
    if (set.toIntWithFieldName(SystemContract::Col::kRegistered) != 1) {
        showRegistrationForm();
        return;
    }
    std::string phone = set.toStringWithFieldName(SystemContract::Col::kPhone).value_or("");
    if (!phone.empty() && phone != phone_) {
        VTAUserDefoult::standerDefoult().setString(phone, kPhoneNumberKey);
        VTAUserDefoult::standerDefoult().save();
    }
    hideRegistrationForm();
    if (!newVersion.empty()) offerUpgrade(newVersion, upgradeURL_);
    continueAfterLogin();
}

// ---------------------------------------------------------------- registration

void LoginViewController::showRegistrationForm(const std::string& note) {
    stopPolling();
    setStage(Stage::Registration, "首次使用，请注册手机号码");
    if (!isViewLoaded()) view();
    noteLabel_->setText(note.empty() ? "注册时将向 " + shortNumber() + " 发送一条短信（按普通短信收费）" : note);
    noteLabel_->setHidden(false);
    if (phoneField_->text().empty()) phoneField_->setText(phone_);
    phoneField_->setHidden(false);
    registerButton_->setHidden(false);
    registerButton_->setEnabled(true);
}

void LoginViewController::hideRegistrationForm() {
    if (!noteLabel_) return;
    phoneField_->resignFirstResponder();
    noteLabel_->setHidden(true);
    phoneField_->setHidden(true);
    registerButton_->setHidden(true);
}

void LoginViewController::submitRegistration() {
    if (stage_ != Stage::Registration || !phoneField_) return;
    std::string phone = phoneField_->text();
    if (!isValidPhoneNumber(phone)) {
        fail("请输入正确的11位手机号码", nullptr);
        return;
    }
    if (!MFMessageComposeViewController::canSendText()) {
        fail("本设备不能发送短信，无法完成注册", nullptr);
        return;
    }
    phoneField_->resignFirstResponder();
    phone_ = phone;
    VTAUserDefoult::standerDefoult().setString(phone, kPhoneNumberKey);
    VTAUserDefoult::standerDefoult().save();
    setStage(Stage::SendingSMS, "请发送注册短信");
    registerButton_->setEnabled(false);
    composer_ = std::make_shared<MFMessageComposeViewController>();
    composer_->setRecipients({shortNumber()});
    composer_->setBody(registrationSMSText(true, ServiceSession::shared().session()));
    composer_->setMessageComposeDelegate(this);
    UIViewController* presenter =
        navigationController() ? static_cast<UIViewController*>(navigationController()) : this;
    presenter->presentModalViewController(composer_, true);
}

void LoginViewController::messageComposeViewControllerDidFinishWithResult(MFMessageComposeViewController& controller,
                                                                          MessageComposeResult result) {
    controller.setMessageComposeDelegate(nullptr);
    controller.dismissModalViewControllerAnimated(true);
    composer_.reset();
    switch (result) {
        case MessageComposeResult::Sent:
            sendRegistration();
            break;
        case MessageComposeResult::Cancelled:
            showRegistrationForm("注册短信未发送，请重新注册");
            break;
        case MessageComposeResult::Failed:
            showRegistrationForm("注册短信发送失败，请重试");
            break;
    }
}

void LoginViewController::sendRegistration() {
    setStage(Stage::Registering, "正在注册，请稍候...");
    hideRegistrationForm();
    RequestBuilder registration(SystemContract::kRegistration);
    registration.add(SystemContract::Key::kPhone, phone_)
        .add(SystemContract::Key::kType, SystemContract::Type::kRegister);
    sendRequest(kRegisterTag, registration, 3);
}

void LoginViewController::pollRegistration() {
    if (stage_ != Stage::Polling) return;
    if (++polls_ > kMaxPolls) {
        stopPolling();
        showRegistrationForm("等待注册结果超时，请重新注册");
        return;
    }
    RequestBuilder status(SystemContract::kRegistrationStatus);
    status.add(SystemContract::Key::kPhone, phone_);
    sendRequest(kStatusTag, status, 3);
}

void LoginViewController::handleRegistrationStatus(VTATCRS& set) {
    if (set.toIntWithFieldName(SystemContract::Col::kRegistered) != 1) return;  // the next tick asks again
    stopPolling();
    std::string phone = set.toStringWithFieldName(SystemContract::Col::kPhone).value_or("");
    if (!phone.empty()) {
        phone_ = phone;
        VTAUserDefoult::standerDefoult().setString(phone, kPhoneNumberKey);
        VTAUserDefoult::standerDefoult().save();
    }
    sendLogin();
}

void LoginViewController::stopPolling() {
    if (pollTimer_) pollTimer_->invalidate();
    pollTimer_.reset();
}

// ---------------------------------------------------------------- after the login

void LoginViewController::continueAfterLogin() {
    if (!NSUserDefaults::standardUserDefaults().boolForKey(kDisclaimerAgreedKey)) {
        showDisclaimer();
        return;
    }
    afterDisclaimer();
}

void LoginViewController::afterDisclaimer() {
    syncPushTokenRegistration(UIApplication::sharedApplication());
    uploadOwnStocksIfNeeded();
    loadMenuIfNeeded();
}

void LoginViewController::offerUpgrade(const std::string& version, const std::string& url) {
    upgradeURL_ = url;
    upgradeAlert_ = std::make_shared<UIAlertView>("发现新版本", "新版本 " + version + " 已发布，是否现在升级？", this,
                                                  std::string("以后再说"), std::vector<std::string>{"升级"});
    upgradeAlert_->show();
}

void LoginViewController::loadMenuIfNeeded() {
    bool needMenu = serverHasNewMenu_ || MenuCache::installedMenuVersion() == 0 ||
                    MenuCache::installedMenuVersion() < serverMenuVersion_;
    if (!needMenu) {
        finish();
        return;
    }
    setStage(Stage::LoadingMenu, "正在下载菜单...");
    sendRequest(kMenuTag, RequestBuilder(SystemContract::kMenu), 3);
}

void LoginViewController::handleMenu(const std::vector<uint8_t>& data) {
    if (!installMenuFromData(data)) {
        // The old menu stays; the customer can still work with it.
        fail("菜单数据错误，将使用原有菜单", [this] { finish(); });
        return;
    }
    int version = serverMenuVersion_;
    if (auto conf = VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ")) {
        auto it = conf->find("menuver");
        if (it != conf->end() && it->second.toInt() > 0) version = static_cast<int>(it->second.toInt());
    }
    if (version < 1) version = 1;
    MenuCache::save(version, data);
    MenuCache::setInstalledMenuVersion(version);
    if (auto* delegate = rOduvedeAppDelegate::sharedDelegate()) delegate->applyHostConfiguration();
    finish();
}

void LoginViewController::finish() {
    setStage(Stage::Finished, "正在进入首页...");
    // Messages pushed while the client was not running wait on the server.
    XXNetworkManager::sharedManager().requestNoConfirmWithoutDelegate();
    // The switch replaces this screen: it runs after the reply handler has returned.
    std::weak_ptr<UIViewController> weakSelf = sharedController();
    RunLoop::main().post([weakSelf] {
        auto self = weakSelf.lock();
        if (!self || !self->navigationController()) return;
        auto nav = self->navigationController();
        nav->setViewControllers({std::make_shared<HomeViewController>()}, false);
    });
}

// ---------------------------------------------------------------- failures and replies

void LoginViewController::fail(const std::string& message, std::function<void()> retry) {
    retry_ = std::move(retry);
    if (failureAlert_ && failureAlert_->isVisible()) {
        failureAlert_->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
        failureAlert_->dismissWithClickedButtonIndex(0, false);
    }
    failureAlert_ = std::make_shared<UIAlertView>(message, "", this, std::string(retry_ ? "重试" : "确定"),
                                                  std::vector<std::string>{});
    failureAlert_->show();
}

void LoginViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (&alert == upgradeAlert_.get()) {
        upgradeAlert_.reset();
        if (buttonIndex == 1 && !upgradeURL_.empty()) UIApplication::sharedApplication().openURL(upgradeURL_);
        return;
    }
    if (&alert == failureAlert_.get()) {
        failureAlert_.reset();
        auto retry = std::move(retry_);
        retry_ = nullptr;
        if (retry)
            retry();
        else if (stage_ == Stage::Registration && registerButton_)
            registerButton_->setEnabled(true);
    }
}

void LoginViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Network) {
        switch (failure.tag) {
            case kLoginTag:
                fail(kNetworkFailureText, [this] { waitForHost(); });
                break;
            case kMenuTag:
                fail(kNetworkFailureText, [this] { loadMenuIfNeeded(); });
                break;
            case kRegisterTag:
                fail(kNetworkFailureText, [this] { sendRegistration(); });
                break;
            default:
                break;  // a poll: the timer asks again
        }
        return;
    }
    const std::string text = failure.text.empty() ? kDataErrorText : failure.text;
    // What the server answered (an error set, or bytes that are no record
    // sets) is the step's answer; the request road's own failures are retried.
    const bool answered =
        failure.kind == RequestFailure::Kind::ErrorSet || failure.kind == RequestFailure::Kind::Unreadable;
    switch (failure.tag) {
        case kLoginTag:
            if (answered && stage_ != Stage::LoggingIn) return;
            fail(text, [this] { sendLogin(); });
            break;
        case kMenuTag:
            if (!answered)
                fail(text, [this] { loadMenuIfNeeded(); });
            else if (stage_ == Stage::LoadingMenu)
                handleMenu({});
            break;
        case kRegisterTag:
            if (!answered)
                fail(text, [this] { sendRegistration(); });
            else if (stage_ == Stage::Registering)
                showRegistrationForm(text);
            break;
        default:
            break;
    }
}

void LoginViewController::showDisclaimer() {
    setStage(Stage::Disclaimer, "请阅读免责声明");
    auto nav = navigationController();
    if (!nav) return;
    auto disclaimer = std::make_shared<VTADisclaimerViewController>();
    disclaimer->setTitle("免责声明");
    disclaimer->navigationItem()->setHidesBackButton(true);
    disclaimer_ = disclaimer;
    disclaimer->setCompletion([this](bool agreed) {
        // Leaves the disclaimer after its button's action has returned.
        std::weak_ptr<UIViewController> weakSelf = sharedController();
        RunLoop::main().post([weakSelf, agreed] {
            auto self = std::dynamic_pointer_cast<LoginViewController>(weakSelf.lock());
            if (!self || self->stage_ != Stage::Disclaimer) return;
            self->disclaimer_.reset();
            if (auto nav = self->navigationController()) nav->popToViewController(self.get(), true);
            if (!agreed) {
                self->fail("您需要同意免责声明后才能使用本软件", [raw = self.get()] { raw->showDisclaimer(); });
                return;
            }
            NSUserDefaults::standardUserDefaults().setBool(true, kDisclaimerAgreedKey);
            self->afterDisclaimer();
        });
    });
    nav->pushViewController(disclaimer, true);
}
