#pragma once
// The modal progress overlay (class operations only): a dark rounded box in
// the middle of the key window with a spinner and a status text; success and
// error marks replace the spinner before it hides. A mask type other than None
// covers the window so that touches do not reach the screen below; the network
// indicator flag shows the status-bar activity indicator while it is up.
//
// A delayed dismissal runs on a main-loop timer; showing the overlay again
// before it fires cancels it, so an old dismissal never hides a new progress.
#include <memory>
#include <string>

class UIView;

enum class SVProgressHUDMaskType { None = 1, Clear = 2, Black = 3, Gradient = 4 };
enum class SVProgressHUDMark { Spinner, Success, Error };

class SVProgressHUD {
public:
    static void show();
    static void showWithStatus(const std::string& status);
    static void showWithStatus(const std::string& status, SVProgressHUDMaskType maskType, bool networkIndicator);
    static void setStatus(const std::string& status);
    // Hides at once.
    static void dismiss();
    // Success mark with the text, hidden after 1 s (or the delay).
    static void dismissWithSuccess(const std::string& text);
    static void dismissWithSuccess(const std::string& text, double delay);
    // Error mark with the text, hidden after 1 s (or the delay); shown even when
    // no progress was up.
    static void dismissWithError(const std::string& text);
    static void dismissWithError(const std::string& text, double delay);

    // State, for tests and the host's checks.
    static bool isVisible();
    static std::string status();
    static SVProgressHUDMark mark();
    static SVProgressHUDMaskType maskType();
    // The overlay view while visible (null otherwise).
    static std::shared_ptr<UIView> overlayView();
};
