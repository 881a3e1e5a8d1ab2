// The side panel of the intraday trend chart: the five ask and bid levels
// with their order buttons, the quote summary, and the switch between them.
#include <cmath>

#include "charts/ChartDrawing.h"
#include "charts/TimeTrendChartView.h"
#include "charts/TimeTrendSidePanel.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UISegmentedControl.h"
#include "platform/uikit/UIViewController.h"
#include "shell/Navigation.h"
#include "shell/VTAMenuScreen.h"
#include "shell/VTAUIFactory.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/SVSegmentedControl.h"

namespace Col = QuoteContract::Col;

namespace {

constexpr int kLevels = 10;
constexpr double kLevelHeight = (284.0 - 24) / kLevels;
constexpr double kSummaryRowHeight = (284.0 - 24 - 4) / 11;

// Top to bottom: the asks from the fifth to the first, then the bids from the first to the fifth.
const char* levelPriceField(int row) { return row < 5 ? Col::kAskPrice[4 - row] : Col::kBidPrice[row - 5]; }
const char* levelVolumeField(int row) { return row < 5 ? Col::kAskVolume[4 - row] : Col::kBidVolume[row - 5]; }

bool hasDetail(const RecordSets& sets) { return sets.size() >= 3 && sets[0] && sets[2]; }

std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : std::string(); }

}  // namespace

void TimeTrendChartView::initPositionButtonsInRect(const CGRect& rect) {
    for (int i = 0; i < kLevels; ++i) {
        auto button = std::make_shared<UIButton>(
            UIButtonType::Custom,
            CGRectMake(CGRectGetMinX(rect), CGRectGetMinY(rect) + i * kLevelHeight, rect.size.width, kLevelHeight));
        button->setBackgroundColor(UIColor::clearColor());
        button->setTag(kFirstOrderButtonTag + i);
        button->setEnabled(false);
        button->addTarget(
            this, [this](UIControl& sender) { btnAction(sender.tag()); }, UIControlEventTouchUpInside);
        orderButtons_[i] = button;
        addSubview(button);
    }
}

// The switch starts on "报价", which the panel shows first.
void TimeTrendChartView::initQuotesInfoSeg() {
    if (compareVersionStrings(UIDevice::currentDevice().systemVersion(), "4.0") >= 0) {
        quotesInfoSeg_ = std::make_shared<SVSegmentedControl>(std::vector<std::string>{"五档", "报价"});
        quotesInfoSeg_->setHeight(24);
        quotesInfoSeg_->setTitleEdgeInsets(UIEdgeInsetsMake(0, 5, 0, 5));
        quotesInfoSeg_->setThumbEdgeInset(UIEdgeInsetsMake(2, 1, 1, 1));
        quotesInfoSeg_->setFont(UIFont::systemFontOfSize(14));
        quotesInfoSeg_->setCenter(CGPointMake(275, 318));
        quotesInfoSeg_->moveThumbToIndex(1, false);
        quotesInfoSeg_->addTarget(
            this, [this](UIControl&) { segmentChanged(quotesInfoSeg_->selectedIndex()); }, UIControlEventValueChanged);
        addSubview(quotesInfoSeg_);
    } else {
        oldQuotesInfoSeg_ = std::make_shared<UISegmentedControl>(std::vector<std::string>{"五档", "报价"});
        oldQuotesInfoSeg_->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
        oldQuotesInfoSeg_->setFrame(CGRectMake(232, 304, 86, 24));
        oldQuotesInfoSeg_->setBackgroundColor(UIColor::clearColor());
        oldQuotesInfoSeg_->setSelectedSegmentIndex(1);
        oldQuotesInfoSeg_->addTarget(
            this, [this](UIControl&) { segmentChanged(oldQuotesInfoSeg_->selectedSegmentIndex()); },
            UIControlEventValueChanged);
        addSubview(oldQuotesInfoSeg_);
    }
}

UIControl* TimeTrendChartView::quotesInfoSeg() const {
    if (quotesInfoSeg_) return quotesInfoSeg_.get();
    return oldQuotesInfoSeg_.get();
}

int TimeTrendChartView::quotesInfoSegIndex() const {
    return quotesInfoSeg_ ? quotesInfoSeg_->selectedIndex() : oldQuotesInfoSeg_->selectedSegmentIndex();
}

UIButton* TimeTrendChartView::orderButton(int tag) const {
    int i = tag - kFirstOrderButtonTag;
    return i >= 0 && i < kLevels ? orderButtons_[i].get() : nullptr;
}

void TimeTrendChartView::segmentChanged(int index) {
    isPosition_ = index == 0;
    for (auto& b : orderButtons_) b->setEnabled(isPosition_);
    isRefreshFromSegmentAction_ = true;
    setNeedsDisplay();
}

// An index has no levels to trade: the switch stays on the summary.
void TimeTrendChartView::setQuotesInfoSegIsInit(bool isInit) {
    UIControl* seg = quotesInfoSeg();
    bool isIndex = stockClassId_ == 2;
    if (isIndex) {
        if (quotesInfoSeg_ && quotesInfoSeg_->selectedIndex() != 1) quotesInfoSeg_->moveThumbToIndex(1, false);
        if (oldQuotesInfoSeg_ && oldQuotesInfoSeg_->selectedSegmentIndex() != 1)
            oldQuotesInfoSeg_->setSelectedSegmentIndex(1);
        if (isInit) isPosition_ = false;
    }
    if (seg->isEnabled() == isIndex) seg->setEnabled(!isIndex);
}

void TimeTrendChartView::updateOrderButtons() {
    bool enabled = stockClassId_ != 2 && stockMarketId_ != 0 && stockMarketId_ != 3 && isPosition_;
    for (auto& b : orderButtons_)
        if (b->isEnabled() != enabled) b->setEnabled(enabled);
}

void TimeTrendChartView::setButtonResult(UIButton& button, int result) {
    int& stored = buttonResults_[button.tag() - kFirstOrderButtonTag];
    if (stored == result && button.backgroundImageForState(UIControlStateHighlighted)) return;
    stored = result;
    const char* image = result == 1    ? "QuotesPositionRed.png"
                        : result == -1 ? "QuotesPositionGreen.png"
                                       : "QuotesPositionWhite.png";
    button.setBackgroundImage(UIImage::imageNamed(image), UIControlStateHighlighted);
}

void TimeTrendChartView::btnAction(int tag) {
    int row = tag - kFirstOrderButtonTag;
    if (row < 0 || row >= kLevels || !hasDetail(quotesData_)) return;
    VTATCRS& detail = *quotesData_[2];
    detail.fetchFirst();
    auto price = detail.toVTAFloatWithFieldName(levelPriceField(row));
    // An empty level has no price to order at.
    if (!price || price->value() == 0) return;
    auto stock = std::make_shared<VTAStock>(stockSymbol_, stockName_, stockMarketId_);
    stock->setTypeID(stockClassId_);
    stock->setPrice(price->toFloat());
    bool buy = row < 5;
    auto screen = VTAUIFactory::tradeViewControllerWithLink(buy ? kBuyLink : kSellLink, buy ? kBuyTitle : kSellTitle);
    if (!screen) return;
    if (auto* menuScreen = dynamic_cast<VTAMenuScreen*>(screen.get()))
        menuScreen->setViewMessage(VTAMessage::messageWithSender(this, stock, 1));
    pushViewController(screen);
}

std::vector<PanelLevel> panelLevels(const RecordSets& sets) {
    std::vector<PanelLevel> levels;
    if (!hasDetail(sets)) return levels;
    VTATCRS& header = *sets[0];
    VTATCRS& detail = *sets[2];
    header.fetchFirst();
    detail.fetchFirst();
    auto prevClose = header.toVTAFloatWithFieldName(Col::kPrevClose);
    for (int i = 0; i < kLevels; ++i) {
        PanelLevel level;
        level.price = detail.toVTAFloatWithFieldName(levelPriceField(i));
        level.priceColor = colorWithIndex(17);
        if (level.price && level.price->value() != 0) {
            level.priceColor = colorWithCompare(level.price, prevClose);
            level.result = prevClose ? compareVTAFloat(*level.price, *prevClose) : 0;
        }
        long long volume = detail.toIntWithFieldName(levelVolumeField(i));
        if (volume < VTAFloat::kNoValue) level.volume = std::to_string(volume / 100);
        levels.push_back(level);
    }
    return levels;
}

std::vector<PanelValue> panelSummary(const RecordSets& sets, int classId) {
    std::vector<PanelValue> rows;
    if (sets.size() < 3 || !sets[2]) return rows;
    VTATCRS* header = sets[0] && sets[0]->rowsAffected() > 0 ? sets[0].get() : nullptr;
    VTATCRS& detail = *sets[2];
    detail.fetchFirst();
    if (header) header->fetchFirst();
    auto headerPrice = [&](const char* field) {
        return header ? header->toVTAFloatWithFieldName(field) : detail.toVTAFloatWithFieldName(field);
    };
    auto detailValue = [&](const char* field) { return detail.toVTAFloatWithFieldName(field); };
    auto money = [](const std::optional<VTAFloat>& v) { return v ? v->toMoney() : std::string(); };
    auto percent = [](const std::optional<VTAFloat>& v) { return v ? v->toString() + "%" : std::string(); };
    auto prevClose = headerPrice(Col::kPrevClose);
    auto white = colorWithIndex(43), yellow = UIColor::yellowColor();
    bool isIndex = classId == 2;
    auto compared = [&](const std::optional<VTAFloat>& v) {
        return PanelValue{text(v), colorWithCompare(v, prevClose)};
    };
    rows.push_back(compared(headerPrice(Col::kOpen)));
    rows.push_back(compared(headerPrice(Col::kHigh)));
    rows.push_back(compared(headerPrice(Col::kLow)));
    rows.push_back(compared(detailValue(Col::kAverage)));
    rows.push_back({text(prevClose), white});
    rows.push_back({money(detailValue(Col::kVolume)), yellow});
    rows.push_back({money(detailValue(Col::kAmount)), yellow});
    rows.push_back({text(detailValue(Col::kVolumeRatio)), yellow});
    rows.push_back({isIndex ? "--" : percent(detailValue(Col::kBidAskRatio)), yellow});
    rows.push_back({isIndex ? "--" : percent(detailValue(Col::kTurnover)), white});
    rows.push_back({isIndex ? "--" : text(detailValue(Col::kPeRatio)), white});
    return rows;
}

void TimeTrendChartView::drawPositionInRect(CGContext& ctx, const CGRect& rect) {
    const UIFont& font = chartFont(12);
    strokeChartLine(ctx, 230, 175, 319, 175, *UIColor::colorWithRed(0.55, 0, 0, 0.8));
    auto white = colorWithIndex(43);
    static const char* titles[kLevels] = {"5", "4", "3", "2", "1", "1", "2", "3", "4", "5"};
    for (int i = 0; i < kLevels; ++i) {
        double x = CGRectGetMinX(rect) + 2, y = CGRectGetMinY(rect) + 2 + i * kLevelHeight;
        ctx.saveGState();
        ctx.setStrokeColor(*white);
        ctx.setLineWidth(1);
        ctx.strokeEllipseInRect(CGRectMake(x, y, 14, 14));
        ctx.restoreGState();
        drawStringInRect(&ctx, titles[i], x, y - 1, 14, 14, font, *white, TextDrawingMode::Fill, 1);
    }
    auto levels = panelLevels(quotesData_);
    auto yellow = UIColor::yellowColor();
    for (size_t i = 0; i < levels.size(); ++i) {
        const PanelLevel& level = levels[i];
        double y = CGRectGetMinY(rect) + 2 + i * kLevelHeight - 1;
        setButtonResult(*orderButtons_[i], level.result);
        drawStringInRect(&ctx, text(level.price), CGRectGetMinX(rect) + 18, y, 44, 16, font, *level.priceColor);
        drawStringInRect(&ctx, level.volume, 258, y, 60, 16, font, *yellow, TextDrawingMode::Fill, 2);
    }
}

void TimeTrendChartView::drawQuotesInfoInRect(CGContext& ctx, const CGRect& rect) const {
    const UIFont& font = chartFont(12);
    static const char* titles[11] = {"今开", "最高", "最低", "均价", "昨收", "总手",
                                     "金额", "量比", "委比", "换手", "市盈"};
    double minX = CGRectGetMinX(rect), minY = CGRectGetMinY(rect), r = kSummaryRowHeight;
    for (int i = 0; i < 11; ++i)
        drawStringInRect(&ctx, titles[i], minX + 2, minY + 2 + i * r, 24, r, font, *colorWithIndex(43));
    auto rows = panelSummary(quotesData_, stockClassId_);
    for (size_t i = 0; i < rows.size(); ++i)
        drawStringInRect(&ctx, rows[i].text, minX + 28, minY + i * r, 58, r, font, *rows[i].color,
                         TextDrawingMode::Fill, 2);
}
