#pragma once
// The whole client against the simulator, logged in on the home screen with
// the week's pushed messages fetched into its store; pushes of the simulator
// reach the client as the phone's push notifications (as in the client's
// main). The finger is the headless host's.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/storage/DaoFactory.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "messages/MEDetailViewController.h"
#include "messages/MESummarySectionHeader.h"
#include "messages/MessageExpressViewController.h"
#include "platform/host/HeadlessHost.h"
#include "platform/services/RemoteNotifications.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "shell/Navigation.h"
#include "tests/shell/LaunchTestSupport.h"
#include "tests/support/Screenshots.h"
#include "tests/support/SimRequestFields.h"
#include "ui/SVSegmentedControl.h"

// 2024-03-05 (a Tuesday) 13:30 in Shanghai: 00:30 of the same day in New York,
// where the tests run, so the phone's days and the server's agree.
inline constexpr double kMessagesAfternoon = kLaunchMorning + 3 * 3600;

class MessagesClientTest : public LaunchFixture {
protected:
    // The moment both clocks show (the server's messages are of the week before it).
    virtual double startTime() const { return kMessagesAfternoon; }

    void SetUp() override {
        LaunchFixture::SetUp();
        Clock::freezeAt(startTime());
        sim->clock().setTime(startTime());
        sim->setPushObserver([](const SimMessage& m) {
            Value::Dict aps;
            aps["alert"] = m.title;
            Value::Dict payload;
            payload["aps"] = Value(aps);
            payload["msg_id"] = std::to_string(m.msgId);
            RemoteNotificationService::shared().deliver(Value(payload));
        });
        ASSERT_TRUE(launch());
        reachHomeFirstTime();
        ASSERT_FALSE(HasFatalFailure());
        // The five messages waiting on the server arrive after the login.
        ASSERT_TRUE(waitFor([&] { return storedCount() == 5; }));
        host.setRealTimeLimit(10);
    }
    void TearDown() override {
        sim->setPushObserver(nullptr);
        NSUserDefaults::standardUserDefaults().removeObjectForKey(MessageExpressViewController::kSortTypeKey);
        LaunchFixture::TearDown();
    }

    static std::shared_ptr<MessageExpressDaoImpl> store() { return DaoFactory::sharedInstance().messageExpressDao(); }
    static size_t storedCount() {
        auto all = store() ? store()->listRecentMessagesWithLimit(1000) : std::nullopt;
        return all ? all->size() : 0;
    }
    static std::shared_ptr<QZMessageExpress> storedWithTitle(const std::string& title) {
        auto all = store()->listRecentMessagesWithLimit(1000);
        for (const auto& m : *all)
            if (m->messageTitle() == title) return m;
        return nullptr;
    }

    // The customer taps "消息" on the home board.
    MessageExpressViewController* openInbox() {
        EXPECT_TRUE(home());
        if (!host.tapText("消息")) return nullptr;
        run(1);
        return inbox();
    }
    MessageExpressViewController* inbox() const { return dynamic_cast<MessageExpressViewController*>(top()); }
    MEDetailViewController* detail() const { return dynamic_cast<MEDetailViewController*>(top()); }

    // The labels of the inbox's group headers, in order.
    static std::vector<std::string> headerLabels(const MessageExpressViewController& box) {
        std::vector<std::string> out;
        for (const auto& h : box.cacheOfHeaders()) out.push_back(h->sortordStr());
        return out;
    }
    static std::vector<std::string> rowTitles(const MessageExpressViewController& box) {
        std::vector<std::string> out;
        for (const auto& m : box.messageExpressItems()) out.push_back(m->messageTitle());
        return out;
    }
    // Taps the header of the group with that label.
    bool tapHeader(const MessageExpressViewController& box, const std::string& label) {
        for (size_t i = 0; i < box.cacheOfHeaders().size(); ++i)
            if (box.cacheOfHeaders()[i]->sortordStr() == label) {
                box.tableView()->scrollRectToVisible(box.tableView()->rectForHeaderInSection(static_cast<int>(i)),
                                                     false);
                box.tableView()->layoutIfNeeded();
                return tapView(box.cacheOfHeaders()[i].get());
            }
        return false;
    }
    // Taps a segment of the grouping switch ("按发送者", "按日期", "按股票").
    bool tapSegment(const MessageExpressViewController& box, int index) {
        auto* control = box.sortSegment();
        if (!control) return false;
        if (auto* window = UIApplication::sharedApplication().keyWindow()) window->layoutIfNeeded();
        CGRect r = control->convertRectToView(control->segmentRect(index), nullptr);
        host.tap(CGRectGetMidX(r), CGRectGetMidY(r));
        return true;
    }
    bool tapView(UIView* v) {
        if (!v) return false;
        if (auto* window = UIApplication::sharedApplication().keyWindow()) window->layoutIfNeeded();
        CGRect r = v->convertRectToView(v->bounds(), nullptr);
        host.tap(CGRectGetMidX(r), CGRectGetMidY(r));
        return true;
    }

    HeadlessHost host;
};
