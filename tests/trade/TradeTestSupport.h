#pragma once
// The trade screens against the simulator: ScreensTest's application and
// navigation stack (root "首页") with the trade folder's screens registered, a
// fresh Documents folder with the application database (branches used),
// settings and token file, the registered phone 13800138000, no account of
// an earlier test, and the simulator with a live service session.
#include <gtest/gtest.h>

#include "core/security/BrasnikSignManager.h"
#include "core/storage/DaoFactory.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UISegmentedControl.h"
#include "shell/TradeSession.h"
#include "sim/SimTrade.h"
#include "tests/shell/ScreensTestSupport.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TradeLoginSupport.h"
#include "trade/TradeScreens.h"
#include "ui/SVProgressHUD.h"

inline constexpr const char* kTestPhone = "13800138000";

class TradeTest : public ScreensTest {
protected:
    void SetUp() override {
        docs = std::make_unique<ScopedDocuments>();
        ScreensTest::SetUp();
        ASSERT_EQ(DaoFactory::sharedInstance().setUpDatabase(), DatabaseSetupResult::Ok);
        registerTradeScreens(ScreenRegistry::shared());
        VTAUserDefoult::standerDefoult().setString(kTestPhone, "your phone number");
        BrasnikSignManager::defaultManager().reload();
        forgetAccounts();
        startSimulator();
    }
    void TearDown() override {
        for (auto& a : UIAlertView::visibleAlerts()) a->dismissWithClickedButtonIndex(-1, false);
        SVProgressHUD::dismiss();
        ScreensTest::TearDown();
        forgetAccounts();
        DaoFactory::sharedInstance().close();
        docs.reset();
        BrasnikSignManager::defaultManager().reload();
        VTAUserDefoult::standerDefoult().reload();
    }

    // The accounts of the run (and the saved ones of the Documents folder).
    static void forgetAccounts() {
        auto& run = VTAAccountManager::tradeAccountManager();
        while (run.count() > 0) run.removeAccount(*run.accountAtIndex(0));
        VTAAccountManager::savedAccountManager().reload();
    }

    template <class F>
    decltype(auto) books(F&& f) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) { return f(r.books); });
    }

    static bool sentInClear(const SimRecord& r, const std::string& key) {
        for (const auto& f : r.clearFields)
            if (f.key == key) return true;
        return false;
    }
    std::string sessionValue(const char* key) const {
        return VTAParamter::shareParamter().getStringForKey(key).value_or("");
    }
    // Taps the view (a field, a button) at its centre, as a finger does.
    void tapView(UIView* v) {
        ASSERT_TRUE(v && v->window());
        v->window()->layoutIfNeeded();  // as the screen was last drawn
        CGRect f = v->convertRectToView(v->bounds(), nullptr);
        host.tap(f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2);
    }
    // A finger's press that turns no loop: touched and let go at the view's
    // centre at once. A tap lasts 50 ms of the loop, which first waits (up to
    // seconds) for an answer the test holds; this press does not.
    void pressAtOnce(UIView* v) {
        ASSERT_TRUE(v && v->window());
        v->window()->layoutIfNeeded();
        CGRect f = v->convertRectToView(v->bounds(), nullptr);
        const CGPoint at = CGPointMake(CGRectGetMidX(f), CGRectGetMidY(f));
        UIApplication::sharedApplication().touchesBeganAt({at});
        UIApplication::sharedApplication().touchesEndedAt({at});
    }
    // Types into a field after tapping it, then closes the keyboard with "完成" when it has one.
    void typeInto(UIView* field, const std::string& text) {
        tapView(field);
        ASSERT_TRUE(host.type(text)) << "nothing is being edited";
        if (!host.key("完成")) host.key("return");
        settle(0.5);
    }
    // A row of a plain table touched by a finger, near its left end.
    void tapRow(UITableView* table, int row) {
        ASSERT_TRUE(table && table->window());
        table->window()->layoutIfNeeded();
        CGRect r = table->convertRectToView(table->rectForRowAtIndexPath({0, row}), nullptr);
        host.tap(r.origin.x + 60, r.origin.y + r.size.height / 2);
        settle(0.5);
    }
    // Types into a plain field and closes the keyboard with Return.
    void typeInField(UIView* field, const std::string& text) {
        tapView(field);
        ASSERT_TRUE(host.type(text)) << "nothing is being edited";
        host.key("return");
        settle(0.5);
    }
    // A plain trade login pushed and shown; with waitForBranch, once its branch is known.
    std::shared_ptr<VTATradeLoginViewController> openLogin(bool waitForBranch = true) {
        auto login = std::make_shared<VTATradeLoginViewController>();
        pushViewController(login);
        settle();
        if (waitForBranch) {
            EXPECT_TRUE(waitFor([&] { return login->isBranchListOK(); }));
        }
        return login;
    }
    bool alertShown(const std::string& title) {
        return waitFor([&] { return topAlertTitle() == title; });
    }
    // Turns a wheel of the picker to the row a row at a time, as a finger taps the next row.
    void pickRow(UIPickerView* picker, int row, int component = 0) {
        CGRect wheel = picker->convertRectToView(picker->rectForComponent(component), nullptr);
        const double rowHeight = picker->rowSizeForComponent(component).height;
        for (int at = std::max(0, picker->selectedRowInComponent(component)); at != row; at += row > at ? 1 : -1) {
            host.tap(wheel.origin.x + wheel.size.width / 2,
                     wheel.origin.y + wheel.size.height / 2 + (row > at ? rowHeight : -rowHeight));
            settle(1);
        }
        ASSERT_EQ(picker->selectedRowInComponent(component), row);
    }
    // Taps a segment of a control as a finger does.
    void tapSegment(UISegmentedControl* control, int segment) {
        CGRect on = control->convertRectToView(control->rectForSegment(segment), nullptr);
        host.tap(on.origin.x + on.size.width / 2, on.origin.y + on.size.height / 2);
    }

    std::unique_ptr<ScopedDocuments> docs;
};
