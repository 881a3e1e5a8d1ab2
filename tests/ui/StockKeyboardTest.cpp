#include "UITestSupport.h"

#include "platform/uikit/UIKeyboard.h"
#include "ui/VTAStockKeyboard.h"

namespace {
// A field delegate that keeps only letters and digits, as the stock finder does.
struct CodeFieldDelegate : UITextFieldDelegate {
    int shouldClear = 0;
    bool allowClear = true;
    bool textFieldShouldChangeCharactersInRange(UITextField&, NSRange, const std::string& r) override {
        for (char c : r)
            if (!std::isalnum(static_cast<unsigned char>(c))) return false;
        return true;
    }
    bool textFieldShouldClear(UITextField&) override {
        ++shouldClear;
        return allowClear;
    }
};
}  // namespace

class StockKeyboardTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        field = std::make_shared<UITextField>(CGRectMake(10, 30, 200, 30));
        field->setDelegate(&delegate);
        window->addSubview(field);
        keyboard = VTAStockKeyboard::attachToTextField(field);
        keyboard->onTextChanged = [this](const std::string& t) { changes.push_back(t); };
        keyboard->onConfirm = [this](const std::string& t) { confirmed.push_back(t); };
        keyboard->onHide = [this] { ++hides; };
    }
    void TearDown() override {
        field->setDelegate(nullptr);
        WidgetTest::TearDown();
    }
    // Taps the key of the keyboard on screen, as a finger would.
    void press(const std::string& title) {
        window->layoutIfNeeded();
        UIView* key = keyboard->keyWithTitle(title);
        ASSERT_NE(key, nullptr) << title;
        ASSERT_TRUE(key->window() != nullptr) << "keyboard not on screen for " << title;
        app().tapAt(centerOnScreen(*key));
        run(0.4);  // apart enough not to count as a double tap
    }

    CodeFieldDelegate delegate;
    std::shared_ptr<UITextField> field;
    std::shared_ptr<VTAStockKeyboard> keyboard;
    std::vector<std::string> changes, confirmed;
    int hides = 0;
};

TEST_F(StockKeyboardTest, ShowsInPlaceOfThePlatformKeyboardAndTypesDigitsAndPrefixes) {
    tap(*field);
    ASSERT_TRUE(field->isEditing());
    ASSERT_TRUE(UIKeyboard::isShown());
    EXPECT_EQ(keyboard->window(), window.get());
    EXPECT_DOUBLE_EQ(keyboard->frame().size.height, VTAStockKeyboard::kHeight);
    EXPECT_DOUBLE_EQ(keyboard->frame().origin.y, 480 - VTAStockKeyboard::kHeight);
    press("600");
    press("0");
    press("3");
    press("6");
    EXPECT_EQ(field->text(), "600036");
    EXPECT_EQ(changes, (std::vector<std::string>{"600", "6000", "60003", "600036"}));
    saveScreenshot(*keyboard, "stock-keyboard-digits");
}

TEST_F(StockKeyboardTest, LettersTypeCapitalInitialsAndTheLayoutsSwitch) {
    tap(*field);
    EXPECT_EQ(keyboard->keyWithTitle("Q"), nullptr);
    press("ABC");
    EXPECT_EQ(keyboard->mode(), VTAStockKeyboard::Mode::Letters);
    press("P");
    press("A");
    press("Y");
    press("H");
    EXPECT_EQ(field->text(), "PAYH");
    saveScreenshot(*keyboard, "stock-keyboard-letters");
    press("123");
    EXPECT_EQ(keyboard->mode(), VTAStockKeyboard::Mode::Digits);
    press("1");
    EXPECT_EQ(field->text(), "PAYH1");
}

TEST_F(StockKeyboardTest, DeleteClearConfirmAndHide) {
    tap(*field);
    press("000");
    press("1");
    press("删除");
    EXPECT_EQ(field->text(), "000");
    press("清空");
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(delegate.shouldClear, 1);
    EXPECT_EQ(changes.back(), "") << "clearing is a change the finder must hear";
    press("清空");
    EXPECT_EQ(delegate.shouldClear, 1) << "nothing to clear";
    press("7");
    press("确定");
    EXPECT_EQ(confirmed, (std::vector<std::string>{"7"}));
    EXPECT_FALSE(field->isEditing());
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_EQ(hides, 1);
    tap(*field);
    ASSERT_TRUE(UIKeyboard::isShown());
    press("隐藏");
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_EQ(hides, 2);
    EXPECT_EQ(confirmed.size(), 1u);
}

TEST_F(StockKeyboardTest, TheFieldDelegateAndTheMaximumStillRule) {
    delegate.allowClear = false;
    keyboard->setMaxLength(6);
    tap(*field);
    press("300");
    press("002");
    press("600");
    EXPECT_EQ(field->text(), "300002") << "a prefix that does not fit types nothing more";
    press("清空");
    EXPECT_EQ(field->text(), "300002") << "the delegate refused clearing";
    // Typing through another input reaches onTextChanged too.
    press("删除");
    UIKeyboard::typeText("9");
    EXPECT_EQ(field->text(), "300009");
    EXPECT_EQ(changes.back(), "300009");
}

TEST_F(StockKeyboardTest, KeyboardOutlivingItsFieldDoesNothing) {
    auto kb = keyboard;
    field->setDelegate(nullptr);
    field->removeFromSuperview();
    field.reset();
    keyboard.reset();
    EXPECT_EQ(kb->textField(), nullptr);
    kb->pressKey("1");
    kb->pressKey("清空");
    kb->pressKey("确定");
    EXPECT_EQ(confirmed, (std::vector<std::string>{""}));
    field = std::make_shared<UITextField>();  // for TearDown
}
