#pragma once
// The desktop window: the phone's 320 x 480 point screen, scaled (2x, or less
// when a 640 x 960 window would not fit the display, so that the status and
// navigation bars never fall off the top), redrawn when a view changed and
// twice a second for the status-bar
// clock. The mouse is one finger; dragging with Ctrl or Alt held moves two
// fingers mirrored about the screen's centre (a pinch). Typed text, Backspace
// and Return go to the text field being edited. Closing the window terminates
// the application; minimising sends it to the background, restoring brings it
// back; losing the focus makes it inactive.
#include <memory>
#include <string>

class DesktopHost {
public:
    struct Options {
        // Window pixels per screen point, kMinScale to kMaxScale; 0 picks one
        // that fits the display (fittingScale).
        double scale = 0;
        std::string title = "roduvede";
    };
    static constexpr double kMinScale = 0.5, kMaxScale = 4, kPreferredScale = 2;
    DesktopHost();
    explicit DesktopHost(Options options);
    ~DesktopHost();
    DesktopHost(const DesktopHost&) = delete;
    DesktopHost& operator=(const DesktopHost&) = delete;

    // Whether a display is there to open a window on (DISPLAY or WAYLAND_DISPLAY).
    static bool displayAvailable();
    // The scale for a display whose usable area (without its panels) is
    // width x height pixels: kPreferredScale when the window fits, else the
    // largest multiple of 0.25 at which it does, leaving room for the window's
    // title bar; never below kMinScale.
    static double fittingScale(int usableWidth, int usableHeight);
    // The scale the window has (chosen by open() when the options left it to fit).
    double scale() const;
    // Opens the window; false with a reason when SDL cannot.
    bool open(std::string* error = nullptr);
    // Runs the main loop and the window until it is closed or quit() is called.
    int run();
    // Ends run() after the current turn (from any code on the main loop).
    void quit();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
