#pragma once
// The desktop window: the phone's 320 x 480 point screen, scaled (2x by
// default), redrawn when a view changed and twice a second for the status-bar
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
        double scale = 2;
        std::string title = "roduvede";
    };
    DesktopHost();
    explicit DesktopHost(Options options);
    ~DesktopHost();
    DesktopHost(const DesktopHost&) = delete;
    DesktopHost& operator=(const DesktopHost&) = delete;

    // Whether a display is there to open a window on (DISPLAY or WAYLAND_DISPLAY).
    static bool displayAvailable();
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
