#pragma once
// The host without a display: the application's key window rendered to an
// image at 2 pixels per point, driven by a finger and a keyboard made of calls.
// Tests and the script driver use it; every call works in the application's
// screen points (320 x 480) and runs the main loop as a person's action would
// (a tap lasts 50 ms of the run loop's time).
#include "platform/graphics/Geometry.h"

#include <memory>
#include <string>
#include <vector>

class UIImage;
class UIView;
class UIWindow;

class HeadlessHost {
public:
    HeadlessHost() = default;

    // A white 320 x 480 window made key and visible (for programs and tests
    // that have none yet).
    static std::shared_ptr<UIWindow> makeKeyWindow();
    UIWindow* window() const;

    // ---- the finger ----
    void tap(double x, double y);
    void doubleTap(double x, double y);
    void drag(double x1, double y1, double x2, double y2, int steps = 10);
    // Two fingers on a horizontal line through (cx, cy), their distance going from `from` to `to`.
    void pinch(double cx, double cy, double from, double to, int steps = 10);
    // The same along a vertical line: one finger above (cx, cy), one below.
    void verticalPinch(double cx, double cy, double from, double to, int steps = 10);
    // Taps the centre of the visible part of the frontmost view showing the text; false when none.
    bool tapText(const std::string& text);

    // ---- the keyboard ----
    // Types into the first responder; false when no text responder is being edited.
    bool type(const std::string& text);
    // "return", "backspace" (or "delete"), else a key of the on-screen keyboard
    // by its title ("1", "完成"...), tapped as a finger would. False when there is no such key.
    bool key(const std::string& name);

    // ---- alerts and action sheets ----
    // Presses the button of the frontmost alert or action sheet with this title.
    bool pressAlertButton(const std::string& title);

    // ---- time ----
    // Runs the main loop for the time: virtual time when the Clock is frozen.
    void runFor(double seconds);
    // Runs until a visible view shows the text; false when the timeout passed.
    // With a frozen Clock the timeout is virtual time, and replies posted by
    // other threads are waited for in real time up to the real-time limit.
    bool waitForText(const std::string& text, double timeout = 10);
    // The real time a wait may spend on replies of other threads (10 s; tests
    // without such threads set 0 so that a failing wait costs no real time).
    void setRealTimeLimit(double seconds) { realTimeLimit_ = seconds; }

    // ---- what is on screen ----
    bool isTextVisible(const std::string& text) const;
    // The frontmost visible view showing the text, or null.
    UIView* findText(const std::string& text) const;
    std::vector<std::string> visibleTexts() const;
    std::string viewTreeText() const;
    // The screen as the phone shows it (status bar included); null without a key window.
    std::shared_ptr<UIImage> render(double scale = 2) const;
    bool screenshot(const std::string& path, std::string* error = nullptr) const;

    // ---- the life cycle ----
    void background();
    void foreground();
    void terminate();

private:
    // Two fingers moving symmetrically about (cx, cy) along the unit direction (dx, dy).
    void pinchAlong(double cx, double cy, double dx, double dy, double from, double to, int steps);

    double realTimeLimit_ = 10;
};
