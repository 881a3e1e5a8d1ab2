#include "charts/TradeTimeSharingView.h"

#include "charts/ChartDrawing.h"
#include "charts/IntradayPlot.h"
#include "core/QZUtil.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;

namespace {

// The plot leaves a column at the left for the scale and a strip at the
// bottom for the times.
constexpr double kScaleWidth = 46;
constexpr double kTimeHeight = 14;
constexpr double kGap = 3;

double floatOf(const std::optional<VTAFloat>& v) { return v ? v->toFloat() : 0; }

}  // namespace

TradeTimeSharingView::TradeTimeSharingView(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    setUserInteractionEnabled(false);
}

CGRect TradeTimeSharingView::priceRect() const {
    const CGRect b = bounds();
    const double plotHeight = b.size.height - kTimeHeight - 2 * kGap;
    return CGRectMake(kScaleWidth, kGap, b.size.width - kScaleWidth - kGap, std::floor(plotHeight * 0.7));
}

CGRect TradeTimeSharingView::volumeRect() const {
    const CGRect p = priceRect();
    const double top = CGRectGetMaxY(p) + kGap;
    return CGRectMake(p.origin.x, top, p.size.width, bounds().size.height - kTimeHeight - kGap - top);
}

void TradeTimeSharingView::parseHQData(const RecordSets& sets) {
    if (sets.size() < 2 || !sets[0] || !sets[1] || sets[0]->rowsAffected() == 0) return;
    sets_ = sets;
    VTATCRS& header = *sets_[0];
    header.fetchFirst();
    classId_ = static_cast<int>(header.toIntWithFieldName(Col::kClass));
    session_ = IntradaySession::forMarket(static_cast<int>(header.toIntWithFieldName(Col::kMarket)));
    supplyPoints(sets_, session_);
    scale_ = intradayScaleOf(sets_, false);
    setNeedsDisplay();
}

void TradeTimeSharingView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    const CGRect price = priceRect(), volume = volumeRect();
    const UIColor& grid = *chartGridColor();

    // Frames, the previous close's line and the lunch break.
    ctx->saveGState();
    ctx->setStrokeColor(grid);
    ctx->setLineWidth(1);
    ctx->strokeRect(CGRectInset(price, -0.5, -0.5));
    ctx->strokeRect(CGRectInset(volume, -0.5, -0.5));
    ctx->restoreGState();
    const double middle = std::round(CGRectGetMidY(price)) + 0.5;
    strokeChartLine(*ctx, price.origin.x, middle, CGRectGetMaxX(price), middle, grid, true);
    const double noon = std::round(price.origin.x + session_.noonOffset(price.size.width)) + 0.5;
    strokeChartLine(*ctx, noon, price.origin.y, noon, CGRectGetMaxY(volume), grid, true);

    // The session's times under the plot.
    const UIFont& small = chartFont(10);
    const auto timeColorRef = colorWithIndex(26);
    const UIColor& timeColor = *timeColorRef;
    const double timeY = CGRectGetMaxY(volume) + 1;
    auto time = [](int minutes) { return QZUtil::stringTimeFromIntTime(minutes); };
    drawStringInRect(ctx, time(session_.open), price.origin.x, timeY, 40, kTimeHeight, small, timeColor);
    drawStringInRect(ctx, time(session_.noonClose) + "/" + time(session_.afternoonOpen), noon - 40, timeY, 80,
                     kTimeHeight, small, timeColor, TextDrawingMode::Fill, 1);
    drawStringInRect(ctx, time(session_.close), CGRectGetMaxX(price) - 40, timeY, 40, kTimeHeight, small, timeColor,
                     TextDrawingMode::Fill, 2);

    if (!scale_.upper || !scale_.lower) return;
    // The scale: the bounds in the rise and fall colours, the previous close between them.
    const double labelWidth = kScaleWidth - 4;
    drawStringInRect(ctx, scale_.upper->toString(), 2, price.origin.y, labelWidth, 13, small, *colorWithIndex(15));
    drawStringInRect(ctx, scale_.prevClose ? scale_.prevClose->toString() : "", 2, middle - 7, labelWidth, 13, small,
                     *colorWithIndex(17));
    drawStringInRect(ctx, scale_.lower->toString(), 2, CGRectGetMaxY(price) - 13, labelWidth, 13, small,
                     *colorWithIndex(16));

    if (!scale_.isDrawable() || sets_.size() < 2 || !sets_[1]) return;
    VTATCRS& points = *sets_[1];
    IntradayPlot plot(session_.maxPoints(), floatOf(scale_.upper), floatOf(scale_.lower));
    plot.drawLine(*ctx, points, Col::kLast, price, scale_.open, *colorWithIndex(30));
    if (classId_ != QuoteContract::Class::kIndex)
        plot.drawLine(*ctx, points, Col::kAverage, price, scale_.open, *colorWithIndex(29));
    plot.drawVolume(*ctx, points, volume, *colorWithIndex(28));
}
