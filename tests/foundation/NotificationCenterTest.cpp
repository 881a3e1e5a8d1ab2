#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/NSNotificationCenter.h"

namespace {

// A private centre per test; the default one is shared by the whole program.
struct Observer {
    std::vector<std::string> heard;
};

}  // namespace

TEST(NotificationCenter, DeliversObjectAndUserInfoToObserversOfThatNameOnly) {
    NSNotificationCenter center;
    Observer a, b;
    std::any seenObject;
    Value seenInfo;
    center.addObserver(&a, "FastestHostNotification", [&](const NSNotification& n) {
        a.heard.push_back(n.name);
        seenObject = n.object;
        seenInfo = n.userInfo;
    });
    center.addObserver(&b, "NewMessageExpressNotification",
                       [&](const NSNotification& n) { b.heard.push_back(n.name); });
    center.postNotificationName("FastestHostNotification", std::string("host"), Value(Value::Dict{{"ms", Value(12)}}));
    EXPECT_EQ(a.heard, std::vector<std::string>{"FastestHostNotification"});
    EXPECT_TRUE(b.heard.empty());
    EXPECT_EQ(std::any_cast<std::string>(seenObject), "host");
    EXPECT_EQ(seenInfo["ms"].toInt(), 12);
}

TEST(NotificationCenter, ObserverRemovedDuringAPostIsNotCalledAfterwards) {
    NSNotificationCenter center;
    Observer first, second, third;
    center.addObserver(&first, "N", [&](const NSNotification&) {
        first.heard.push_back("N");
        center.removeObserver(&second);
    });
    center.addObserver(&second, "N", [&](const NSNotification&) { second.heard.push_back("N"); });
    center.addObserver(&third, "N", [&](const NSNotification&) {
        third.heard.push_back("N");
        center.removeObserver(&third);  // removing itself while being called
    });
    center.postNotificationName("N");
    center.postNotificationName("N");
    EXPECT_EQ(first.heard.size(), 2u);
    EXPECT_TRUE(second.heard.empty());
    EXPECT_EQ(third.heard.size(), 1u);
    EXPECT_EQ(center.observerCount(), 1u);
}

TEST(NotificationCenter, ReentrantPostsAndAddsDuringAPostAreSafe) {
    NSNotificationCenter center;
    std::vector<std::string> order;
    Observer outer, inner, late;
    center.addObserver(&outer, "Outer", [&](const NSNotification&) {
        order.push_back("outer-begin");
        center.postNotificationName("Inner");
        center.addObserver(&late, "Outer", [&](const NSNotification&) { order.push_back("late"); });
        order.push_back("outer-end");
    });
    center.addObserver(&inner, "Inner", [&](const NSNotification&) { order.push_back("inner"); });
    center.postNotificationName("Outer");
    EXPECT_EQ(order, (std::vector<std::string>{"outer-begin", "inner", "outer-end"}))
        << "an observer added during a post first hears the next one";
    order.clear();
    center.removeObserver(&outer);
    center.postNotificationName("Outer");
    EXPECT_EQ(order, std::vector<std::string>{"late"});
}

TEST(NotificationCenter, RemovingOneNameKeepsTheObserversOtherNames) {
    NSNotificationCenter center;
    Observer o;
    center.addObserver(&o, "A", [&](const NSNotification& n) { o.heard.push_back(n.name); });
    center.addObserver(&o, "B", [&](const NSNotification& n) { o.heard.push_back(n.name); });
    center.removeObserver(&o, "A");
    center.postNotificationName("A");
    center.postNotificationName("B");
    EXPECT_EQ(o.heard, std::vector<std::string>{"B"});
}

TEST(NotificationCenter, EmptyNameObservesEveryNotification) {
    NSNotificationCenter center;
    Observer o;
    center.addObserver(&o, "", [&](const NSNotification& n) { o.heard.push_back(n.name); });
    center.postNotificationName("X");
    center.postNotificationName("Y");
    EXPECT_EQ(o.heard, (std::vector<std::string>{"X", "Y"}));
}

TEST(NotificationCenter, DefaultCenterIsOneSharedCentre) {
    auto& center = NSNotificationCenter::defaultCenter();
    EXPECT_EQ(&center, &NSNotificationCenter::defaultCenter());
    int calls = 0;
    center.addObserver(&calls, "QZAccountNumberDidChangedNotification", [&](const NSNotification&) { ++calls; });
    center.postNotificationName("QZAccountNumberDidChangedNotification");
    center.removeObserver(&calls);
    center.postNotificationName("QZAccountNumberDidChangedNotification");
    EXPECT_EQ(calls, 1);
}
