#pragma once
// The fund screens against the simulator: the order screens' application
// (tests/trade/OrderTestSupport.h: customer A logged in to trading, the
// sheet, alert and picker fingers) with the fund screens registered, and
// readers of the brokerage's fund side (its room, SimFunds.h).
#include "tests/trade/OrderTestSupport.h"

#include "funds/FundForm.h"
#include "funds/FundScreens.h"
#include "platform/uikit/UITableViewCell.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UILabel.h"
#include "sim/SimFunds.h"
#include "ui/VTATextField.h"

class FundTest : public OrderTest {
protected:
    void SetUp() override {
        OrderTest::SetUp();
        registerFundScreens(ScreenRegistry::shared());
    }

    // The screen of a menu link, opened as a tap on its item does.
    template <class Screen>
    Screen* openLink(const std::string& link, const std::string& title) {
        VTAUIFactory::openMenuWithTradeGate(menu(link, title));
        settle();
        return dynamic_cast<Screen*>(top());
    }

    // Types into a field in place of what it holds (an empty text only
    // clears it), then closes the keyboard.
    void retypeInto(VTATextField* field, const std::string& text) {
        tapView(field);
        for (size_t n = field->text().size(); n > 0; --n) host.key("backspace");
        if (!text.empty()) {
            ASSERT_TRUE(host.type(text));
        }
        if (!host.key("完成")) host.key("return");
        settle(0.5);
    }

    // The field, tapped, stands in sight while it is typed into: under the
    // navigation bar, above the keyboard and its bar. The keyboard stays up.
    void expectInSightWhileTyped(UIView* field) {
        tapView(field);
        settle();
        ASSERT_TRUE(UIKeyboard::isShown());
        CGRect typed = field->convertRectToView(field->bounds(), nullptr);
        EXPECT_GE(CGRectGetMinY(typed), 64);
        EXPECT_LE(CGRectGetMaxY(typed), CGRectGetMinY(UIKeyboard::frameOnScreen()));
    }

    // ---- what the brokerage holds ----
    template <class F>
    decltype(auto) fundSide(F&& f) {
        return sim->withRoom<SimFundsRoom>([&](SimFundsRoom& r) { return f(r.customer("110001234")); });
    }
    std::vector<SimFundOrder> fundOrders() {
        return fundSide([](SimFundCustomer& c) { return c.orders; });
    }
    SimFundHolding fundHolding(const std::string& code) {
        return fundSide([&](SimFundCustomer& c) {
            SimFundHolding* h = c.holding(code);
            return h ? *h : SimFundHolding{};
        });
    }
    std::vector<SimRecord> fundRequests(FunctionId f) { return sim->requestsOf(f.main, f.sub); }
    // A purchase of 1,000.00 of 稳健成长基金 this morning, still to be cancelled; its number.
    int64_t placeFundPurchase() {
        return sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
            SimFundOrder o;
            o.sno = r.nextOrderNumber();
            o.date = 20240305;
            o.time = 100000;
            o.business = 35;
            o.code = "270001";
            o.name = "稳健成长基金";
            o.amount = 100000;
            r.customer("110001234").orders.push_back(o);
            return o.sno;
        });
    }

    // Types into a field in place of its text, then "完成".
    void retype(VTATextField* field, const std::string& text) {
        tapView(field);
        for (size_t n = field->text().size(); n > 0; --n) host.key("backspace");
        ASSERT_TRUE(host.type(text));
        host.tapText("完成");
        settle(0.5);
    }
    // Types into a field in place of what it holds, then Return.
    void retypeField(UITextField* field, const std::string& text) {
        tapView(field);
        for (size_t n = field->text().size(); n > 0; --n) host.key("backspace");
        ASSERT_TRUE(host.type(text));
        if (field->isFirstResponder()) host.key("return");
        settle(0.5);
    }
    // A row of a fund form touched, scrolled into view first.
    void tapFormRow(FundForm* form, int row) {
        form->formTable()->window()->layoutIfNeeded();
        form->formTable()->scrollToRowAtIndexPath({0, row}, UITableViewScrollPosition::Middle, false);
        form->formTable()->window()->layoutIfNeeded();
        auto cell = form->formTable()->cellForRowAtIndexPath({0, row});
        ASSERT_TRUE(cell);
        CGRect r = cell->convertRectToView(cell->bounds(), nullptr);
        host.tap(r.origin.x + 40, r.origin.y + r.size.height / 2);
        settle(0.5);
    }
    // Presses a button of the screen's toolbar by its title, as a finger does.
    bool tapToolbar(VTAViewControllers* vc, const std::string& title) {
        vc->toolbar()->layoutIfNeeded();  // as the screen was last drawn
        for (const auto& item : vc->toolbar()->items())
            if (item->title() == title)
                if (UIView* button = vc->toolbar()->viewForItem(item.get())) {
                    tapView(button);
                    settle(0.5);
                    return true;
                }
        return false;
    }
    // The titles of the toolbar's buttons, left to right (spaces left out).
    static std::vector<std::string> toolbarTitles(VTAViewControllers* vc) {
        std::vector<std::string> titles;
        for (const auto& item : vc->toolbar()->items())
            if (!item->title().empty()) titles.push_back(item->title());
        return titles;
    }
};
