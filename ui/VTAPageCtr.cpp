#include "ui/VTAPageCtr.h"

#include <algorithm>
#include <cstdio>

namespace {
std::shared_ptr<UIButton> pageButton(const std::string& title) {
    auto b = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(0, 0, 80, 32));
    b->setTitle(title);
    b->setTitleColor(UIColor::whiteColor());
    b->setTitleColor(UIColor::lightGrayColor(), UIControlStateHighlighted);
    b->setFont(UIFont::boldSystemFontOfSize(15));
    b->setBackgroundColor(UIColor::colorWithRed(0.25, 0.32, 0.45, 1));
    b->setCornerRadius(5);
    return b;
}
}  // namespace

VTAPageCtr::VTAPageCtr(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::colorWithRed(0.137, 0.176, 0.255, 1));  // opaque: rows under it do not show through
    prev_ = pageButton("上一页");
    next_ = pageButton("下一页");
    label_ = std::make_shared<UILabel>();
    label_->setTextColor(UIColor::whiteColor());
    label_->setBackgroundColor(UIColor::clearColor());
    label_->setFont(UIFont::systemFontOfSize(15));
    label_->setTextAlignment(UITextAlignment::Center);
    addSubview(prev_);
    addSubview(label_);
    addSubview(next_);
    prev_->addTarget(
        this, [this](UIControl&) { previousPage(); }, UIControlEventTouchUpInside);
    next_->addTarget(
        this, [this](UIControl&) { nextPage(); }, UIControlEventTouchUpInside);
    setStatusWithCurpage(1, 1);
    layoutSubviews();
}

void VTAPageCtr::layoutSubviews() {
    CGRect b = bounds();
    double h = std::min(32.0, b.size.height - 8);
    double y = (b.size.height - h) / 2;
    prev_->setFrame(CGRectMake(8, y, 80, h));
    next_->setFrame(CGRectMake(b.size.width - 88, y, 80, h));
    label_->setFrame(CGRectMake(96, 0, std::max(0.0, b.size.width - 192), b.size.height));
}

void VTAPageCtr::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    ctx->setStrokeColor(1, 1, 1, 0.25);
    ctx->setLineWidth(1);
    ctx->beginPath();
    ctx->moveToPoint(0, 0.5);
    ctx->addLineToPoint(bounds().size.width, 0.5);
    ctx->strokePath();
}

void VTAPageCtr::update(bool showPrevious, bool showNext) {
    char text[32];
    std::snprintf(text, sizeof text, "第%d页", curPage_);
    label_->setText(text);
    prev_->setHidden(!showPrevious);
    next_->setHidden(!showNext);
    setNeedsLayout();
}

void VTAPageCtr::setStatusWithCurpage(int cur, int total) {
    totalPage_ = std::max(1, total);
    curPage_ = std::clamp(cur, 1, totalPage_);
    update(curPage_ > 1, curPage_ < totalPage_);
}

void VTAPageCtr::setStatusIsEnd(bool isEnd, bool isBegan, int page) {
    curPage_ = std::max(1, page);
    totalPage_ = isEnd ? curPage_ : curPage_ + 1;
    update(!isBegan, !isEnd);
}

void VTAPageCtr::previousPage() {
    if (curPage_ < 2) return;
    --curPage_;
    update(curPage_ > 1, true);
    if (delegate_) delegate_->pageActionFromPageCtr(*this);
}

void VTAPageCtr::nextPage() {
    if (curPage_ >= totalPage_) return;
    ++curPage_;
    update(true, curPage_ < totalPage_);
    if (delegate_) delegate_->pageActionFromPageCtr(*this);
}

void VTAPageCtr::showFromBottomInView(UIView* view) {
    if (!view) return;
    ++moves_;
    CGRect vb = view->bounds();
    CGRect f = frame();
    f.origin.x = vb.origin.x;
    f.size.width = f.size.width > 0 ? f.size.width : vb.size.width;
    if (superview() != view) {
        removeFromSuperview();
        f.origin.y = CGRectGetMaxY(vb);
        setFrame(f);
        view->addSubview(std::static_pointer_cast<UIView>(shared()));
    }
    f.origin.y = CGRectGetMaxY(vb) - f.size.height;
    UIView::animateWithDuration(0.25, [this, f] { setFrame(f); });
}

void VTAPageCtr::hideWithAnimation(bool animated) {
    UIView* parent = superview();
    unsigned move = ++moves_;
    if (!parent) return;
    if (!animated) {
        removeFromSuperview();
        return;
    }
    CGRect f = frame();
    f.origin.y = CGRectGetMaxY(parent->bounds());
    auto self = shared();
    UIView::animateWithDuration(
        0.25, [this, f] { setFrame(f); },
        [this, self, move](bool) {
            if (move == moves_) self->removeFromSuperview();
        });
}
