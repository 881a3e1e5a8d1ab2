#include "charts/QuotesMeterView.h"

#include "charts/ChartBackdrop.h"

namespace {

// Every redraw starts from what lies under the view (views here share one
// picture), so there is nothing of an earlier line to clear first. The line
// and its glow (a blur, the dearest thing on a crosshair frame) depend on the
// view's size only: their picture is kept while the finger moves the view.
void drawMeterLine(ChartBackdrop& backdrop, const CGSize& size, const CGRect& line) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    backdrop.paint(*ctx, size, false, [&](CGContext& c) {
        c.saveGState();
        c.setShadow(CGSizeMake(0, 0), 4, UIColor::whiteColor());
        c.setFillColor(*UIColor::blueColor());
        c.fillRect(line);
        c.restoreGState();
    });
}

void makeLineView(UIView& v) {
    v.setBackgroundColor(UIColor::clearColor());
    v.setOpaque(false);
    v.setUserInteractionEnabled(false);
}

}  // namespace

QuotesMeterView::QuotesMeterView(const CGRect& frame) : UIView(frame), backdrop_(std::make_unique<ChartBackdrop>()) {
    makeLineView(*this);
}

QuotesMeterView::~QuotesMeterView() = default;

void QuotesMeterView::drawRect(const CGRect&) {
    CGRect b = bounds();
    drawMeterLine(*backdrop_, b.size, CGRectMake((b.size.width - 2) / 2, 0, 1, b.size.height - 5));
}

QuotesHorizontalMeterView::QuotesHorizontalMeterView(const CGRect& frame)
    : UIView(frame), backdrop_(std::make_unique<ChartBackdrop>()) {
    makeLineView(*this);
}

QuotesHorizontalMeterView::~QuotesHorizontalMeterView() = default;

void QuotesHorizontalMeterView::drawRect(const CGRect&) {
    CGRect b = bounds();
    drawMeterLine(*backdrop_, b.size, CGRectMake(CGRectGetMinX(b), (b.size.height - 2) / 2, CGRectGetMaxX(b), 1));
}
