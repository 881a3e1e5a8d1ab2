#include "UIKitTestSupport.h"
#include "platform/graphics/TextDrawing.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"

namespace {
struct FieldLog : UITextFieldDelegate {
    std::vector<std::string> log;
    size_t maxLength = 100;
    bool allowBegin = true;
    bool textFieldShouldBeginEditing(UITextField&) override {
        log.push_back("shouldBegin");
        return allowBegin;
    }
    void textFieldDidBeginEditing(UITextField&) override { log.push_back("didBegin"); }
    void textFieldDidEndEditing(UITextField&) override { log.push_back("didEnd"); }
    bool textFieldShouldChangeCharactersInRange(UITextField& f, NSRange r, const std::string& s) override {
        log.push_back("change " + std::to_string(r.location) + "," + std::to_string(r.length) + " '" + s + "'");
        return utf16Length(f.text()) - r.length + utf16Length(s) <= maxLength;
    }
    bool textFieldShouldReturn(UITextField& f) override {
        log.push_back("return");
        f.resignFirstResponder();
        return true;
    }
};

struct KeyboardLog {
    std::vector<std::string> names;
    CGRect lastEnd;
    KeyboardLog() {
        for (const char* n : {UIKeyboardWillShowNotification, UIKeyboardDidShowNotification,
                              UIKeyboardWillHideNotification, UIKeyboardDidHideNotification})
            NSNotificationCenter::defaultCenter().addObserver(this, n, [this](const NSNotification& note) {
                names.push_back(note.name);
                lastEnd = keyboardRectFromUserInfo(note.userInfo, UIKeyboardFrameEndUserInfoKey);
            });
    }
    ~KeyboardLog() { NSNotificationCenter::defaultCenter().removeObserver(this); }
};
}  // namespace

TEST_F(UIKitTest, TappingAFieldShowsItsKeyboardAndResigningHidesIt) {
    KeyboardLog kb;
    FieldLog d;
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    field->setBorderStyle(UITextBorderStyle::RoundedRect);
    field->setKeyboardType(UIKeyboardType::NumberPad);
    field->setDelegate(&d);
    window->addSubview(field);
    tap(*field);
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(field->isEditing());
    EXPECT_EQ(d.log, (std::vector<std::string>{"shouldBegin", "didBegin"}));
    EXPECT_EQ(kb.names, (std::vector<std::string>{UIKeyboardWillShowNotification, UIKeyboardDidShowNotification}));
    EXPECT_EQ(kb.lastEnd, CGRectMake(0, 264, 320, 216));
    EXPECT_TRUE(UIKeyboard::isShown());
    EXPECT_EQ(UIKeyboard::keyboard().superview(), window.get());
    // The number pad's keys are digits and delete.
    auto titles = UIKeyboard::keyboard().keyTitles();
    EXPECT_EQ(titles.size(), 11u);
    tap(*UIKeyboard::keyboard().keyWithTitle("7"));
    tap(*UIKeyboard::keyboard().keyWithTitle("0"));
    EXPECT_EQ(field->text(), "70");
    tap(*UIKeyboard::keyboard().keyWithTitle("删除"));
    EXPECT_EQ(field->text(), "7");
    field->resignFirstResponder();
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_EQ(kb.names.back(), UIKeyboardDidHideNotification);
    EXPECT_EQ(d.log.back(), "didEnd");
    EXPECT_EQ(UIKeyboard::keyboard().superview(), nullptr);
}

TEST_F(UIKitTest, KeyboardsLetThroughOnlyTheirCharacters) {
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    window->addSubview(field);
    field->setKeyboardType(UIKeyboardType::NumberPad);
    field->becomeFirstResponder();
    UIKeyboard::typeText("12a.3&=４");
    EXPECT_EQ(field->text(), "123");
    field->setText("");
    field->setKeyboardType(UIKeyboardType::DecimalPad);
    UIKeyboard::typeText("1.5x0");
    EXPECT_EQ(field->text(), "1.50");
    field->setText("");
    field->setKeyboardType(UIKeyboardType::PhonePad);
    UIKeyboard::typeText("+86 138-0#");
    EXPECT_EQ(field->text(), "+86138-0#");
    field->setText("");
    field->setKeyboardType(UIKeyboardType::NumbersAndPunctuation);
    UIKeyboard::typeText("ab12.-&");
    EXPECT_EQ(field->text(), "12.-&");
    field->setText("");
    field->setKeyboardType(UIKeyboardType::ASCIICapable);
    UIKeyboard::typeText("Ab1 中文");
    EXPECT_EQ(field->text(), "Ab1 ");
    field->setText("");
    field->setKeyboardType(UIKeyboardType::Default);
    UIKeyboard::typeText("招商银行");
    EXPECT_EQ(field->text(), "招商银行");
    UIKeyboard::pressDelete();
    EXPECT_EQ(field->text(), "招商银");
}

TEST_F(UIKitTest, DelegateSeesUtf16RangesAndCanRefuse) {
    FieldLog d;
    d.maxLength = 6;
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    field->setDelegate(&d);
    window->addSubview(field);
    field->becomeFirstResponder();
    d.log.clear();
    UIKeyboard::typeText("中文");
    UIKeyboard::typeText("12345");
    EXPECT_EQ(field->text(), "中文1234") << "the key past six characters is refused";
    UIKeyboard::pressDelete();
    EXPECT_EQ(field->text(), "中文123");
    EXPECT_EQ(d.log, (std::vector<std::string>{"change 0,0 '中文'", "change 2,0 '1'", "change 3,0 '2'",
                                               "change 4,0 '3'", "change 5,0 '4'", "change 6,0 '5'", "change 5,1 ''"}));
    // Return: the delegate resigns.
    UIKeyboard::typeText("\n");
    EXPECT_EQ(d.log.back(), "didEnd");
    EXPECT_FALSE(field->isFirstResponder());
}

TEST_F(UIKitTest, SwitchingFieldsKeepsTheKeyboardAndRefusalKeepsFocus) {
    KeyboardLog kb;
    FieldLog refuse;
    refuse.allowBegin = false;
    auto a = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    auto b = std::make_shared<UITextField>(CGRectMake(20, 100, 200, 31));
    auto c = std::make_shared<UITextField>(CGRectMake(20, 140, 200, 31));
    c->setDelegate(&refuse);
    for (auto& f : {a, b, c}) window->addSubview(f);
    tap(*a);
    tap(*b);
    EXPECT_TRUE(b->isFirstResponder());
    EXPECT_FALSE(a->isEditing());
    EXPECT_EQ(kb.names.size(), 2u) << "same keyboard: no new notifications";
    tap(*c);
    EXPECT_TRUE(b->isFirstResponder());
    window->endEditing(true);
    EXPECT_FALSE(UIKeyboard::isShown());
}

TEST_F(UIKitTest, InputViewReplacesTheKeyboard) {
    KeyboardLog kb;
    auto picker = std::make_shared<UIView>(CGRectMake(0, 0, 320, 216));
    auto bar = std::make_shared<UIView>(CGRectMake(0, 0, 320, 44));
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    field->setInputView(picker);
    field->setInputAccessoryView(bar);
    window->addSubview(field);
    field->becomeFirstResponder();
    EXPECT_EQ(picker->superview(), window.get());
    EXPECT_EQ(picker->frame(), CGRectMake(0, 264, 320, 216));
    EXPECT_EQ(bar->frame(), CGRectMake(0, 220, 320, 44));
    EXPECT_EQ(kb.lastEnd, CGRectMake(0, 220, 320, 260));
    EXPECT_EQ(UIKeyboard::keyboard().superview(), nullptr);
    field->resignFirstResponder();
    EXPECT_EQ(picker->superview(), nullptr);
}

// The field being typed into stays in sight between its scroll view's top and
// the input area (whatever the screen scrolled to itself); a tap on the
// accessory bar outside its button, where the bar covers another field, goes
// to that field.
TEST_F(UIKitTest, TheFieldBeingTypedIntoStaysInSightAndTheBarLetsATapThroughToAField) {
    auto form = std::make_shared<UIScrollView>(CGRectMake(0, 64, 320, 372));
    form->setContentSize(CGSizeMake(320, 372));
    form->setScrollEnabled(false);
    window->addSubview(form);
    auto padBar = [] {
        auto bar = std::make_shared<UIView>(CGRectMake(0, 0, 320, 40));
        auto done = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(250, 5, 64, 30));
        bar->addSubview(done);
        return bar;
    };
    auto top = std::make_shared<UITextField>(CGRectMake(100, 10, 200, 31));
    auto low = std::make_shared<UITextField>(CGRectMake(100, 300, 200, 31));
    auto under = std::make_shared<UITextField>(CGRectMake(100, 150, 200, 31));
    for (auto& f : {top, low}) {
        f->setKeyboardType(UIKeyboardType::NumberPad);
        f->setInputAccessoryView(padBar());
    }
    for (auto& f : {top, low, under}) form->addSubview(f);
    auto bottomOnScreen = [](const UIView& v) { return CGRectGetMaxY(v.convertRectToView(v.bounds(), nullptr)); };
    auto topOnScreen = [](const UIView& v) { return CGRectGetMinY(v.convertRectToView(v.bounds(), nullptr)); };

    tap(*low);
    run(1);
    ASSERT_TRUE(low->isFirstResponder());
    EXPECT_LE(bottomOnScreen(*low), CGRectGetMinY(UIKeyboard::frameOnScreen()));
    // A screen that scrolls too far itself: the field comes back under the top edge.
    window->endEditing(true);
    form->setContentOffset(CGPointZero);
    tap(*top);
    form->setContentOffset(CGPointMake(0, 120), true);
    low->becomeFirstResponder();
    top->becomeFirstResponder();
    run(1);
    EXPECT_GE(topOnScreen(*top), 64);
    EXPECT_LE(bottomOnScreen(*top), CGRectGetMinY(UIKeyboard::frameOnScreen()));

    // The bar covers `under`: a tap on the bar's blank part there edits `under`; its button stays the bar's.
    form->setContentOffset(CGPointMake(0, 0));
    under->setFrame(CGRectMake(100, 190, 200, 31));
    tap(*top);
    run(1);
    CGRect bar = top->inputAccessoryView()->convertRectToView(top->inputAccessoryView()->bounds(), nullptr);
    CGRect field = under->convertRectToView(under->bounds(), nullptr);
    CGRect covered = CGRectIntersection(bar, field);
    ASSERT_FALSE(CGRectIsEmpty(covered));
    app().tapAt(CGPointMake(CGRectGetMinX(covered) + 20, CGRectGetMidY(covered)));
    run(1);
    EXPECT_TRUE(under->isFirstResponder());
    EXPECT_GE(topOnScreen(*under), 64);
    EXPECT_LE(bottomOnScreen(*under), CGRectGetMinY(UIKeyboard::frameOnScreen()));
    window->endEditing(true);
    form->removeFromSuperview();
}

TEST_F(UIKitTest, ClearButtonEmptiesTheFieldWhileEditing) {
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    field->setBorderStyle(UITextBorderStyle::RoundedRect);
    field->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    field->setText("12.50");
    window->addSubview(field);
    int changes = 0;
    field->addTarget(
        this, [&](UIControl&) { ++changes; }, UIControlEventEditingChanged);
    CGRect clear = field->clearButtonRectForBounds(field->bounds());
    CGPoint onClear = field->convertPointToView(CGPointMake(CGRectGetMidX(clear), CGRectGetMidY(clear)), nullptr);
    // Not editing: no clear button; the tap begins editing.
    app().tapAt(onClear);
    EXPECT_TRUE(field->isEditing());
    EXPECT_EQ(field->text(), "12.50");
    run(1);
    app().tapAt(onClear);
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(field->isFirstResponder());
}

TEST_F(UIKitTest, ReturnEndsEditingForDidEndOnExitTargets) {
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    field->setReturnKeyType(UIReturnKeyType::Done);
    window->addSubview(field);
    int exits = 0;
    field->addTarget(
        this, [&](UIControl&) { ++exits; }, UIControlEventEditingDidEndOnExit);
    field->becomeFirstResponder();
    EXPECT_NE(UIKeyboard::keyboard().keyWithTitle("完成"), nullptr);
    tap(*UIKeyboard::keyboard().keyWithTitle("完成"));
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(field->isFirstResponder());
    // A disabled field does not take the keyboard.
    field->setEnabled(false);
    tap(*field);
    EXPECT_FALSE(field->isFirstResponder());
}

TEST_F(UIKitTest, LetterKeyboardShiftsAndSwitchesPages) {
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    field->setKeyboardType(UIKeyboardType::ASCIICapable);
    window->addSubview(field);
    field->becomeFirstResponder();
    auto& kb = UIKeyboard::keyboard();
    tap(*kb.keyWithTitle("⇧"));
    tap(*kb.keyWithTitle("Q"));
    tap(*kb.keyWithTitle("q"));
    tap(*kb.keyWithTitle("123"));
    tap(*kb.keyWithTitle("8"));
    tap(*kb.keyWithTitle("#+="));
    tap(*kb.keyWithTitle("="));
    tap(*kb.keyWithTitle("ABC"));
    tap(*kb.keyWithTitle("空格"));
    EXPECT_EQ(field->text(), "Qq8= ");
    // The numbers-and-punctuation keyboard has no letters page.
    field->setKeyboardType(UIKeyboardType::NumbersAndPunctuation);
    EXPECT_EQ(kb.keyWithTitle("ABC"), nullptr);
    EXPECT_NE(kb.keyWithTitle("-"), nullptr);
}

TEST_F(UIKitTest, KeyboardToPickerPostsShowAgainWithTheNewFrame) {
    KeyboardLog kb;
    auto text = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    auto choose = std::make_shared<UITextField>(CGRectMake(20, 100, 200, 31));
    auto picker = std::make_shared<UIView>(CGRectMake(0, 0, 320, 216));
    auto bar = std::make_shared<UIView>(CGRectMake(0, 0, 320, 44));
    choose->setInputView(picker);
    choose->setInputAccessoryView(bar);
    window->addSubview(text);
    window->addSubview(choose);
    tap(*text);
    tap(*choose);
    EXPECT_EQ(kb.names, (std::vector<std::string>{UIKeyboardWillShowNotification, UIKeyboardDidShowNotification,
                                                  UIKeyboardWillShowNotification, UIKeyboardDidShowNotification}));
    EXPECT_EQ(kb.lastEnd, CGRectMake(0, 220, 320, 260));
    EXPECT_EQ(UIKeyboard::keyboard().superview(), nullptr);
    EXPECT_EQ(UIKeyboard::frameOnScreen(), CGRectMake(0, 220, 320, 260));
}

TEST_F(UIKitTest, APlaceholderALittleTooLongShrinksToShowWhole) {
    auto field = std::make_shared<UITextField>(CGRectMake(10, 100, 150, 30));
    field->setBorderStyle(UITextBorderStyle::RoundedRect);
    field->setFont(UIFont::systemFontOfSize(17));
    field->setPlaceholder("不用输入银行密码！");
    const double room = field->textRectForBounds(field->bounds()).size.width;
    ASSERT_GT(sizeWithFont(field->placeholder(), *UIFont::systemFontOfSize(17)).width, room);
    const double size = field->placeholderFontSize();
    EXPECT_LT(size, 17);
    EXPECT_LE(sizeWithFont(field->placeholder(), *UIFont::systemFontOfSize(size)).width, room);
    // One that fits keeps the field's size; one far too long stops at 12 points and is cut.
    field->setPlaceholder("请输入金额");
    EXPECT_DOUBLE_EQ(field->placeholderFontSize(), 17);
    field->setPlaceholder("请输入您在本营业部开户时预留的银行卡密码");
    EXPECT_DOUBLE_EQ(field->placeholderFontSize(), 12);
}

// While an empty field is edited the caret stands just before the placeholder,
// never over its first character, whatever the alignment.
TEST_F(UIKitTest, TheCaretStandsBeforeThePlaceholder) {
    for (auto align : {UITextAlignment::Left, UITextAlignment::Center, UITextAlignment::Right}) {
        auto field = std::make_shared<UITextField>(CGRectMake(10, 100, 240, 30));
        field->setBorderStyle(UITextBorderStyle::RoundedRect);
        field->setFont(UIFont::systemFontOfSize(17));
        field->setPlaceholder("代码/拼音首字母");
        field->setTextAlignment(align);
        window->addSubview(field);
        tap(*field);
        ASSERT_TRUE(field->isEditing());
        auto img = saveScreenshot(*field, "field-" + std::to_string(static_cast<int>(align)));
        ASSERT_TRUE(img);
        // The caret is blue; the placeholder grey.
        int caretLeft = img->pixelWidth(), caretRight = -1, placeholderLeft = img->pixelWidth(), placeholderRight = -1;
        for (int y = 8; y < img->pixelHeight() - 8; ++y)
            for (int x = 4; x < img->pixelWidth() - 4; ++x) {
                uint32_t p = img->pixelAt(x, y);
                if (blue(p) > 180 && red(p) < 140 && blue(p) - red(p) > 80) {
                    caretLeft = std::min(caretLeft, x);
                    caretRight = std::max(caretRight, x);
                } else if (red(p) < 235 && std::abs(red(p) - blue(p)) < 8) {
                    placeholderLeft = std::min(placeholderLeft, x);
                    placeholderRight = std::max(placeholderRight, x);
                }
            }
        ASSERT_GE(caretRight, 0) << "the caret shows";
        ASSERT_GE(placeholderRight, 0) << "the placeholder shows";
        EXPECT_GE(placeholderLeft - caretRight, 2) << "a point apart; alignment " << static_cast<int>(align);
        field->resignFirstResponder();
        field->removeFromSuperview();
    }
}
