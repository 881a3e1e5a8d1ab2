#include "charts/VTAChartView.h"

#include "charts/ChartDrawing.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;

VTAChartView::VTAChartView(const CGRect& frame) : VTAView(frame) { setBackgroundColor(colorWithIndex(0)); }

VTAChartView::~VTAChartView() = default;

void VTAChartView::setChartHQRS(std::shared_ptr<VTATCRS> set) {
    chartHQRS_ = std::move(set);
    cursorIndex_ = -1;
    setNeedsDisplay();
}

void VTAChartView::setShowCursor(bool show) {
    showCursor_ = show;
    setNeedsDisplay();
}

void VTAChartView::readStock() {
    if (!baseHQRS_ || baseHQRS_->rowsAffected() == 0) return;
    baseHQRS_->fetchFirst();
    stkName_ = baseHQRS_->toStringWithFieldName(Col::kName).value_or("");
    stKCode_ = baseHQRS_->toStringWithFieldName(Col::kCode).value_or("");
    stkMarketID_ = static_cast<int>(baseHQRS_->toIntWithFieldName(Col::kMarket));
    stkClass_ = static_cast<int>(baseHQRS_->toIntWithFieldName(Col::kClass));
}

void VTAChartView::drawRect(const CGRect&) {
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) drawChartWithContext(*ctx);
}

void VTAChartView::doAction(VTATouchAction action, const VTATouchSequence& sequence) {
    reportAction(action, sequence.start[0]);
}

bool VTAChartView::reportAction(VTATouchAction action, CGPoint point) {
    if (!chartDelegate_) return false;
    CGRect rect = CGRectZero;
    for (const CGRect* r : {&lineRect_, &cjlRect_, &detailRect_, &verticalBarRect_, &horizontalBarRect_})
        if (!CGRectIsEmpty(*r) && CGRectContainsPoint(*r, point)) {
            rect = *r;
            break;
        }
    auto keep = shared();
    return chartDelegate_->chartViewDoAction(*this, action, rect, point);
}

void VTAChartView::drawPlotFrame(CGContext& ctx) const {
    CGRect plot = CGRectUnion(lineRect_, cjlRect_);
    ctx.saveGState();
    ctx.setStrokeColor(*colorWithIndex(4));
    ctx.setLineWidth(1);
    ctx.strokeRect(CGRectInset(plot, -0.5, -0.5));
    ctx.restoreGState();
    strokeChartLine(ctx, plot.origin.x, CGRectGetMaxY(lineRect_), CGRectGetMaxX(plot), CGRectGetMaxY(lineRect_),
                    *colorWithIndex(4));
}

void VTAChartView::drawCursorLines(CGContext& ctx, double x, double y) const {
    const UIColor& color = *colorWithIndex(22);
    double top = CGRectGetMinY(lineRect_);
    double bottom = CGRectIsEmpty(cjlRect_) ? CGRectGetMaxY(lineRect_) : CGRectGetMaxY(cjlRect_);
    strokeChartLine(ctx, x, top, x, bottom, color);
    strokeChartLine(ctx, CGRectGetMinX(lineRect_), y, CGRectGetMaxX(lineRect_), y, color);
}

void VTAChartView::drawCursorBox(CGContext& ctx, const std::vector<std::pair<std::string, std::string>>& rows) const {
    const double rowHeight = 14, width = 96;
    CGRect box =
        CGRectMake(CGRectGetMinX(lineRect_) + 1, CGRectGetMinY(lineRect_) + 1, width, rows.size() * rowHeight + 4);
    ctx.saveGState();
    ctx.setFillColor(*colorWithIndex(23));
    ctx.fillRect(box);
    ctx.setStrokeColor(*colorWithIndex(22));
    ctx.setLineWidth(1);
    ctx.strokeRect(CGRectInset(box, 0.5, 0.5));
    ctx.restoreGState();
    const UIFont& font = chartFont(11);
    for (size_t i = 0; i < rows.size(); ++i) {
        double y = box.origin.y + 2 + i * rowHeight;
        drawStringInRect(&ctx, rows[i].first, box.origin.x + 3, y, 30, rowHeight, font, *colorWithIndex(24));
        drawStringInRect(&ctx, rows[i].second, box.origin.x + 30, y, width - 33, rowHeight, font, *colorWithIndex(24),
                         TextDrawingMode::Fill, 2);
    }
}
