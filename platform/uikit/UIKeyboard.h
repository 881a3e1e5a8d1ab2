#pragma once
// The input area at the bottom of the screen: the on-screen keyboard for the
// first responder's keyboard type, or the responder's own input view (a
// picker), with its accessory bar above. It appears when a text responder
// becomes first and leaves when none is, posting the keyboard notifications
// with the frame in userInfo (screen coordinates, [x, y, width, height]).
//
// The responder being typed into stays in sight: when the area shows for it
// (or the focus moves on under it), the scroll view that holds it scrolls it
// between its top edge and the area, counted from where the screen's own
// scrolling brings it to rest. A tap on the accessory bar outside its
// buttons, where the bar covers another text field, goes to that field.
#include "platform/foundation/Value.h"
#include "platform/uikit/UITextInput.h"
#include "platform/uikit/UIView.h"

#include <memory>
#include <string>
#include <vector>

inline const char* const UIKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline const char* const UIKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline const char* const UIKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline const char* const UIKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline const char* const UIKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline const char* const UIKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline const char* const UIKeyboardBoundsUserInfoKey = "UIKeyboardBoundsUserInfoKey";
inline const char* const UIKeyboardCenterBeginUserInfoKey = "UIKeyboardCenterBeginUserInfoKey";
inline const char* const UIKeyboardCenterEndUserInfoKey = "UIKeyboardCenterEndUserInfoKey";
inline const char* const UIKeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";
inline const char* const UIKeyboardAnimationCurveUserInfoKey = "UIKeyboardAnimationCurveUserInfoKey";

// Reads a rectangle ([x, y, w, h]) of a keyboard notification's userInfo; zero when absent.
CGRect keyboardRectFromUserInfo(const Value& userInfo, const std::string& key);

class UIWindow;
// The view a touch reaches (the window's hit test gave `hit`): where the
// input area's accessory bar is touched outside its buttons over a text field
// of the screen, the field the finger aimed at; else `hit`.
UIView* inputAreaTouchTarget(UIWindow& window, CGPoint windowPoint, UIEvent* event, UIView* hit);

class UIKeyboard : public UIView {
public:
    static constexpr double kHeight = 216;

    UIKeyboard();
    std::string className() const override { return "UIKeyboard"; }

    // The keyboard view (whether or not it is on screen).
    static UIKeyboard& keyboard();
    // The input area's frame on screen while shown (keyboard or input view plus accessory).
    static bool isShown();
    static CGRect frameOnScreen();

    // ---- host entry points ----
    // Types text into the first responder as key presses, one character at a
    // time (a run of non-ASCII characters is one input-method word):
    // characters the keyboard's type does not offer are dropped, "\n" presses
    // return. Typing stops when the responder gives up being first.
    static void typeText(const std::string& text);
    static void pressDelete();
    static void pressReturn();

    UIKeyboardType keyboardType() const { return type_; }
    void configure(UIKeyboardType type, UIReturnKeyType returnKey);
    // The key showing this title ("1", "q", "完成", "删除", "空格"...), for taps.
    UIView* keyWithTitle(const std::string& title) const;
    std::vector<std::string> keyTitles() const;
    // Pressed by the key views.
    void keyPressed(const std::string& title);

    void drawRect(const CGRect& rect) override;

private:
    void rebuild();

    UIKeyboardType type_ = UIKeyboardType::Default;
    UIReturnKeyType returnKey_ = UIReturnKeyType::Default;
    bool numbers_ = false;
    bool symbols_ = false;
    bool shift_ = false;
    std::vector<std::shared_ptr<UIView>> keys_;
};
