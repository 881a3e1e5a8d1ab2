// Pushed messages and news. What other screens open:
//   the inbox        the home screen's "pushmsg" (and the dispatcher for a "pushmsg" link)
//   a message        the home screen's list and its pending pushed message
//   "msgsetting"     the settings screen's "消息提醒设置"
// and the news links of the menu: "newslist?..." (a column's headlines) and
// "newscontent?..." (one article).
#include "messages/MessageScreens.h"

#include "messages/InfoContentViewController.h"
#include "messages/InfoTitleViewController.h"
#include "messages/MEDetailViewController.h"
#include "messages/MENotificationSettingViewController.h"
#include "messages/MessageExpressViewController.h"
#include "platform/foundation/NSUserDefaults.h"
#include "shell/ScreenRegistry.h"

void registerMessageScreens(ScreenRegistry& registry) {
    registry.setMessageInbox([](bool favoriteOrAll, int sortType) {
        return std::make_shared<MessageExpressViewController>(favoriteOrAll, sortType);
    });
    registry.setMessageDetail(
        [](const std::shared_ptr<QZMessageExpress>& m) { return std::make_shared<MEDetailViewController>(m, false); });
    registry.addScreen("pushmsg",
                       [](const auto&) {
                           auto sortType = NSUserDefaults::standardUserDefaults().integerForKey(
                               MessageExpressViewController::kSortTypeKey);
                           return std::make_shared<MessageExpressViewController>(false, static_cast<int>(sortType));
                       },
                       {.keepsTitle = true, .withoutMenu = true});
    registry.addScreen("msgsetting",
                       [](const auto&) { return std::make_shared<MENotificationSettingViewController>(); },
                       {.keepsTitle = true, .withoutMenu = true});
    registry.addScreenClass("InfoTitleViewController",
                            [](const LinkSetup&, const auto&) { return std::make_shared<InfoTitleViewController>(); });
    registry.addScreenClass("InfoContentViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<InfoContentViewController>();
    });
}
