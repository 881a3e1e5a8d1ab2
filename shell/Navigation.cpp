#include "shell/Navigation.h"

#include <algorithm>

#include "platform/uikit/UINavigationController.h"

namespace {
std::weak_ptr<UINavigationController>& navSlot() {
    static std::weak_ptr<UINavigationController> nav;
    return nav;
}
}  // namespace

std::shared_ptr<UINavigationController> applicationNavigationController() { return navSlot().lock(); }

void setApplicationNavigationController(std::shared_ptr<UINavigationController> nav) { navSlot() = nav; }

bool pushViewController(std::shared_ptr<UIViewController> vc) {
    auto nav = applicationNavigationController();
    if (!nav || !vc) return false;
    nav->pushViewController(std::move(vc), true);
    return true;
}

bool pushViewControllerBefore(std::shared_ptr<UIViewController> newVc, const UIViewController* oldVc) {
    auto nav = applicationNavigationController();
    if (!nav || !newVc) return false;
    auto stack = nav->viewControllers();
    auto it = std::find_if(stack.begin(), stack.end(), [&](const auto& vc) { return vc.get() == oldVc; });
    if (!oldVc || it == stack.end()) {
        nav->pushViewController(std::move(newVc), true);
        return true;
    }
    if (it + 1 == stack.end()) {
        // The old screen is on top: slide the new one in from below it.
        stack.insert(it, newVc);
        nav->setViewControllers(stack, false);
        nav->popViewControllerAnimated(true);
    } else {
        // The old screen is deeper: replace it in place; what is shown stays.
        *it = newVc;
        nav->setViewControllers(stack, false);
    }
    return true;
}

void popViewControllers(int count) {
    auto nav = applicationNavigationController();
    if (!nav || count <= 0) return;
    const auto& stack = nav->viewControllers();
    if (stack.size() < 2) return;
    int keep = std::max(1, static_cast<int>(stack.size()) - count);
    nav->popToViewController(stack[keep - 1].get(), true);
}

void popToRootViewController() {
    if (auto nav = applicationNavigationController()) nav->popToRootViewControllerAnimated(true);
}
