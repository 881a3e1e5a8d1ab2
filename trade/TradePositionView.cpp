#include "trade/TradePositionView.h"

#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;

namespace {

constexpr int kRows = 6;
const char* const kAskLabels[kRows] = {"卖一", "卖二", "卖三", "卖四", "卖五", "涨停价"};
const char* const kBidLabels[kRows] = {"买一", "买二", "买三", "买四", "买五", "跌停价"};

// Button tags: the left column first, then the right one.
bool isLeft(int tag) { return tag < TradePositionView::kFirstButtonTag + kRows; }
int rowOf(int tag) { return (tag - TradePositionView::kFirstButtonTag) % kRows; }

}  // namespace

TradePositionView::TradePositionView(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    const double w = frame.size.width / 2, h = frame.size.height / kRows;
    for (int i = 0; i < 2 * kRows; ++i) {
        auto b = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(i < kRows ? 0 : w, (i % kRows) * h, w, h));
        b->setBackgroundColor(UIColor::clearColor());
        b->setTag(kFirstButtonTag + i);
        b->addTarget(
            this, [this](UIControl& sender) { btnAction(sender.tag()); }, UIControlEventTouchUpInside);
        buttons_[size_t(i)] = b;
        addSubview(b);
    }
    // The limit prices keep their colours whatever the quote.
    setButtonWithResult(*buttons_[kRows - 1], 1);
    setButtonWithResult(*buttons_[2 * kRows - 1], -1);
}

void TradePositionView::setPositionsWithArray(const RecordSets& sets) {
    if (sets.empty()) return;
    if (sets.size() > 2) {
        baseHQRS_ = sets[0];
        detailHQRS_ = sets[2];
    }
    setNeedsDisplay();
}

void TradePositionView::setGoUpStaying(std::optional<std::string> price) {
    goUpStaying_ = std::move(price);
    setNeedsDisplay();
}

void TradePositionView::setFallStaying(std::optional<std::string> price) {
    fallStaying_ = std::move(price);
    setNeedsDisplay();
}

UIButton* TradePositionView::buttonWithTag(int tag) const {
    int i = tag - kFirstButtonTag;
    return i >= 0 && i < 2 * kRows ? buttons_[size_t(i)].get() : nullptr;
}

std::optional<std::string> TradePositionView::priceOfButton(int tag) const {
    if (!buttonWithTag(tag)) return std::nullopt;
    const int row = rowOf(tag);
    if (row == kRows - 1) return isLeft(tag) ? goUpStaying_ : fallStaying_;
    if (!detailHQRS_ || detailHQRS_->rowsAffected() == 0) return std::nullopt;
    detailHQRS_->fetchFirst();
    auto price = detailHQRS_->toVTAFloatWithFieldName(isLeft(tag) ? Col::kAskPrice[row] : Col::kBidPrice[row]);
    if (!price) return std::nullopt;
    return price->toString();
}

std::string TradePositionView::volumeText(int64_t shares) {
    return shares < VTAFloat::kNoValue ? std::to_string(shares / 100) : std::string();
}

void TradePositionView::btnAction(int tag) {
    if (!buttonWithTag(tag)) return;
    auto price = priceOfButton(tag);
    if (delegate_) delegate_->selectedPosition(price);
}

void TradePositionView::setButtonWithResult(UIButton& button, int result) {
    const char* name = result == 1 ? kRiseImage : result == -1 ? kFallImage : kFlatImage;
    button.setBackgroundImage(UIImage::imageNamed(name), UIControlStateHighlighted);
}

void TradePositionView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    const CGRect b = bounds();
    const double w = b.size.width, h = b.size.height, half = w / 2, rowHeight = h / kRows;
    const double textHeight = rowHeight - 12;
    auto rowY = [&](int k) { return 6 + k * rowHeight; };
    const auto fontRef = UIFont::systemFontOfSize(16), volumeFontRef = UIFont::systemFontOfSize(14);
    const auto whiteRef = UIColor::whiteColor(), yellowRef = UIColor::yellowColor();
    const UIFont &font = *fontRef, &volumeFont = *volumeFontRef;
    const UIColor& white = *whiteRef;

    for (int k = 0; k < kRows; ++k) {
        drawStringInRect(ctx, kAskLabels[k], 4, rowY(k), 40 + (k == kRows - 1 ? 16 : 0), textHeight, font, white);
        drawStringInRect(ctx, kBidLabels[k], half + 4, rowY(k), 40 + (k == kRows - 1 ? 16 : 0), textHeight, font,
                         white);
    }
    if (goUpStaying_)
        drawStringInRect(ctx, *goUpStaying_, 64, rowY(kRows - 1), half - 66, textHeight, font, *colorWithIndex(41));
    if (fallStaying_)
        drawStringInRect(ctx, *fallStaying_, half + 64, rowY(kRows - 1), half - 66, textHeight, font,
                         *colorWithIndex(42));

    VTATCRS* base = baseHQRS_ && baseHQRS_->rowsAffected() > 0 ? baseHQRS_.get() : nullptr;
    VTATCRS* detail = detailHQRS_ && detailHQRS_->rowsAffected() > 0 ? detailHQRS_.get() : nullptr;
    std::optional<VTAFloat> prevClose;
    if (base) {
        base->fetchFirst();
        prevClose = base->toVTAFloatWithFieldName(Col::kPrevClose);
    }
    if (detail) detail->fetchFirst();
    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? 0 : half;
        for (int k = 0; k < kRows - 1; ++k) {
            const char* priceField = side == 0 ? Col::kAskPrice[k] : Col::kBidPrice[k];
            const char* volumeField = side == 0 ? Col::kAskVolume[k] : Col::kBidVolume[k];
            auto price = detail ? detail->toVTAFloatWithFieldName(priceField) : std::nullopt;
            if (price) {
                drawStringInRect(ctx, price->toString(), x + 44, rowY(k), 54, textHeight, font,
                                 *colorWithCompare(price, prevClose));
                int result = prevClose ? compareVTAFloat(*price, *prevClose) : 0;
                setButtonWithResult(*buttons_[size_t(side * kRows + k)], result);
            }
            const int64_t shares = detail ? detail->toIntWithFieldName(volumeField) : 0;
            drawStringInRect(ctx, volumeText(shares), x + 98, rowY(k), half - 100, textHeight, volumeFont, *yellowRef);
        }
    }
}
