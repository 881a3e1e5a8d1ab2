#pragma once
// The disclaimer. Opened from the settings it only shows the text; the login
// road shows it with a completion and the toolbar buttons "同意" and "不同意":
// the completion hears true for "同意", false for "不同意" (the screen does
// not leave by itself: the caller decides what comes next).
#include <functional>

#include "shell/VTATextPageViewController.h"

class VTADisclaimerViewController : public VTATextPageViewController {
public:
    using Completion = std::function<void(bool agreed)>;

    VTADisclaimerViewController();
    static const char* disclaimerText();

    // With a completion the screen asks for agreement.
    void setCompletion(Completion completion) { completion_ = std::move(completion); }
    bool asksForAgreement() const { return static_cast<bool>(completion_); }
    void agree() { finish(true); }
    void disagree() { finish(false); }

    void createToolbarItems() override;

private:
    void finish(bool agreed);
    Completion completion_;
};
