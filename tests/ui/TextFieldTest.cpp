#include "UITestSupport.h"

#include "platform/uikit/UIKeyboard.h"
#include "ui/VTATextField.h"

namespace {
struct FieldRecorder : VTATextFieldDelegate {
    std::vector<std::string> calls;
    bool allow = true;
    VTATextField* field = nullptr;
    void myTextFieldReachMax(VTATextField& f, int max) override {
        calls.push_back("reachMax " + std::to_string(max) + " " + f.text() + (f.isEditing() ? " editing" : ""));
    }
    bool myTextFieldWillShowKeyboard(VTATextField&) override {
        calls.push_back("willShow");
        return allow;
    }
    void myTextFieldDidShowKeyboard(VTATextField&) override { calls.push_back("didShow"); }
    void myTextFieldDidHideKeyboard(VTATextField&) override { calls.push_back("didHide"); }
};
using Calls = std::vector<std::string>;
}  // namespace

class TextFieldTest : public WidgetTest {
protected:
    std::shared_ptr<VTATextField> make(int max, int keyboard) {
        auto f = std::make_shared<VTATextField>(CGRectMake(100, 100, 180, 30), max, "请输入", keyboard);
        f->setFieldDelegate(&rec);
        window->addSubview(f);
        return f;
    }
    void typeKeys(const std::string& keys) {
        for (char c : keys) UIKeyboard::typeText(std::string(1, c));
    }
    FieldRecorder rec;
};

TEST_F(TextFieldTest, ReachingTheMaximumTakesTheTextEndsEditingThenTells) {
    auto f = make(6, 4);
    tap(*f);
    EXPECT_TRUE(f->isEditing());
    typeKeys("12345");
    EXPECT_EQ(rec.calls, (Calls{"willShow", "didShow"}));
    typeKeys("6");
    EXPECT_EQ(f->text(), "123456");
    EXPECT_FALSE(f->isEditing());
    EXPECT_EQ(rec.calls, (Calls{"willShow", "didShow", "didHide", "reachMax 6 123456"}));
    typeKeys("7");
    EXPECT_EQ(f->text(), "123456") << "no keyboard any more";
}

TEST_F(TextFieldTest, PasteLongerThanTheRoomKeepsWhatFitsAndReachesTheMax) {
    auto f = make(6, 1);
    tap(*f);
    UIKeyboard::typeText("abcdefgh");
    EXPECT_EQ(f->text(), "abcdef");
    EXPECT_EQ(rec.calls.back(), "reachMax 6 abcdef");
}

TEST_F(TextFieldTest, WillShowAnswerDecidesWhetherEditingBegins) {
    auto f = make(10, 1);
    rec.allow = false;
    tap(*f);
    EXPECT_FALSE(f->isEditing());
    EXPECT_EQ(rec.calls, (Calls{"willShow"}));
    EXPECT_FALSE(UIKeyboard::isShown());
}

TEST_F(TextFieldTest, NumberPadsGetADoneKeyThatHidesTheKeyboard) {
    auto f = make(10, 4);
    ASSERT_NE(f->doneButton(), nullptr);
    EXPECT_EQ(f->doneButton()->currentTitle(), "完成");
    tap(*f);
    typeKeys("12a");
    EXPECT_EQ(f->text(), "12") << "the number pad offers digits only";
    saveScreenshot("textfield-keyboard");
    tap(*f->doneButton());
    EXPECT_FALSE(f->isEditing());
    EXPECT_EQ(rec.calls, (Calls{"willShow", "didShow", "didHide"}));
    EXPECT_EQ(make(10, 1)->doneButton(), nullptr) << "other keyboards have their own return key";
}

TEST_F(TextFieldTest, GetTextTrimsAndUpdatesTheField) {
    auto f = make(20, 1);
    f->setText("  600036 \t");
    EXPECT_EQ(f->getText(), "600036");
    EXPECT_EQ(f->text(), "600036");
    f->setText("\xE3\x80\x80中 信\xE3\x80\x80");
    EXPECT_EQ(f->getText(), "中 信");
    EXPECT_EQ(trimBlanks("   "), "");
}

TEST_F(TextFieldTest, DisabledFieldShowsTextButRefusesInput) {
    auto f = make(20, 1);
    f->setText("10000");
    f->setUnit("元");
    f->setEnable(false);
    tap(*f);
    EXPECT_FALSE(f->isEditing());
    EXPECT_TRUE(rec.calls.empty()) << "a blocked field does not ask";
    EXPECT_EQ(f->text(), "10000");
    f->setEnable(true);
    f->setFieldDelegate(nullptr);
    tap(*f);
    EXPECT_TRUE(f->isEditing());
    f->resignFirstResponder();
    EXPECT_FALSE(f->isEditing());
    saveScreenshot(*f, "textfield-unit");
}
