#pragma once
// The first screen: it waits for the server host, logs the phone into the
// service session (100/1), registers the phone by SMS when the server does
// not know it, has the disclaimer agreed, registers the push token, uploads
// the own stocks once, offers an upgrade, downloads a newer menu (100/2) into
// "menudb.plist", and then makes the home screen the root of the stack.
//
// Registration: the customer types the phone number (kept in the setting
// "your phone number"); the SMS composer opens with the text
// registrationSMSText (kRegisterCommand "DB A" followed by the MD5 hex of the
// service session) to the brokerage's short number; once it was sent, the
// server is told (100/3 "phone", "type" A) and asked every 6 s (100/4) until
// it reports the phone registered; then the login runs again.
//
// Every step shows its progress text; a failed step shows an alert whose
// "重试" runs the step again.
#include <functional>
#include <memory>
#include <string>

#include "platform/services/MessageComposeViewController.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIViewController.h"
#include "shell/RequestBinding.h"

struct NSNotification;
class KeyboardLift;
class NSTimer;
class UIButton;
class UILabel;
class UITextField;
class VTATCRS;
class VTADisclaimerViewController;

class LoginViewController : public UIViewController,
                            public RequestBinding,
                            public UIAlertViewDelegate,
                            public MFMessageComposeViewControllerDelegate {
public:
    enum class Stage {
        WaitingForHost,
        LoggingIn,
        Registration,
        SendingSMS,
        Registering,
        Polling,
        Disclaimer,
        LoadingMenu,
        Finished,
    };
    static constexpr int kLoginTag = 1001, kMenuTag = 1002, kRegisterTag = 1003, kStatusTag = 1004;
    static constexpr const char* kShortNumber = "1065755801";
    static constexpr const char* kRegisterCommand = "DB A";
    static constexpr const char* kUnregisterCommand = "DB Z";
    static constexpr const char* kPhoneNumberKey = "your phone number";
    static constexpr const char* kDisclaimerAgreedKey = "DisclaimerAgreed";
    static constexpr double kPollInterval = 6;
    static constexpr int kMaxPolls = 20;  // two minutes of waiting for the SMS

    LoginViewController();
    ~LoginViewController() override;

    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    Stage stage() const { return stage_; }
    const std::string& statusText() const;
    // The SMS text: the command followed by the lower-case MD5 hex of the session.
    static std::string registrationSMSText(bool registering, const std::string& session);
    // 11 digits beginning with "1".
    static bool isValidPhoneNumber(const std::string& phone);
    // The short number: "smsnumber" of "commomdSettingForHQ" when present, else kShortNumber.
    static std::string shortNumber();

    // The heading of the stage ("首次使用，请注册手机号码"...); null before the view loads.
    UILabel* statusLabel() const { return statusLabel_.get(); }
    // The registration form (null before it is shown).
    UITextField* phoneField() const { return phoneField_.get(); }
    UIButton* registerButton() const { return registerButton_.get(); }
    // What "注册" does: checks the number and opens the SMS composer.
    void submitRegistration();
    // The composer on screen while the SMS waits to be sent (null otherwise).
    std::shared_ptr<MFMessageComposeViewController> smsComposer() const { return composer_; }

    // The disclaimer waiting for the customer's agreement (null otherwise).
    std::shared_ptr<VTADisclaimerViewController> disclaimerScreen() const { return disclaimer_.lock(); }

    // Starts the road (again) from the host wait.
    void startLoginRoad();

    // ---- delegates ----
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;
    void messageComposeViewControllerDidFinishWithResult(MFMessageComposeViewController& controller,
                                                         MessageComposeResult result) override;

private:
    void setStage(Stage stage, const std::string& status);
    void waitForHost();
    void sendLogin();
    void handleLogin(VTATCRS& set);
    void showRegistrationForm(const std::string& note = "");
    // The form spread out under the title, or closed up under the navigation
    // bar (the title out of the way) while the number pad lifts it by `lift`,
    // so the heading, the note, the field and the button all stay in sight.
    void layoutForm(double lift);
    void hideRegistrationForm();
    void sendRegistration();
    void pollRegistration();
    void handleRegistrationStatus(VTATCRS& set);
    void continueAfterLogin();
    void showDisclaimer();
    void afterDisclaimer();
    void offerUpgrade(const std::string& version, const std::string& url);
    void loadMenuIfNeeded();
    void handleMenu(const std::vector<uint8_t>& data);
    void finish();
    void fail(const std::string& message, std::function<void()> retry);
    void stopPolling();
    // Set 0 on its first record; null (and the text to show) when it has none.
    static VTATCRS* firstRecord(const RequestReply& reply);
    void requestDidFail(const RequestFailure& failure) override;

    Stage stage_ = Stage::WaitingForHost;
    std::shared_ptr<UILabel> titleLabel_, statusLabel_, noteLabel_;
    std::shared_ptr<UITextField> phoneField_;
    std::shared_ptr<UIButton> registerButton_;
    std::unique_ptr<KeyboardLift> keyboardLift_;
    std::shared_ptr<MFMessageComposeViewController> composer_;
    std::shared_ptr<NSTimer> pollTimer_;
    std::weak_ptr<VTADisclaimerViewController> disclaimer_;
    std::shared_ptr<UIAlertView> failureAlert_, upgradeAlert_;
    std::function<void()> retry_;
    std::string phone_;
    std::string upgradeURL_;
    int serverMenuVersion_ = 0;
    bool serverHasNewMenu_ = false;
    int polls_ = 0;
    bool observing_ = false;
    bool started_ = false;
};
