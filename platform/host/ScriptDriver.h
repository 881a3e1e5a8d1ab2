#pragma once
// Scripts that drive the headless host, one command per line. Blank lines and
// lines starting with "#" are skipped. Coordinates are screen points.
//
//   tap X Y                      one finger taps
//   doubletap X Y
//   drag X1 Y1 X2 Y2 [STEPS]     a one-finger drag (10 steps of 30 ms by default)
//   pinch CX CY FROM TO          two fingers left and right of (CX, CY), from FROM to TO points apart
//   vpinch CX CY FROM TO         the same with one finger above (CX, CY) and one below
//   taptext TEXT                 taps the frontmost visible view showing TEXT
//   type TEXT                    types into the text field being edited ("\n" in quotes presses return)
//   key NAME                     return, backspace, or a key of the on-screen keyboard by its title
//   wait SECONDS                 runs the main loop (virtual time when the clock is frozen)
//   waitfor TEXT [TIMEOUT]       runs until a visible view shows TEXT (10 s by default)
//   expect TEXT / expectnot TEXT a visible view shows (does not show) TEXT
//   alert BUTTONTITLE            presses a button of the visible alert or action sheet
//   screenshot FILE.png          saves the screen (relative to the script's folder)
//   tree                         prints the view tree
//   echo TEXT                    prints TEXT
//   background / foreground      sends the application to the background and back
//   clock +SPAN / clock TIME     moves the market's clock (setMarketClock): "+30s",
//                                "+15m", "+2h", "+1d", or to "yyyy-MM-dd HH:mm"
//
// TEXT is the rest of the line, or a double-quoted string (escapes \" \\ \n \t),
// after which optional arguments may follow: `waitfor "买 入" 5`. An unquoted
// `waitfor` text of several words ending in a number takes that number as its timeout.
// A view "shows" TEXT when its text equals or contains it.
// Errors (an unknown command, a wrong argument, a failed expectation, a missing
// button) stop the script and name the line.
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class HeadlessHost;

struct ScriptCommand {
    int line = 0;
    std::string name;
    std::vector<double> numbers;  // numeric arguments
    std::string text;             // the text argument
};

struct ScriptError {
    int line = 0;
    std::string message;
    // "line N: message"
    std::string describe() const;
};

// Parses a whole script; the first error stops it.
std::optional<ScriptError> parseScript(const std::string& script, std::vector<ScriptCommand>& commands);

class ScriptDriver {
public:
    ScriptDriver(HeadlessHost& host, std::ostream& out);

    // Where relative screenshot paths go (the current folder by default).
    void setBaseDirectory(const std::string& dir) { baseDirectory_ = dir; }
    // What moves the market's clock for "clock TEXT": answers an error, or
    // nothing when it moved. Without one "clock" fails.
    using MarketClock = std::function<std::optional<std::string>(const std::string& text)>;
    void setMarketClock(MarketClock mover) { marketClock_ = std::move(mover); }

    std::optional<ScriptError> run(const std::vector<ScriptCommand>& commands);
    std::optional<ScriptError> runScript(const std::string& script);
    // Reads the file (base directory: the file's folder unless set).
    std::optional<ScriptError> runFile(const std::string& path);

private:
    std::optional<std::string> execute(const ScriptCommand& command);

    HeadlessHost& host_;
    std::ostream& out_;
    std::string baseDirectory_;
    MarketClock marketClock_;
};
