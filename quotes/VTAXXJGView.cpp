#include "quotes/VTAXXJGView.h"

#include <algorithm>
#include <cmath>

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIViewController.h"
#include "shell/Navigation.h"
#include "shell/VTAMenuScreen.h"
#include "shell/VTAUIFactory.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;

namespace {

std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : std::string(); }
std::string money(const std::optional<VTAFloat>& v) { return v ? v->toMoney() : std::string(); }
bool atLeast(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b) {
    return a && b && a->toFloat() >= b->toFloat();
}

const UIColor& white() {
    static auto c = UIColor::whiteColor();
    return *c;
}

}  // namespace

VTAXXJGView::VTAXXJGView(const CGRect& frame) : VTAChartView(frame) {
    setBackgroundColor(UIColor::blackColor());
    const double w = frame.size.width, h = frame.size.height;
    for (int i = 0; i < 10; ++i) {
        auto b = std::make_shared<UIButton>(UIButtonType::Custom);
        b->setBackgroundColor(UIColor::clearColor());
        b->setAlpha(0.5);
        b->setFrame(CGRectMake(std::round(w / 2 - 20), std::round(i * h / kRows + 1), std::round(w / 2 + 20),
                               std::round(h / kRows - 2)));
        b->setTag(kFirstButtonTag + i);
        UIButton* raw = b.get();
        b->addTarget(
            this, [this, raw](UIControl&) { quickTradeAction(*raw); }, UIControlEventTouchUpInside);
        addSubview(b);
        buttons_.push_back(b);
    }
}

VTAXXJGView::~VTAXXJGView() = default;

RequestBuilder VTAXXJGView::requestStringWithMFunc(int mainFunction, int subFunction) const {
    return RequestBuilder(mainFunction, subFunction);
}

UIButton* VTAXXJGView::levelButton(int tag) const {
    int i = tag - kFirstButtonTag;
    return i >= 0 && i < static_cast<int>(buttons_.size()) ? buttons_[static_cast<size_t>(i)].get() : nullptr;
}

VTATCRS* VTAXXJGView::headerSet() const {
    VTATCRS* set = baseHQRS_ ? baseHQRS_.get() : chartHQRS_.get();
    if (set) set->fetchFirst();
    return set;
}

void VTAXXJGView::parseHQData(const RecordSets& sets) {
    if (sets.empty()) return;
    if (sets.size() == 1) {
        baseHQRS_.reset();
        chartHQRS_ = sets[0];
    } else {
        baseHQRS_ = sets[0];
        chartHQRS_ = sets[1];
    }
    takeStock();
    drawGraphics();
}

void VTAXXJGView::takeStock() {
    VTATCRS* header = headerSet();
    if (!header || header->isEOF()) return;
    stkName_ = header->toStringWithFieldName(Col::kName).value_or("");
    stKCode_ = header->toStringWithFieldName(Col::kCode).value_or("");
    stkMarketID_ = static_cast<int>(header->toIntWithFieldName(Col::kMarket));
    stkClass_ = static_cast<int>(header->toIntWithFieldName(Col::kClass));
    const bool tradable = stkClass_ != 2 && stkMarketID_ != 0 && stkMarketID_ != 3;
    for (auto& button : buttons_) button->setEnabled(tradable);
}

std::string VTAXXJGView::abstractTitle() const { return "详细报价-" + stkName_; }

double VTAXXJGView::lastPriceFontSize(const std::string& price) const {
    // The characters of the price text (all ASCII digits and the point).
    if (price.empty()) return 0;
    const double L = bounds().size.width / 2 - 20;
    return L / static_cast<double>(price.size()) * 1.3;
}

void VTAXXJGView::drawChartWithContext(CGContext& ctx) {
    if (!chartHQRS_) return;
    const CGRect b = bounds();
    const double x = b.origin.x, y = b.origin.y, w = b.size.width, h = b.size.height;
    const double r = h / kRows, L = w / 2 - 20, R = L + 40;
    takeStock();
    drawLeftColumn(ctx, x, y, r, L);
    drawLevels(ctx, x, y, w, r, L, R);
}

std::vector<VTAXXJGView::ColumnRow> VTAXXJGView::leftColumnRows() const {
    VTATCRS* header = headerSet();
    if (!chartHQRS_ || !header || header->isEOF()) return {};
    VTATCRS& values = *chartHQRS_;
    values.fetchFirst();
    const auto prev = header->toVTAFloatWithFieldName(Col::kPrevClose);
    // The change and its percentage carry a "+" unless the change is negative.
    const auto change = values.toVTAFloatWithFieldName(Col::kChange);
    const auto percent = values.toVTAFloatWithFieldName(Col::kChangePercent);
    const std::string sign = change && change->toFloat() < 0 ? "" : "+";
    const auto changeColor = colorWithSign(change ? change->toFloat() : 0);
    // High and low take the open when it lies outside them.
    const auto open = values.toVTAFloatWithFieldName(Col::kOpen);
    auto high = header->toVTAFloatWithFieldName(Col::kHigh);
    auto low = header->toVTAFloatWithFieldName(Col::kLow);
    if (open && (!high || open->toFloat() > high->toFloat())) high = open;
    if (open && (!low || open->toFloat() < low->toFloat())) low = open;
    const auto average = values.toVTAFloatWithFieldName(Col::kAverage);
    return {
        {"", change ? sign + change->toString() : "", changeColor},
        {"", percent ? sign + percent->toString() + "%" : "", changeColor},
        {"今 开：", text(open), colorWithCompare(open, prev)},
        {"昨 收：", text(prev), colorWithCompare(prev, prev)},
        {"最 高：", text(high), colorWithCompare(high, prev)},
        {"最 低：", text(low), colorWithCompare(low, prev)},
        {"均 价：", stkClass_ == 2 ? std::string("--") : text(average), colorWithCompare(average, prev)},
        {"量 比：", text(values.toVTAFloatWithFieldName(Col::kVolumeRatio)), UIColor::whiteColor()},
        {"委 比：", text(values.toVTAFloatWithFieldName(Col::kBidAskRatio)), UIColor::whiteColor()},
        {"换手率：", text(values.toVTAFloatWithFieldName(Col::kTurnover)), UIColor::whiteColor()},
        {"市盈率：", text(values.toVTAFloatWithFieldName(Col::kPeRatio)), UIColor::whiteColor()},
    };
}

void VTAXXJGView::drawLeftColumn(CGContext& ctx, double x, double y, double r, double L) {
    VTATCRS* header = headerSet();
    if (!header || header->isEOF()) return;
    const auto prev = header->toVTAFloatWithFieldName(Col::kPrevClose);
    const auto last = header->toVTAFloatWithFieldName(Col::kLast);
    const std::string lastText = text(last);
    if (double size = lastPriceFontSize(lastText); size > 0) {
        const bool rounded = compareVersionStrings(UIDevice::currentDevice().systemVersion().substr(0, 3), "3.2") >= 0;
        auto font = UIFont::fontWithName(rounded ? "ArialRoundedMTBold" : "Helvetica-Bold", size);
        drawStringInRect(&ctx, lastText, x, y, L, 2 * r, *font, *colorWithCompare(last, prev), TextDrawingMode::Fill,
                         1);
    }
    const auto font = defaultFont();
    const std::vector<ColumnRow> rows = leftColumnRows();
    if (rows.size() < 2) return;
    for (size_t i = 0; i < 2; ++i)
        if (!rows[i].value.empty())
            drawStringInRect(&ctx, rows[i].value, x + double(i) * L / 2, y + 2 * r, L / 2, r, *font, *rows[i].color,
                             TextDrawingMode::Fill, 1);
    for (size_t i = 2; i < rows.size(); ++i) {
        const double top = y + double(i + 1) * r;
        drawStringInRect(&ctx, rows[i].label, x, top, L / 2, r, *font, white(), TextDrawingMode::Fill, 2);
        drawStringInRect(&ctx, rows[i].value, x + L / 2, top, L / 2, r, *font, *rows[i].color);
    }
}

void VTAXXJGView::drawLevels(CGContext& ctx, double x, double y, double w, double r, double L, double R) {
    VTATCRS& values = *chartHQRS_;
    values.fetchFirst();
    VTATCRS* header = headerSet();
    const auto prev = header ? header->toVTAFloatWithFieldName(Col::kPrevClose) : std::nullopt;
    struct Level {
        std::string label;
        std::optional<VTAFloat> price;
        long long lots;
    };
    std::vector<Level> levels;
    static const char* const kAskLabels[5] = {"卖一：", "卖二：", "卖三：", "卖四：", "卖五："};
    static const char* const kBidLabels[5] = {"买一：", "买二：", "买三：", "买四：", "买五："};
    for (int k = 4; k >= 0; --k)
        levels.push_back({kAskLabels[k], values.toVTAFloatWithFieldName(Col::kAskPrice[k]),
                          static_cast<long long>(values.toIntWithFieldName(Col::kAskVolume[k]) / 100)});
    for (int k = 0; k < 5; ++k)
        levels.push_back({kBidLabels[k], values.toVTAFloatWithFieldName(Col::kBidPrice[k]),
                          static_cast<long long>(values.toIntWithFieldName(Col::kBidVolume[k]) / 100)});
    long long most = 0;
    for (auto& level : levels) {
        if (level.lots >= 999999999 / 100) level.lots = 0;  // no value
        most = std::max(most, level.lots);
    }
    const auto font = defaultFont();
    static const auto bar = UIColor::colorWithRed(0.1, 0.1, 0.6, 1);
    for (int i = 0; i < 10; ++i) {
        const Level& level = levels[static_cast<size_t>(i)];
        const double t = y + i * r;
        if (most >= 1) {
            double width = R / 3 * static_cast<double>(level.lots) / static_cast<double>(most);
            fillRect(&ctx, x + w - width - 10, std::round(t + 5), width, r - 10, *bar);
        }
        const double top = std::round(t) + 0.5;
        drawStringInRect(&ctx, level.label, x + L, top, R / 3, r, *font, white());
        drawStringInRect(&ctx, text(level.price), x + L + R / 3, top, R / 3 - 10, r, *font,
                         *colorWithCompare(level.price, prev));
        drawStringInRect(&ctx, std::to_string(level.lots), x + L + 2 * R / 3 - 10, top, R / 3, r, *font,
                         *colorWithIndex(28), TextDrawingMode::Fill, 2);
        UIButton& button = *buttons_[static_cast<size_t>(i)];
        button.setBackgroundImage(drawImageCentered(nullptr, button.frame().size.width, button.frame().size.height,
                                                    colorWithIndex(atLeast(level.price, prev) ? 15 : 16)),
                                  UIControlStateHighlighted);
        if (i < 9) {
            double line = std::round(y + (i + 1) * r) + 0.5;
            drawLine(&ctx, x + L, line, x + w, line, *UIColor::grayColor(), 1);
        }
    }
    drawLine(&ctx, x + L, std::round(y + 10 * r) + 0.5, x + w, std::round(y + 10 * r) + 0.5, *UIColor::grayColor(), 3);
    const double row10 = std::round(y + 10 * r) + 0.5, row11 = std::round(y + 11 * r) + 0.5;
    const std::vector<ColumnRow> totals = totalRows();
    for (size_t i = 0; i < totals.size(); ++i) {
        if (i == 1) drawLine(&ctx, x + L, row11, x + w, row11, *UIColor::grayColor(), 1);
        const double top = i == 0 ? row10 : row11;
        drawStringInRect(&ctx, totals[i].label, x + L, top, R / 3, r, *font, white());
        drawStringInRect(&ctx, totals[i].value, x + L + R / 3, top, 2 * R / 3, r, *font, *totals[i].color);
    }
}

std::vector<VTAXXJGView::ColumnRow> VTAXXJGView::totalRows() const {
    if (!chartHQRS_) return {};
    VTATCRS& values = *chartHQRS_;
    values.fetchFirst();
    return {{"总手：", money(values.toVTAFloatWithFieldName(Col::kVolume)), colorWithIndex(28)},
            {"金额：", money(values.toVTAFloatWithFieldName(Col::kAmount)), colorWithIndex(17)}};
}

// A level row: buy at an ask price, sell at a bid price.
void VTAXXJGView::quickTradeAction(UIButton& button) {
    const int tag = button.tag();
    if (tag < kFirstButtonTag || tag >= kFirstButtonTag + 10 || !chartHQRS_) return;
    const bool buy = tag < kFirstButtonTag + 5;
    auto stock = std::make_shared<VTAStock>(stKCode_, stkName_, stkMarketID_);
    stock->setTypeID(stkClass_);
    chartHQRS_->fetchFirst();
    auto price = buy ? chartHQRS_->toVTAFloatWithFieldName(Col::kAskPrice[kFirstButtonTag + 4 - tag])
                     : chartHQRS_->toVTAFloatWithFieldName(Col::kBidPrice[tag - kFirstButtonTag - 5]);
    stock->setPrice(price ? price->toFloat() : 0);
    auto vc = VTAUIFactory::tradeViewControllerWithLink(buy ? "buysale?MMLB=0" : "buysale?MMLB=1",
                                                        buy ? "买入委托" : "卖出委托");
    if (!vc) return;
    if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get()))
        screen->setViewMessage(
            VTAMessage::messageWithSender(std::any(std::weak_ptr<UIView>(shared())), std::any(stock), 1));
    pushViewController(vc);
}
