#include "charts/QuotesMeterView.h"

namespace {

// Every redraw starts from what lies under the view (views here share one
// picture), so there is nothing of an earlier line to clear first.
void drawMeterLine(const CGRect& line) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    ctx->saveGState();
    ctx->setShadow(CGSizeMake(0, 0), 4, UIColor::whiteColor());
    ctx->setFillColor(*UIColor::blueColor());
    ctx->fillRect(line);
    ctx->restoreGState();
}

void makeLineView(UIView& v) {
    v.setBackgroundColor(UIColor::clearColor());
    v.setOpaque(false);
    v.setUserInteractionEnabled(false);
}

}  // namespace

QuotesMeterView::QuotesMeterView(const CGRect& frame) : UIView(frame) { makeLineView(*this); }

void QuotesMeterView::drawRect(const CGRect&) {
    CGRect b = bounds();
    drawMeterLine(CGRectMake((b.size.width - 2) / 2, 0, 1, b.size.height - 5));
}

QuotesHorizontalMeterView::QuotesHorizontalMeterView(const CGRect& frame) : UIView(frame) { makeLineView(*this); }

void QuotesHorizontalMeterView::drawRect(const CGRect&) {
    CGRect b = bounds();
    drawMeterLine(CGRectMake(CGRectGetMinX(b), (b.size.height - 2) / 2, CGRectGetMaxX(b), 1));
}
