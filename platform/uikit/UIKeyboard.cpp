#include "platform/uikit/UIKeyboard.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/InputHooks.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIControl.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIWindow.h"

namespace {
constexpr const char* kDelete = "删除";
constexpr const char* kShift = "⇧";
constexpr const char* kSpace = "空格";
constexpr const char* kNumbers = "123";
constexpr const char* kLetters = "ABC";
constexpr const char* kSymbols = "#+=";

const char* returnTitle(UIReturnKeyType t) {
    switch (t) {
        case UIReturnKeyType::Go:
            return "前往";
        case UIReturnKeyType::Google:
        case UIReturnKeyType::Yahoo:
        case UIReturnKeyType::Search:
            return "搜索";
        case UIReturnKeyType::Join:
            return "加入";
        case UIReturnKeyType::Next:
            return "下一项";
        case UIReturnKeyType::Route:
            return "路线";
        case UIReturnKeyType::Send:
            return "发送";
        case UIReturnKeyType::Done:
            return "完成";
        case UIReturnKeyType::EmergencyCall:
            return "紧急呼叫";
        default:
            return "换行";
    }
}

class KeyView : public UIControl {
public:
    KeyView(const CGRect& f, std::string title, bool special)
        : UIControl(f), title_(std::move(title)), special_(special) {
        setOpaque(false);
        addTarget(
            this, [this](UIControl&) { UIKeyboard::keyboard().keyPressed(title_); }, UIControlEventTouchUpInside);
    }
    std::string className() const override { return "UIKBKey"; }
    std::string accessibilityText() const override { return title_; }
    const std::string& title() const { return title_; }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect r = CGRectInset(bounds(), 3, 5);
        ctx->beginPath();
        ctx->addRoundedRect(r, 5);
        if (isHighlighted())
            ctx->setFillColor(0.55, 0.6, 0.7, 1);
        else if (special_)
            ctx->setFillColor(0.62, 0.65, 0.7, 1);
        else
            ctx->setFillColor(0.98, 0.98, 0.98, 1);
        ctx->fillPath();
        ctx->setFillColor(special_ ? 1 : 0.1, special_ ? 1 : 0.1, special_ ? 1 : 0.1, 1);
        auto font = title_.size() == 1 ? UIFont::systemFontOfSize(22) : UIFont::boldSystemFontOfSize(15);
        double h = font->lineHeight();
        drawString(title_, CGRectMake(r.origin.x, CGRectGetMidY(r) - h / 2, r.size.width, h), *font,
                   UILineBreakMode::Clip, UITextAlignment::Center);
    }

private:
    std::string title_;
    bool special_;
};

// ---------------------------------------------------------------- input area state

struct InputArea {
    std::shared_ptr<UIKeyboard> keyboard;
    std::shared_ptr<UIView> shownInput;  // keyboard or the responder's input view
    std::shared_ptr<UIView> shownAccessory;
    bool shown = false;
    CGRect frame;
};

InputArea& area() {
    static InputArea a;
    return a;
}

Value rectValue(const CGRect& r) {
    return Value(Value::Array{Value(r.origin.x), Value(r.origin.y), Value(r.size.width), Value(r.size.height)});
}

Value userInfoFor(const CGRect& begin, const CGRect& end) {
    Value::Dict d;
    d[UIKeyboardFrameBeginUserInfoKey] = rectValue(begin);
    d[UIKeyboardFrameEndUserInfoKey] = rectValue(end);
    d[UIKeyboardBoundsUserInfoKey] = rectValue(CGRectMake(0, 0, end.size.width, end.size.height));
    d[UIKeyboardCenterBeginUserInfoKey] = Value(Value::Array{Value(CGRectGetMidX(begin)), Value(CGRectGetMidY(begin))});
    d[UIKeyboardCenterEndUserInfoKey] = Value(Value::Array{Value(CGRectGetMidX(end)), Value(CGRectGetMidY(end))});
    d[UIKeyboardAnimationDurationUserInfoKey] = Value(0.25);
    d[UIKeyboardAnimationCurveUserInfoKey] = Value(0);
    return Value(std::move(d));
}

void post(const char* name, const CGRect& begin, const CGRect& end) {
    NSNotificationCenter::defaultCenter().postNotificationName(name, {}, userInfoFor(begin, end));
}

void removeViews() {
    auto& a = area();
    if (a.shownInput) a.shownInput->removeFromSuperview();
    if (a.shownAccessory) a.shownAccessory->removeFromSuperview();
    a.shownInput.reset();
    a.shownAccessory.reset();
}

void hideArea() {
    auto& a = area();
    if (!a.shown) return;
    CGRect begin = a.frame;
    CGRect end = CGRectOffset(begin, 0, begin.size.height);
    post(UIKeyboardWillHideNotification, begin, end);
    removeViews();
    a.shown = false;
    a.frame = CGRectZero;
    post(UIKeyboardDidHideNotification, begin, end);
}

// Between the field and the input area.
constexpr double kSightMargin = 4;

void keepInSight(UIResponder* responder, const CGRect& area) {
    auto* view = dynamic_cast<UIView*>(responder);
    if (!view || !view->window()) return;
    for (UIView* v = view->superview(); v; v = v->superview())
        if (auto* scroll = dynamic_cast<UIScrollView*>(v)) {
            scroll->scrollViewIntoSightAbove(*view, CGRectGetMinY(area) - kSightMargin);
            return;
        }
}

void showFor(UIResponder* responder) {
    auto& a = area();
    std::shared_ptr<UIView> input = responder->inputView();
    if (!input) {
        auto* keyInput = dynamic_cast<UIKeyInput*>(responder);
        if (!keyInput || !responder->acceptsTextInput()) {
            hideArea();
            return;
        }
        auto& kb = UIKeyboard::keyboard();
        kb.configure(keyInput->keyboardType(), keyInput->returnKeyType());
        input = kb.shared();
    }
    std::shared_ptr<UIView> accessory = responder->inputAccessoryView();
    UIWindow* window = UIApplication::sharedApplication().keyWindow();
    CGRect screen = UIScreen::mainScreen().bounds();
    double inputH = input.get() == &UIKeyboard::keyboard()
                        ? UIKeyboard::kHeight
                        : (input->frame().size.height > 0 ? input->frame().size.height : UIKeyboard::kHeight);
    double accH = accessory ? accessory->frame().size.height : 0;
    CGRect end = CGRectMake(0, screen.size.height - inputH - accH, screen.size.width, inputH + accH);
    bool same = a.shown && a.shownInput == input && a.shownAccessory == accessory && a.frame == end;
    if (same) {
        keepInSight(responder, end);
        return;
    }
    CGRect begin = a.shown ? a.frame : CGRectOffset(end, 0, end.size.height);
    post(UIKeyboardWillShowNotification, begin, end);
    removeViews();
    a.shownInput = input;
    a.shownAccessory = accessory;
    if (window) {
        if (accessory) {
            accessory->setFrame(CGRectMake(0, end.origin.y, screen.size.width, accH));
            window->addSubview(accessory);
        }
        input->setFrame(CGRectMake(0, end.origin.y + accH, screen.size.width, inputH));
        window->addSubview(input);
    }
    a.shown = true;
    a.frame = end;
    post(UIKeyboardDidShowNotification, begin, end);
    keepInSight(responder, end);
}
}  // namespace

// ---------------------------------------------------------------- hooks

void inputAreaFirstResponderChanged(UIResponder*, UIResponder* current) {
    if (current)
        showFor(current);
    else
        hideArea();
}

void inputAreaResponderDestroyed(UIResponder*) { hideArea(); }

void inputAreaReset() {
    removeViews();
    area().shown = false;
    area().frame = CGRectZero;
}

UIView* inputAreaTouchTarget(UIWindow& window, CGPoint windowPoint, UIEvent* event, UIView* hit) {
    auto& a = area();
    UIView* bar = a.shown ? a.shownAccessory.get() : nullptr;
    if (!bar || !hit || !hit->isDescendantOfView(bar)) return hit;
    for (UIView* v = hit; v && v != bar->superview(); v = v->superview())
        if (dynamic_cast<UIControl*>(v) || dynamic_cast<UIToolbar*>(v)) return hit;  // the bar's own buttons
    // What the bar covers there, the input area left out.
    const auto& views = window.subviews();
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        UIView* sub = it->get();
        if (sub == bar || sub == a.shownInput.get()) continue;
        UIView* under = sub->hitTest(sub->convertPointFromView(windowPoint, &window), event);
        if (!under) continue;
        for (UIView* v = under; v; v = v->superview())
            if (auto* field = dynamic_cast<UITextField*>(v))
                return field->isEnabled() && field->canBecomeFirstResponder() ? under : hit;
        return hit;
    }
    return hit;
}

CGRect keyboardRectFromUserInfo(const Value& userInfo, const std::string& key) {
    if (!userInfo.isDict()) return CGRectZero;
    const Value& v = userInfo[key];
    if (!v.isArray() || v.array().size() < 4) return CGRectZero;
    const auto& a = v.array();
    return CGRectMake(a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble());
}

// ---------------------------------------------------------------- keyboard

UIKeyboard::UIKeyboard() : UIView(CGRectMake(0, 0, 320, kHeight)) {
    setBackgroundColor(UIColor::colorWithRed(0.82, 0.84, 0.87, 1));
    rebuild();
}

UIKeyboard& UIKeyboard::keyboard() {
    static std::shared_ptr<UIKeyboard> kb = std::make_shared<UIKeyboard>();
    return *kb;
}

bool UIKeyboard::isShown() { return area().shown; }
CGRect UIKeyboard::frameOnScreen() { return area().frame; }

void UIKeyboard::configure(UIKeyboardType type, UIReturnKeyType returnKey) {
    if (type == type_ && returnKey == returnKey_) return;
    type_ = type;
    returnKey_ = returnKey;
    numbers_ = type == UIKeyboardType::NumbersAndPunctuation;
    symbols_ = false;
    shift_ = false;
    rebuild();
}

void UIKeyboard::rebuild() {
    for (auto& k : keys_) k->removeFromSuperview();
    keys_.clear();
    auto add = [&](const CGRect& f, const std::string& title, bool special) {
        auto k = std::make_shared<KeyView>(f, title, special);
        addSubview(k);
        keys_.push_back(k);
    };
    const double w = 320, rowH = kHeight / 4;
    if (type_ == UIKeyboardType::NumberPad || type_ == UIKeyboardType::DecimalPad ||
        type_ == UIKeyboardType::PhonePad) {
        const char* digits[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
        double kw = w / 3;
        for (int i = 0; i < 9; ++i) add(CGRectMake((i % 3) * kw, (i / 3) * rowH, kw, rowH), digits[i], false);
        if (type_ == UIKeyboardType::DecimalPad)
            add(CGRectMake(0, 3 * rowH, kw, rowH), ".", false);
        else if (type_ == UIKeyboardType::PhonePad)
            add(CGRectMake(0, 3 * rowH, kw, rowH), "+", true);
        add(CGRectMake(kw, 3 * rowH, kw, rowH), "0", false);
        add(CGRectMake(2 * kw, 3 * rowH, kw, rowH), kDelete, true);
        return;
    }
    std::vector<std::string> rows[3];
    if (numbers_ && symbols_) {
        rows[0] = {"[", "]", "{", "}", "#", "%", "^", "*", "+", "="};
        rows[1] = {"_", "\\", "|", "~", "<", ">"};
        rows[2] = {".", ",", "?", "!", "'"};
    } else if (numbers_) {
        rows[0] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};
        rows[1] = {"-", "/", ":", ";", "(", ")", "$", "&", "@", "\""};
        rows[2] = {".", ",", "?", "!", "'"};
    } else {
        const char* r0 = "qwertyuiop";
        const char* r1 = "asdfghjkl";
        const char* r2 = "zxcvbnm";
        for (const char* p = r0; *p; ++p) rows[0].push_back(std::string(1, shift_ ? char(*p - 32) : *p));
        for (const char* p = r1; *p; ++p) rows[1].push_back(std::string(1, shift_ ? char(*p - 32) : *p));
        for (const char* p = r2; *p; ++p) rows[2].push_back(std::string(1, shift_ ? char(*p - 32) : *p));
    }
    const double kw = w / 10;
    for (int r = 0; r < 3; ++r) {
        double x = (w - kw * static_cast<double>(rows[r].size())) / 2;
        for (auto& t : rows[r]) {
            add(CGRectMake(x, r * rowH, kw, rowH), t, false);
            x += kw;
        }
    }
    if (!numbers_)
        add(CGRectMake(0, 2 * rowH, kw * 1.4, rowH), kShift, true);
    else
        add(CGRectMake(0, 2 * rowH, kw * 1.4, rowH), symbols_ ? kNumbers : kSymbols, true);
    add(CGRectMake(w - kw * 1.4, 2 * rowH, kw * 1.4, rowH), kDelete, true);
    bool canSwitch = type_ != UIKeyboardType::NumbersAndPunctuation;
    if (canSwitch) add(CGRectMake(0, 3 * rowH, kw * 2, rowH), numbers_ ? kLetters : kNumbers, true);
    add(CGRectMake(kw * 2, 3 * rowH, kw * 5.5, rowH), kSpace, false);
    add(CGRectMake(kw * 7.5, 3 * rowH, kw * 2.5, rowH), returnTitle(returnKey_), true);
}

UIView* UIKeyboard::keyWithTitle(const std::string& title) const {
    for (auto& k : keys_)
        if (static_cast<KeyView*>(k.get())->title() == title) return k.get();
    return nullptr;
}

std::vector<std::string> UIKeyboard::keyTitles() const {
    std::vector<std::string> out;
    for (auto& k : keys_) out.push_back(static_cast<KeyView*>(k.get())->title());
    return out;
}

void UIKeyboard::keyPressed(const std::string& title) {
    if (title == kDelete) {
        pressDelete();
    } else if (title == kShift) {
        shift_ = !shift_;
        rebuild();
    } else if (title == kNumbers || title == kLetters) {
        numbers_ = title == kNumbers;
        symbols_ = false;
        rebuild();
    } else if (title == kSymbols) {
        symbols_ = true;
        rebuild();
    } else if (title == kSpace) {
        typeText(" ");
    } else if (title == returnTitle(returnKey_) && title.size() > 1) {
        pressReturn();
    } else {
        typeText(title);
        if (shift_) {
            shift_ = false;
            rebuild();
        }
    }
}

void UIKeyboard::typeText(const std::string& text) {
    auto* input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder());
    if (!input) return;
    // Line by line: a newline is the return key.
    size_t start = 0;
    while (start <= text.size()) {
        size_t nl = text.find('\n', start);
        std::string part = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        part = filterTextForKeyboard(input->keyboardType(), part);
        // Key by key, as a finger types; a run of non-ASCII characters is one
        // committed input-method word.
        for (size_t i = 0; i < part.size();) {
            size_t j = i + 1;
            if (static_cast<unsigned char>(part[i]) >= 0x80) {
                while (j < part.size() && static_cast<unsigned char>(part[j]) >= 0x80) ++j;
            }
            input->insertText(part.substr(i, j - i));
            input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder());
            if (!input) return;
            i = j;
        }
        if (nl == std::string::npos) break;
        input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder());
        if (!input) return;
        input->returnKeyPressed();
        input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder());
        if (!input) return;
        start = nl + 1;
    }
}

void UIKeyboard::pressDelete() {
    if (auto* input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder())) input->deleteBackward();
}

void UIKeyboard::pressReturn() {
    if (auto* input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder())) input->returnKeyPressed();
}

void UIKeyboard::drawRect(const CGRect&) {}
