#pragma once
// The button factory of the older screens: the few kinds of buttons they
// place, made in one call with their action. Actions get the button; the
// button is the owner of its own action (nothing to remove later).
//   roundedButton     a rounded-rect button with a title
//   imageButton       a custom button on a bundle background image (its
//                     "_pressed"-less look darkens while pressed), title optional
//   glossyButton      a UIGlossyButton in a colour with a white title
//   checkButton       a check box on "checked.png" / "unchecked.png" that flips
//                     its selection on a tap, then calls the action
//   toolbarItem       a bordered toolbar item with a title
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UIButton.h"

#include <functional>
#include <memory>
#include <string>

class UIGlossyButton;

class VTAButtonFactory {
public:
    using Action = std::function<void(UIButton& button)>;

    static std::shared_ptr<UIButton> roundedButton(const std::string& title, const CGRect& frame,
                                                   Action action = nullptr);
    // Background image by bundle name; a missing image leaves a plain button.
    static std::shared_ptr<UIButton> imageButton(const std::string& imageName, const CGRect& frame,
                                                 Action action = nullptr, const std::string& title = "",
                                                 const std::string& highlightedImageName = "");
    static std::shared_ptr<UIGlossyButton> glossyButton(const std::string& title, std::shared_ptr<UIColor> color,
                                                        const CGRect& frame, Action action = nullptr);
    static std::shared_ptr<UIButton> checkButton(const CGRect& frame, bool checked, Action action = nullptr);
    static std::shared_ptr<UIBarButtonItem> toolbarItem(const std::string& title, std::function<void()> action);
};
