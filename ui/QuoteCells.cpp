#include "ui/QuoteCells.h"

#include "platform/graphics/UIImage.h"
#include "platform/uikit/UITouch.h"
#include "ui/Palette.h"

#include <cmath>

namespace {
std::shared_ptr<UILabel> quoteLabel(double size, UITextAlignment align, std::shared_ptr<UIColor> color) {
    auto l = std::make_shared<UILabel>();
    l->setFont(UIFont::boldSystemFontOfSize(size));
    l->setTextColor(std::move(color));
    l->setBackgroundColor(UIColor::clearColor());
    l->setTextAlignment(align);
    l->setAdjustsFontSizeToFitWidth(true);
    l->setMinimumFontSize(9);
    return l;
}

// The percent box colours: rise, fall, flat.
std::shared_ptr<UIColor> percentColor(int type) {
    return type == 0   ? colorWithIndex(41)
           : type == 1 ? UIColor::colorWithRed(0.0, 0.6, 0.0, 1)
                       : UIColor::colorWithWhite(0.45, 1);
}
}  // namespace

// ---------------------------------------------------------------- HQTableCell

HQTableCell::HQTableCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {
    setBackgroundColor(UIColor::blackColor());
    name_ = quoteLabel(17, UITextAlignment::Left, UIColor::whiteColor());
    code_ = quoteLabel(12, UITextAlignment::Left, colorWithIndex(6));
    price_ = quoteLabel(17, UITextAlignment::Right, colorWithIndex(17));
    zd_ = quoteLabel(15, UITextAlignment::Right, colorWithIndex(17));
    zdf_ = std::make_shared<UIButton>(UIButtonType::Custom);
    zdf_->setTitleColor(UIColor::whiteColor());
    zdf_->setFont(UIFont::boldSystemFontOfSize(15));
    zdf_->setCornerRadius(4);
    zdf_->setBackgroundColor(percentColor(0));
    zdf_->addTarget(
        this,
        [this](UIControl&) {
            if (action_) action_(*this);
        },
        UIControlEventTouchUpInside);
    for (auto* v : {name_.get(), code_.get(), price_.get(), zd_.get()}) contentView()->addSubview(v->shared());
    contentView()->addSubview(zdf_);
}

void HQTableCell::setStockName(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color) {
    name_->setText(t);
    if (font) name_->setFont(font);
    if (color) name_->setTextColor(color);
}
void HQTableCell::setStockCode(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color) {
    code_->setText(t);
    if (font) code_->setFont(font);
    if (color) code_->setTextColor(color);
}
void HQTableCell::setPrice(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color) {
    price_->setText(t);
    if (font) price_->setFont(font);
    if (color) price_->setTextColor(color);
}
void HQTableCell::setZD(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color) {
    zd_->setText(t);
    if (font) zd_->setFont(font);
    if (color) zd_->setTextColor(color);
}
void HQTableCell::setZDF(const std::string& t, std::shared_ptr<UIFont> font, bool red) {
    zdf_->setTitle(t);
    if (font) zdf_->setFont(font);
    // The bundle's red or green button image; the plain colour only when the
    // bundle lacks it.
    auto image = UIImage::imageNamed(red ? "ZDFRedBtn.png" : "ZDFGreenBtn.png");
    zdf_->setBackgroundImage(image);
    zdf_->setBackgroundColor(image ? UIColor::clearColor() : percentColor(red ? 0 : 1));
}

void HQTableCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    CGRect b = contentView()->bounds();
    double h = b.size.height;
    name_->setFrame(CGRectMake(8, 2, 100, h * 0.6));
    code_->setFrame(CGRectMake(8, h * 0.6, 100, h * 0.4 - 2));
    price_->setFrame(CGRectMake(110, 0, 70, h));
    zd_->setFrame(CGRectMake(182, 0, 58, h));
    zdf_->setFrame(CGRectMake(246, 6, 68, h - 12));
}

// ---------------------------------------------------------------- MYExpandTableViewCell

MYExpandTableViewCell::MYExpandTableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier,
                                             bool isExistInPortfolio)
    : UITableViewCell(style, reuseIdentifier) {
    setBackgroundColor(UIColor::blackColor());
    if (isExpanded()) setSelectionStyle(UITableViewCellSelectionStyle::None);
    name_ = quoteLabel(17, UITextAlignment::Left, UIColor::whiteColor());
    symbol_ = quoteLabel(12, UITextAlignment::Left, colorWithIndex(8));
    last_ = quoteLabel(18, UITextAlignment::Right, colorWithIndex(17));
    change_ = quoteLabel(15, UITextAlignment::Right, colorWithIndex(17));
    percent_ = quoteLabel(16, UITextAlignment::Center, UIColor::whiteColor());
    percent_->setBackgroundColor(percentColor(2));
    percent_->setCornerRadius(4);
    for (auto* v : {name_.get(), symbol_.get(), last_.get(), change_.get(), percent_.get()})
        contentView()->addSubview(v->shared());
    const char* titles[5] = {isExistInPortfolio ? "-自选" : "+自选", "买入", "卖出", "K线", "五档"};
    for (int i = 0; i < 5; ++i) {
        auto b = std::make_shared<UIButton>(UIButtonType::Custom);
        b->setTitle(titles[i]);
        b->setTitleColor(UIColor::whiteColor());
        b->setTitleColor(UIColor::lightGrayColor(), UIControlStateHighlighted);
        b->setFont(UIFont::boldSystemFontOfSize(15));
        b->setBackgroundColor(UIColor::colorWithRed(0.16, 0.2, 0.28, 1));
        b->setCornerRadius(4);
        b->setHidden(!isExpanded());
        b->addTarget(
            this,
            [this, i](UIControl&) {
                if (actions_[i]) actions_[i](*this);
            },
            UIControlEventTouchUpInside);
        contentView()->addSubview(b);
        buttons_.push_back(b);
    }
}

UIButton* MYExpandTableViewCell::actionButton(int i) const {
    return i >= 0 && i < static_cast<int>(buttons_.size()) ? buttons_[static_cast<size_t>(i)].get() : nullptr;
}

void MYExpandTableViewCell::setName(const std::string& t) { name_->setText(t); }
void MYExpandTableViewCell::setSymbol(const std::string& t) { symbol_->setText(t); }
void MYExpandTableViewCell::setLastTrade(const std::string& t, std::shared_ptr<UIColor> color) {
    last_->setText(t);
    if (color) last_->setTextColor(color);
}
void MYExpandTableViewCell::setChange(const std::string& t, std::shared_ptr<UIColor> color) {
    change_->setText(t);
    if (color) change_->setTextColor(color);
}
void MYExpandTableViewCell::setChangePercent(const std::string& t, int upDownType) {
    upDown_ = upDownType;
    percent_->setText(t);
    percent_->setBackgroundColor(percentColor(upDownType));
}
void MYExpandTableViewCell::setRedDotHidden(bool hidden) {
    redDotHidden_ = hidden;
    setNeedsDisplay();
}

void MYExpandTableViewCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    CGRect b = contentView()->bounds();
    double h = kNormalHeight;
    name_->setFrame(CGRectMake(10, 2, 100, 24));
    symbol_->setFrame(CGRectMake(10, 25, 100, 15));
    last_->setFrame(CGRectMake(110, 0, 70, h));
    change_->setFrame(CGRectMake(182, 0, 58, h));
    percent_->setFrame(CGRectMake(246, 7, 68, h - 14));
    double w = (b.size.width - 12) / 5;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setFrame(CGRectMake(6 + w * i + 2, h + 6, w - 4, h - 12));
        buttons_[i]->setHidden(!isExpanded());
    }
}

void MYExpandTableViewCell::drawRect(const CGRect& r) {
    UITableViewCell::drawRect(r);
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    if (isExpanded()) {
        ctx->setFillColor(0.08, 0.1, 0.14, 1);
        ctx->fillRect(CGRectMake(0, kNormalHeight, bounds().size.width, kNormalHeight));
    }
    if (!redDotHidden_) {
        ctx->setFillColor(*colorWithIndex(41));
        ctx->fillEllipseInRect(CGRectMake(2, 6, 6, 6));
    }
}

void MYExpandTableViewCell::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    swiped_ = false;
    if (UITouch* t = touches.anyObject()) touchStart_ = t->locationInView(this);
    UITableViewCell::touchesBegan(touches, event);
}

void MYExpandTableViewCell::touchesMoved(const UITouchSet& touches, UIEvent* event) {
    UITouch* t = touches.anyObject();
    if (!t || swiped_) return;
    CGPoint p = t->locationInView(this);
    double dx = p.x - touchStart_.x, dy = p.y - touchStart_.y;
    if (std::fabs(dx) >= 40 && std::fabs(dy) < 20) {
        UITableView* table = tableView();
        auto* d = table ? dynamic_cast<MYExpandTableViewDelegate*>(table->delegate()) : nullptr;
        auto path = table ? table->indexPathForCell(this) : std::nullopt;
        if (!d || !path) return;
        if (!d->tableViewShouldSwipeCellAtIndexPath(*table, *path)) return;
        swiped_ = true;
        UITableViewCell::touchesCancelled(touches, event);  // no tap, no highlight
        auto keep = shared();
        d->tableViewDidSwipeCellAtIndexPath(*table, *path);
        return;
    }
    if (std::fabs(dx) < 40) UITableViewCell::touchesMoved(touches, event);
}

void MYExpandTableViewCell::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    if (swiped_) {
        swiped_ = false;
        return;
    }
    UITableViewCell::touchesEnded(touches, event);
}
