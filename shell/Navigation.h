#pragma once
// The application's navigation stack and the functions every screen uses to
// move on it. The application delegate installs its navigation controller at
// launch; the functions do nothing (and answer false) while there is none.
// A null screen is never pushed.
#include <memory>

class UINavigationController;
class UIViewController;

// The navigation controller of the application window (null before launch).
std::shared_ptr<UINavigationController> applicationNavigationController();
// Kept weakly: the window (through its delegate) owns the controller.
void setApplicationNavigationController(std::shared_ptr<UINavigationController> nav);

// Pushes the screen, animated. false when the screen is null or there is no stack.
bool pushViewController(std::shared_ptr<UIViewController> vc);
// Puts the new screen in place of the old one: inserts it below the old one
// and pops the top, animated. Pushes the new screen when no old screen is
// given, or when the old one is not on the stack.
bool pushViewControllerBefore(std::shared_ptr<UIViewController> newVc, const UIViewController* oldVc);
// Pops that many screens (never the root); one animated transition, so the
// screens between never come on screen.
void popViewControllers(int count);
// Pops to the root screen, animated.
void popToRootViewController();
