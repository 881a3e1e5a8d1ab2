#include "ui/VTAStockKeyboard.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIControl.h"
#include "ui/Palette.h"

#include <algorithm>

namespace {
const char* const kDelete = "删除";
const char* const kClear = "清空";
const char* const kHide = "隐藏";
const char* const kConfirm = "确定";
const char* const kLetters = "ABC";
const char* const kDigits = "123";

enum class KeyStyle { Character, Function, Confirm };

class StockKey : public UIControl {
public:
    StockKey(VTAStockKeyboard* owner, std::string title, KeyStyle style) : title_(std::move(title)), style_(style) {
        setOpaque(false);
        addTarget(
            this, [owner, t = title_](UIControl&) { owner->pressKey(t); }, UIControlEventTouchUpInside);
    }
    std::string className() const override { return "VTAStockKey"; }
    std::string accessibilityText() const override { return title_; }
    void setHighlighted(bool h) override {
        UIControl::setHighlighted(h);
        setNeedsDisplay();
    }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect r = CGRectInset(bounds(), 2.5, 3);
        ctx->beginPath();
        ctx->addRoundedRect(r, 5);
        if (isHighlighted())
            ctx->setFillColor(0.55, 0.60, 0.70, 1);
        else if (style_ == KeyStyle::Confirm)
            ctx->setFillColor(*colorWithIndex(45));
        else if (style_ == KeyStyle::Function)
            ctx->setFillColor(0.22, 0.25, 0.31, 1);
        else
            ctx->setFillColor(0.36, 0.39, 0.45, 1);
        ctx->fillPath();
        ctx->setFillColor(1, 1, 1, 1);
        bool single = title_.size() == 1;
        auto font = single ? UIFont::boldSystemFontOfSize(21) : UIFont::boldSystemFontOfSize(16);
        double h = font->lineHeight();
        drawString(title_, CGRectMake(r.origin.x, CGRectGetMidY(r) - h / 2, r.size.width, h), *font,
                   UILineBreakMode::Clip, UITextAlignment::Center);
    }

private:
    std::string title_;
    KeyStyle style_;
};

struct KeySpec {
    const char* title;
    double width;  // in units of the row's key width
    KeyStyle style;
};

// Rows of the two layouts; widths are fractions of the keyboard's width.
const std::vector<std::vector<KeySpec>>& digitRows() {
    static const double w = 1.0 / 5;
    static const std::vector<std::vector<KeySpec>> rows = {
        {{"600", w, KeyStyle::Function},
         {"1", w, KeyStyle::Character},
         {"2", w, KeyStyle::Character},
         {"3", w, KeyStyle::Character},
         {kDelete, w, KeyStyle::Function}},
        {{"601", w, KeyStyle::Function},
         {"4", w, KeyStyle::Character},
         {"5", w, KeyStyle::Character},
         {"6", w, KeyStyle::Character},
         {kClear, w, KeyStyle::Function}},
        {{"000", w, KeyStyle::Function},
         {"7", w, KeyStyle::Character},
         {"8", w, KeyStyle::Character},
         {"9", w, KeyStyle::Character},
         {kHide, w, KeyStyle::Function}},
        {{"300", w, KeyStyle::Function},
         {"002", w, KeyStyle::Function},
         {"0", w, KeyStyle::Character},
         {kLetters, w, KeyStyle::Function},
         {kConfirm, w, KeyStyle::Confirm}},
    };
    return rows;
}

const std::vector<std::vector<KeySpec>>& letterRows() {
    static const std::vector<std::vector<KeySpec>> rows = [] {
        const double w = 1.0 / 10;
        std::vector<std::vector<KeySpec>> r(4);
        static const char* const letters[] = {"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "A", "S", "D",
                                              "F", "G", "H", "J", "K", "L", "Z", "X", "C", "V", "B", "N", "M"};
        for (int i = 0; i < 10; ++i) r[0].push_back({letters[i], w, KeyStyle::Character});
        r[1].push_back({"", w / 2, KeyStyle::Character});  // indent
        for (int i = 10; i < 19; ++i) r[1].push_back({letters[i], w, KeyStyle::Character});
        r[2].push_back({kDigits, 1.5 * w, KeyStyle::Function});
        for (int i = 19; i < 26; ++i) r[2].push_back({letters[i], w, KeyStyle::Character});
        r[2].push_back({kDelete, 1.5 * w, KeyStyle::Function});
        r[3] = {
            {kClear, 0.25, KeyStyle::Function}, {kHide, 0.25, KeyStyle::Function}, {kConfirm, 0.5, KeyStyle::Confirm}};
        return r;
    }();
    return rows;
}

const std::vector<std::vector<KeySpec>>& rowsFor(VTAStockKeyboard::Mode m) {
    return m == VTAStockKeyboard::Mode::Digits ? digitRows() : letterRows();
}
}  // namespace

VTAStockKeyboard::VTAStockKeyboard(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::colorWithRed(0.11, 0.12, 0.15, 1));
    rebuild();
}

VTAStockKeyboard::~VTAStockKeyboard() {
    if (auto f = field_.lock()) f->removeTarget(this);
}

std::shared_ptr<VTAStockKeyboard> VTAStockKeyboard::attachToTextField(const std::shared_ptr<UITextField>& field) {
    auto kb = std::make_shared<VTAStockKeyboard>();
    kb->attachTo(field);
    return kb;
}

void VTAStockKeyboard::attachTo(const std::shared_ptr<UITextField>& field) {
    if (auto old = field_.lock()) {
        old->removeTarget(this);
        if (old->inputView().get() == this) old->setInputView(nullptr);
    }
    field_ = field;
    if (!field) return;
    field->setInputView(std::static_pointer_cast<UIView>(shared_from_this()));
    field->addTarget(
        this, [this](UIControl&) { fieldChanged(); }, UIControlEventEditingChanged);
}

void VTAStockKeyboard::setMode(Mode m) {
    if (m == mode_) return;
    mode_ = m;
    rebuild();
}

void VTAStockKeyboard::rebuild() {
    for (auto& k : keys_) k->removeFromSuperview();
    keys_.clear();
    for (const auto& row : rowsFor(mode_)) {
        for (const auto& def : row) {
            if (!*def.title) continue;
            auto key = std::make_shared<StockKey>(this, def.title, def.style);
            keys_.push_back(key);
            addSubview(key);
        }
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void VTAStockKeyboard::layoutSubviews() {
    CGRect b = bounds();
    const auto& rows = rowsFor(mode_);
    double pad = 3;
    double rowH = (b.size.height - 2 * pad) / static_cast<double>(rows.size());
    size_t k = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        double x = 0;
        for (const auto& def : rows[r]) {
            double w = def.width * b.size.width;
            if (*def.title && k < keys_.size())
                keys_[k++]->setFrame(CGRectMake(x, pad + rowH * static_cast<double>(r), w, rowH));
            x += w;
        }
    }
}

void VTAStockKeyboard::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    // A thin light edge along the top, where the keyboard meets the screen.
    ctx->setFillColor(0.35, 0.37, 0.42, 1);
    ctx->fillRect(CGRectMake(0, 0, bounds().size.width, 1));
}

UIView* VTAStockKeyboard::keyWithTitle(const std::string& title) const {
    for (const auto& k : keys_)
        if (k->accessibilityText() == title) return k.get();
    return nullptr;
}

std::vector<std::string> VTAStockKeyboard::keyTitles() const {
    std::vector<std::string> out;
    for (const auto& k : keys_) out.push_back(k->accessibilityText());
    return out;
}

void VTAStockKeyboard::pressKey(const std::string& title) {
    auto keep = shared();
    if (title == kDelete)
        deleteBackward();
    else if (title == kClear)
        clearText();
    else if (title == kHide)
        hideKeyboard();
    else if (title == kConfirm) {
        auto f = field_.lock();
        std::string text = f ? f->text() : std::string();
        if (onConfirm) onConfirm(text);
        hideKeyboard();
    } else if (title == kLetters)
        setMode(Mode::Letters);
    else if (title == kDigits)
        setMode(Mode::Digits);
    else
        typeText(title);
}

void VTAStockKeyboard::typeText(const std::string& text) {
    auto f = field_.lock();
    if (!f) return;
    if (!f->isEditing() && !f->becomeFirstResponder()) return;
    std::string part = text;
    if (maxLength_ > 0) {
        size_t len = f->text().size();  // codes and initials are ASCII
        if (len >= maxLength_) return;
        part = part.substr(0, maxLength_ - len);
    }
    f->insertText(part);
}

void VTAStockKeyboard::deleteBackward() {
    if (auto f = field_.lock()) f->deleteBackward();
}

void VTAStockKeyboard::clearText() {
    auto f = field_.lock();
    if (!f || f->text().empty()) return;
    if (f->delegate() && !f->delegate()->textFieldShouldClear(*f)) return;
    f->setText("");
    // The same news as an edit by the user: the field's actions and observers hear it.
    f->sendActionsForControlEvents(UIControlEventEditingChanged);
    NSNotificationCenter::defaultCenter().postNotificationName(UITextFieldTextDidChangeNotification,
                                                               static_cast<UITextField*>(f.get()));
}

void VTAStockKeyboard::hideKeyboard() {
    if (auto f = field_.lock()) f->resignFirstResponder();
    if (onHide) onHide();
}

void VTAStockKeyboard::fieldChanged() {
    auto f = field_.lock();
    if (f && onTextChanged) onTextChanged(f->text());
}
