#pragma once
// The application object and its delegate, plus the entry points the host
// (desktop window, headless driver, tests) calls: touches at screen points,
// the life-cycle events of the phone, remote-notification deliveries.
#include "platform/foundation/Value.h"
#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIWindow.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class UIApplication;

// Notification names posted on life-cycle changes (object: none).
inline const char* const UIApplicationDidFinishLaunchingNotification = "UIApplicationDidFinishLaunchingNotification";
inline const char* const UIApplicationWillResignActiveNotification = "UIApplicationWillResignActiveNotification";
inline const char* const UIApplicationDidEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
inline const char* const UIApplicationWillEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";
inline const char* const UIApplicationDidBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
inline const char* const UIApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";

enum class UIApplicationState { Active, Inactive, Background };
enum : unsigned {
    UIRemoteNotificationTypeNone = 0,
    UIRemoteNotificationTypeBadge = 1,
    UIRemoteNotificationTypeSound = 2,
    UIRemoteNotificationTypeAlert = 4,
};
enum class UIStatusBarStyle { Default, BlackTranslucent, BlackOpaque };

class UIApplicationDelegate {
public:
    virtual ~UIApplicationDelegate() = default;
    virtual bool applicationDidFinishLaunchingWithOptions(UIApplication& app, const Value& options) { return true; }
    virtual void applicationWillResignActive(UIApplication& app) {}
    virtual void applicationDidEnterBackground(UIApplication& app) {}
    virtual void applicationWillEnterForeground(UIApplication& app) {}
    virtual void applicationDidBecomeActive(UIApplication& app) {}
    virtual void applicationWillTerminate(UIApplication& app) {}
    virtual void applicationDidReceiveMemoryWarning(UIApplication& app) {}
    virtual void applicationDidRegisterForRemoteNotificationsWithDeviceToken(UIApplication& app,
                                                                             const std::vector<uint8_t>& token) {}
    virtual void applicationDidFailToRegisterForRemoteNotificationsWithError(UIApplication& app,
                                                                             const std::string& error) {}
    virtual void applicationDidReceiveRemoteNotification(UIApplication& app, const Value& userInfo) {}
};

class UIApplication : public UIResponder {
public:
    UIApplication();
    ~UIApplication() override;

    static UIApplication& sharedApplication();
    // Installs the application object (a subclass such as the idle-time watcher).
    static void setSharedApplication(std::shared_ptr<UIApplication> app);
    // A fresh default application (tests): windows, alerts, keyboard and the
    // first responder are dropped.
    static void resetSharedApplication();

    // The delegate is not owned (its owner clears it).
    UIApplicationDelegate* delegate() const { return delegate_; }
    void setDelegate(UIApplicationDelegate* d) { delegate_ = d; }

    UIWindow* keyWindow() const { return keyWindow_; }
    const std::vector<std::shared_ptr<UIWindow>>& windows() const { return windows_; }
    void addWindow(std::shared_ptr<UIWindow> w);
    void setKeyWindow(UIWindow* w);
    void removeWindow(UIWindow* w);

    // Every touch event passes here first; subclasses may watch and pass it on.
    virtual void sendEvent(UIEvent& event);

    UIApplicationState applicationState() const { return state_; }
    bool isNetworkActivityIndicatorVisible() const { return networkActivityIndicatorVisible_; }
    void setNetworkActivityIndicatorVisible(bool v);
    int64_t applicationIconBadgeNumber() const { return badge_; }
    void setApplicationIconBadgeNumber(int64_t n) { badge_ = n; }
    bool isStatusBarHidden() const { return statusBarHidden_; }
    void setStatusBarHidden(bool h) { statusBarHidden_ = h; }
    UIStatusBarStyle statusBarStyle() const { return statusBarStyle_; }
    void setStatusBarStyle(UIStatusBarStyle s) { statusBarStyle_ = s; }
    CGRect statusBarFrame() const;
    bool isIgnoringInteractionEvents() const { return ignoring_ > 0; }
    void beginIgnoringInteractionEvents() { ++ignoring_; }
    void endIgnoringInteractionEvents() {
        if (ignoring_ > 0) --ignoring_;
    }
    bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
    void setIdleTimerDisabled(bool d) { idleTimerDisabled_ = d; }

    // Remote notifications: state only; the push stand-in answers through the
    // entry points below. The handler (set by the push stand-in) hears requests.
    void registerForRemoteNotificationTypes(unsigned types);
    void unregisterForRemoteNotifications();
    unsigned enabledRemoteNotificationTypes() const { return enabledTypes_; }
    void setEnabledRemoteNotificationTypes(unsigned types) { enabledTypes_ = types; }
    void setRemoteNotificationRegistrationHandler(std::function<void(unsigned types)> h) {
        registrationHandler_ = std::move(h);
    }

    // Opening an address (the shell's "tel:" and web links); the host decides.
    bool openURL(const std::string& url);
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    void setOpenURLHandler(std::function<bool(const std::string&)> h) { openURLHandler_ = std::move(h); }

    UIResponder* nextResponder() const override { return nullptr; }

    // ---- host entry points: life cycle ----
    // Calls didFinishLaunching, then becomes active.
    bool launch(const Value& options = {});
    void resignActive();
    void becomeActive();
    void enterBackground();
    void enterForeground();
    void terminate();
    void deliverDeviceToken(const std::vector<uint8_t>& token);
    void failRemoteNotificationRegistration(const std::string& error);
    void receiveRemoteNotification(const Value& userInfo);

    // ---- host entry points: touches, in screen points, one finger per point ----
    // Taps closer than 0.35 s and 25 points to the previous one count up the tap count.
    void touchesBeganAt(const std::vector<CGPoint>& points);
    void touchesMovedTo(const std::vector<CGPoint>& points);
    void touchesEndedAt(const std::vector<CGPoint>& points);
    void touchesCancelledAll();
    bool hasActiveTouches() const { return !active_.empty(); }
    // Conveniences built on the above (run the main loop for the time between steps).
    void tapAt(CGPoint p);
    void doubleTapAt(CGPoint p);
    // A one-finger drag in `steps` moves over `seconds`; the finger lifts at the end.
    void dragFrom(CGPoint from, CGPoint to, double seconds = 0.3, int steps = 10);
    // Two fingers moving from (a0, b0) to (a1, b1).
    void pinch(CGPoint a0, CGPoint b0, CGPoint a1, CGPoint b1, double seconds = 0.3, int steps = 10);

private:
    void dispatch(UITouchPhase phase, const std::vector<CGPoint>& points);

    UIApplicationDelegate* delegate_ = nullptr;
    std::vector<std::shared_ptr<UIWindow>> windows_;
    UIWindow* keyWindow_ = nullptr;
    UIApplicationState state_ = UIApplicationState::Inactive;
    bool networkActivityIndicatorVisible_ = false;
    int64_t badge_ = 0;
    bool statusBarHidden_ = false;
    UIStatusBarStyle statusBarStyle_ = UIStatusBarStyle::Default;
    int ignoring_ = 0;
    bool idleTimerDisabled_ = false;
    unsigned enabledTypes_ = 0;
    std::function<void(unsigned)> registrationHandler_;
    std::function<bool(const std::string&)> openURLHandler_;
    std::vector<std::string> openedURLs_;

    std::vector<std::shared_ptr<UITouch>> active_;
    double lastTapTime_ = -1e9;
    CGPoint lastTapPoint_;
    int lastTapCount_ = 0;
};
