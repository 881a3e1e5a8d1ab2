#include "quotes/QuotesInfoRadarView.h"

#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIColor.h"
#include "platform/graphics/UIFont.h"
#include "ui/Palette.h"

namespace {

using namespace QuoteContract;

// The first `count` characters of a UTF-8 text.
std::string firstCharacters(const std::string& text, size_t count) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars == count) return text.substr(0, i);
        ++chars;
    }
    return text;
}

constexpr double kSmallestIndexFont = 8;

struct IndexBox {
    CGRect label, price, amount;
    const char* title;
};
const IndexBox kIndexBoxes[2] = {
    {{{2, 0}, {52, 16}}, {{54, 0}, {52, 16}}, {{102, 0}, {58, 16}}, "上证指数:"},
    {{{160, 0}, {52, 16}}, {{212, 0}, {52, 16}}, {{260, 0}, {58, 16}}, "深证成指:"},
};

}  // namespace

QuotesInfoRadarView::QuotesInfoRadarView(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::blackColor());
    infoBtn_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(0, 0, frame.size.width, frame.size.height));
    infoBtn_->setBackgroundColor(UIColor::clearColor());
    infoBtn_->setEnabled(false);
    infoBtn_->addTarget(
        this, [this](UIControl&) { infoBtnAction(); }, UIControlEventTouchUpInside);
    addSubview(infoBtn_);
}

void QuotesInfoRadarView::setIsHaveRadar(bool have) {
    isHaveRadar_ = have;
    setNeedsDisplay();
}

void QuotesInfoRadarView::setInfoRadarContent(const std::string& text) {
    infoRadarContent_ = text;
    setNeedsDisplay();
}

void QuotesInfoRadarView::setMarketIndexData(std::shared_ptr<VTATCRS> data) {
    marketIndexData_ = std::move(data);
    setNeedsDisplay();
}

void QuotesInfoRadarView::infoBtnAction() {
    if (delegate_) delegate_->quotesInfoRadarAction();
}

std::string QuotesInfoRadarView::shownRadarText(const std::string& text) {
    if (utf8Length(text) <= kLongestText) return text;
    return firstCharacters(text, kLongestText) + "...";
}

std::vector<std::string> QuotesInfoRadarView::indexTexts() const {
    if (!marketIndexData_ || marketIndexData_->rowsAffected() != 2) return {};
    std::vector<std::string> texts;
    for (int row = 0; row < 2; ++row) {
        marketIndexData_->moveToIndex(row);
        auto last = marketIndexData_->toVTAFloatWithFieldName(Col::kLast);
        auto amount = marketIndexData_->toVTAFloatWithFieldName(Col::kAmount);
        texts.push_back(kIndexBoxes[row].title);
        texts.push_back(last ? last->toString() : std::string());
        texts.push_back(amount ? amount->toMoney() : std::string());
    }
    marketIndexData_->fetchFirst();
    return texts;
}

std::string QuotesInfoRadarView::accessibilityText() const {
    if (isHaveRadar_) return shownRadarText(infoRadarContent_);
    std::string out;
    for (const auto& t : indexTexts()) out += (out.empty() ? "" : " ") + t;
    return out;
}

void QuotesInfoRadarView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    if (isHaveRadar_) {
        // The cut text is kept, as the strip shows it.
        infoRadarContent_ = shownRadarText(infoRadarContent_);
        ctx->setFillColor(*UIColor::whiteColor());
        // Thirty Chinese characters are wider than the strip: what does not fit ends in "…".
        drawStringAtPoint(infoRadarContent_, CGPointMake(2, 0), bounds().size.width - 4, *UIFont::systemFontOfSize(14),
                          UILineBreakMode::TailTruncation);
        return;
    }
    if (!marketIndexData_ || marketIndexData_->rowsAffected() != 2) return;
    auto font = UIFont::systemFontOfSize(12);
    for (int row = 0; row < 2; ++row) {
        marketIndexData_->moveToIndex(row);
        auto last = marketIndexData_->toVTAFloatWithFieldName(Col::kLast);
        auto prevClose = marketIndexData_->toVTAFloatWithFieldName(Col::kPrevClose);
        auto amount = marketIndexData_->toVTAFloatWithFieldName(Col::kAmount);
        const IndexBox& box = kIndexBoxes[row];
        // Centred in its box, smaller when it would not fit (a large amount).
        auto centred = [&](const std::string& text, const CGRect& rect, const UIColor& color) {
            ctx->setFillColor(color);
            auto fitted = font->fontWithSize(fittingFontSize(text, *font, rect.size.width - 4, kSmallestIndexFont));
            CGSize s = sizeWithFont(text, *fitted);
            drawStringAtPoint(text, CGPointMake(CGRectGetMidX(rect) - s.width / 2, CGRectGetMidY(rect) - s.height / 2),
                              *fitted);
        };
        centred(box.title, box.label, *UIColor::whiteColor());
        // The price box reaches into the amount's: each text keeps to its own
        // part, so a long price and amount never run together.
        CGRect price = box.price, money = box.amount;
        double shared = CGRectGetMaxX(price) - money.origin.x;
        price.size.width -= shared;
        money.origin.x += shared;
        money.size.width -= shared;
        centred(last ? last->toString() : std::string(), price, *colorWithCompare(last, prevClose));
        centred(amount ? amount->toMoney() : std::string(), money, *UIColor::yellowColor());
    }
    marketIndexData_->fetchFirst();
}
