#include "ui/QuotesPageControl.h"

#include "platform/graphics/TextDrawing.h"

#include <algorithm>
#include <array>

namespace {
const std::array<const char*, 4> kLabels = {"分", "K", "细", "F10"};
constexpr double kMarkWidth = 30;
}  // namespace

QuotesPageControl::QuotesPageControl(const CGRect& frame) : UIView(frame) {
    setUserInteractionEnabled(false);
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
}

std::string QuotesPageControl::labelForPage(int page) {
    if (page < 0 || page >= static_cast<int>(kLabels.size())) return "";
    return kLabels[static_cast<size_t>(page)];
}

void QuotesPageControl::setNumberOfPages(int n) {
    pages_ = std::clamp(n, 0, static_cast<int>(kLabels.size()));
    setCurrentPage(current_);
}

void QuotesPageControl::setCurrentPage(int page) {
    current_ = pages_ == 0 ? 0 : std::clamp(page, 0, pages_ - 1);
    setNeedsDisplay();
}

std::string QuotesPageControl::accessibilityText() const {
    std::string out;
    for (int i = 0; i < pages_; ++i)
        out += (i == current_ ? "[" + labelForPage(i) + "]" : labelForPage(i)) + (i + 1 < pages_ ? " " : "");
    return out;
}

void QuotesPageControl::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || pages_ == 0) return;
    CGRect b = bounds();
    double total = kMarkWidth * pages_;
    double x = (b.size.width - total) / 2;
    double h = std::min(b.size.height, 16.0);
    double y = (b.size.height - h) / 2;
    auto font = UIFont::boldSystemFontOfSize(10);
    for (int i = 0; i < pages_; ++i) {
        CGRect mark = CGRectMake(x + i * kMarkWidth + 2, y, kMarkWidth - 4, h);
        bool on = i == current_;
        ctx->setFillColor(on ? 1.0 : 0.5, on ? 1.0 : 0.5, on ? 1.0 : 0.5, on ? 0.95 : 0.5);
        ctx->beginPath();
        ctx->addRoundedRect(mark, h / 2);
        ctx->fillPath();
        std::string text = labelForPage(i);
        CGSize s = sizeWithFont(text, *font);
        ctx->setFillColor(0, 0, 0, 1);
        UIGraphicsPushContext(ctx);
        drawStringAtPoint(text, CGPointMake(CGRectGetMidX(mark) - s.width / 2, CGRectGetMidY(mark) - s.height / 2),
                          *font);
        UIGraphicsPopContext();
    }
}
