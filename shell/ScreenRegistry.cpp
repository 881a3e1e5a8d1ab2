#include "shell/ScreenRegistry.h"

#include <algorithm>

#include "platform/uikit/UIViewController.h"

ScreenRegistry& ScreenRegistry::shared() {
    static ScreenRegistry registry;
    return registry;
}

void ScreenRegistry::addScreen(const std::string& command, ScreenFactory factory, ScreenOptions options) {
    if (command.empty() || !factory) return;
    if (options.tradeScreen) tradeCommands_.insert(command);
    screens_[command] = Entry{std::move(factory), options};
}

void ScreenRegistry::addScreenClass(const std::string& screenClass, ScreenClassFactory factory) {
    if (screenClass.empty()) return;
    if (factory)
        screenClass_[screenClass] = std::move(factory);
    else
        screenClass_.erase(screenClass);
}

void ScreenRegistry::reset() { *this = ScreenRegistry(); }

const ScreenRegistry::Entry* ScreenRegistry::screen(const std::string& command) const {
    auto it = screens_.find(command);
    return it == screens_.end() ? nullptr : &it->second;
}

const ScreenClassFactory* ScreenRegistry::screenClass(const std::string& screenClass) const {
    auto it = screenClass_.find(screenClass);
    return it == screenClass_.end() ? nullptr : &it->second;
}

std::vector<std::string> ScreenRegistry::commands() const {
    std::vector<std::string> out;
    for (const auto& [command, entry] : screens_) out.push_back(command);
    return out;
}

void ScreenRegistry::rememberTradeScreen(const std::shared_ptr<UIViewController>& vc) {
    if (!vc) return;
    tradeScreens_.erase(
        std::remove_if(tradeScreens_.begin(), tradeScreens_.end(), [](const auto& w) { return w.expired(); }),
        tradeScreens_.end());
    tradeScreens_.push_back(vc);
}

bool ScreenRegistry::isRememberedTradeScreen(const UIViewController* vc) const {
    if (!vc) return false;
    for (const auto& w : tradeScreens_)
        if (auto s = w.lock(); s && s.get() == vc) return true;
    return false;
}

std::vector<std::shared_ptr<UIViewController>> ScreenRegistry::liveTradeScreens() const {
    std::vector<std::shared_ptr<UIViewController>> out;
    for (const auto& w : tradeScreens_)
        if (auto s = w.lock()) out.push_back(s);
    return out;
}
