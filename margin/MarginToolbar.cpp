#include "margin/MarginToolbar.h"

#include "platform/uikit/UINavigationBar.h"
#include "shell/VTAViewControllers.h"

void setMarginToolbar(VTAViewControllers& screen) {
    setMarginToolbar(screen, "首页", [&screen] { screen.onCommandHome(); });
}

void setMarginToolbar(VTAViewControllers& screen, const std::string& firstTitle, std::function<void()> firstAction) {
    auto item = [&screen](const std::string& title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, &screen,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    screen.toolbar()->setItems({item(firstTitle, std::move(firstAction)), screen.flexibleSpaceBarBtn(),
                                screen.stockFinderButton(), screen.flexibleSpaceBarBtn(),
                                item("确定", [&screen] { screen.onCommandOK(); })});
}
