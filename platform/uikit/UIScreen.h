#pragma once
// The phone's screen: 320 x 480 points at 2 pixels per point, a 20-point status bar.
#include "platform/graphics/Geometry.h"

#include <string>

class UIScreen {
public:
    static UIScreen& mainScreen();
    CGRect bounds() const { return CGRectMake(0, 0, 320, 480); }
    // Below the status bar (the whole screen while it is hidden).
    CGRect applicationFrame() const;
    double scale() const { return 2; }
};

// The device: system version ("4.1" unless set, so both generations of the
// screens that branch on it can be run), model and names.
class UIDevice {
public:
    static UIDevice& currentDevice();
    const std::string& systemVersion() const { return systemVersion_; }
    void setSystemVersion(const std::string& v) { systemVersion_ = v; }
    std::string systemName() const { return "iPhone OS"; }
    std::string model() const { return "iPhone"; }
    const std::string& name() const { return name_; }
    void setName(const std::string& n) { name_ = n; }

private:
    std::string systemVersion_ = "4.1";
    std::string name_ = "iPhone";
};

// Numeric comparison of dotted version texts ("4.10" > "4.9"); -1, 0, 1.
int compareVersionStrings(const std::string& a, const std::string& b);
