#include "ui/VTATableView.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UITouch.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

#include <algorithm>
#include <cmath>

// The scrolling part: its content is the whole grid; the fixed title row and
// first column are drawn at the visible origin on top of the body.
class VTATableView::Body : public UIScrollView {
public:
    explicit Body(VTATableView* owner) : owner_(owner) {
        setBackgroundColor(UIColor::blackColor());
        setBounces(false);
        setDirectionalLockEnabled(true);
    }
    std::string className() const override { return "VTATableView.Body"; }

    void drawRect(const CGRect&) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override {
        bool wasDragging = isDragging();
        UIScrollView::touchesEnded(touches, event);
        UITouch* t = touches.anyObject();
        if (wasDragging || !t) return;
        CGPoint p = t->locationInView(this);
        double top = contentOffset().y + kTitleHeight;
        if (p.y < top) return;  // the title row
        int row = static_cast<int>(std::floor((p.y - kTitleHeight) / kRowHeight));
        owner_->tapped(row, t->tapCount());
    }

    VTATableView* owner_;
};

VTATableView::VTATableView(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::blackColor());
    body_ = std::make_shared<Body>(this);
    body_->setFrame(bounds());
    addSubview(body_);
    font_ = UIFont::systemFontOfSize(14);
    titleFont_ = UIFont::boldSystemFontOfSize(14);
}

VTATableView::~VTATableView() {
    if (body_) body_->owner_ = nullptr;
}

UIScrollView* VTATableView::scrollView() const { return body_.get(); }

void VTATableView::appendTopTitles(const std::vector<std::string>& titles, const Colors& colors) {
    titles_ = Line{titles, colors};
}

void VTATableView::appendRowItems(const std::vector<std::string>& items, const Colors& colors) {
    rows_.push_back(Line{items, colors});
}

void VTATableView::clear() {
    titles_ = {};
    rows_.clear();
    buttons_.clear();
    widths_.clear();
    selected_ = 0;
    touched_ = false;
    body_->setContentOffset(CGPointMake(0, 0));
    loadData();
}

int VTATableView::columnCount() const {
    size_t n = titles_.texts.size();
    for (const auto& r : rows_) n = std::max(n, r.texts.size());
    return static_cast<int>(n);
}

const std::vector<std::string>& VTATableView::rowItems(int row) const {
    static const std::vector<std::string> none;
    if (row < 0 || row >= rowCount()) return none;
    return rows_[static_cast<size_t>(row)].texts;
}

const VTATableView::Colors& VTATableView::rowColors(int row) const {
    static const Colors none;
    if (row < 0 || row >= rowCount()) return none;
    return rows_[static_cast<size_t>(row)].colors;
}

std::shared_ptr<UIColor> VTATableView::colorAt(const Line& line, size_t i) const {
    if (i < line.colors.size() && line.colors[i]) return line.colors[i];
    return UIColor::whiteColor();
}

double VTATableView::columnWidth(int column) const {
    if (column < 0 || column >= static_cast<int>(widths_.size())) return 0;
    return widths_[static_cast<size_t>(column)];
}

void VTATableView::loadData() {
    int n = columnCount();
    widths_.assign(static_cast<size_t>(n), 70.0);
    auto measure = [&](const Line& line, const UIFont& font) {
        for (size_t i = 0; i < line.texts.size(); ++i)
            widths_[i] = std::max(widths_[i], std::ceil(sizeWithFont(line.texts[i], font).width) + 12);
    };
    measure(titles_, *titleFont_);
    for (const auto& r : rows_) measure(r, *font_);
    for (auto& w : widths_) w = std::min(w, 200.0);  // very long texts shrink inside their cell
    double width = (multi_ ? kRadioWidth : 0);
    for (double w : widths_) width += w;
    body_->setContentSize(CGSizeMake(width, kTitleHeight + kRowHeight * rows_.size()));
    if (selected_ >= rowCount()) selected_ = 0;
    setNeedsLayout();
    body_->setNeedsDisplay();
}

void VTATableView::layoutSubviews() {
    CGRect b = bounds();
    if (pageCtrl_ && pageCtrl_->superview() == this) {
        double h = pageCtrl_->frame().size.height > 0 ? pageCtrl_->frame().size.height : 44;
        pageCtrl_->setFrame(CGRectMake(0, b.size.height - h, b.size.width, h));
        b.size.height -= h;
    }
    body_->setFrame(b);
}

void VTATableView::setMyTablePageCtrl(std::shared_ptr<VTAPageCtr> pageCtrl) {
    if (pageCtrl_ && pageCtrl_->superview() == this) pageCtrl_->removeFromSuperview();
    pageCtrl_ = std::move(pageCtrl);
    if (pageCtrl_) {
        pageCtrl_->removeFromSuperview();
        addSubview(pageCtrl_);
    }
    setNeedsLayout();
}

void VTATableView::setSupportsMutiSelect(bool on) {
    multi_ = on;
    loadData();
}

void VTATableView::appendMutiButton(std::shared_ptr<VTARadioButton> button) {
    if (!button) button = std::make_shared<VTARadioButton>();
    buttons_.push_back(std::move(button));
    body_->setNeedsDisplay();
}

VTARadioButton* VTATableView::mutiButtonAtIndex(int row) const {
    if (row < 0 || row >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<size_t>(row)].get();
}

std::optional<std::vector<int>> VTATableView::getMutiSelectedIndex() const {
    if (!multi_) return std::nullopt;
    std::vector<int> out;
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isSeclected()) out.push_back(static_cast<int>(i));
    return out;
}

void VTATableView::setSelectedIndex(int row) {
    if (row < 0 || row >= rowCount()) return;
    selected_ = row;
    touched_ = true;
    body_->setNeedsDisplay();
}

void VTATableView::tapped(int row, int tapCount) {
    if (row < 0 || row >= rowCount()) return;
    setSelectedIndex(row);
    if (tapCount > 2) return;  // a third quick tap is not a new click
    if (tapCount == 2) {
        if (multi_)
            if (VTARadioButton* b = mutiButtonAtIndex(row)) b->toggle();  // refuses when disabled
        body_->setNeedsDisplay();
        if (delegate_) delegate_->tableViewDoubleClickAtIndex(*this, row);
    } else if (delegate_) {
        delegate_->tableViewClickAtIndex(*this, row);
    }
}

CGRect VTATableView::rectForRow(int row, int column) const {
    CGPoint off = body_->contentOffset();
    double lead = multi_ ? kRadioWidth : 0;
    double x = lead;
    for (int c = 0; c < column && c < static_cast<int>(widths_.size()); ++c) x += widths_[static_cast<size_t>(c)];
    if (column > 0) x -= off.x;
    double y = kTitleHeight + kRowHeight * row - off.y;
    CGRect inBody = CGRectMake(x, y, columnWidth(column), kRowHeight);
    return CGRectOffset(inBody, body_->frame().origin.x, body_->frame().origin.y);
}

std::string VTATableView::accessibilityText() const {
    std::string out;
    for (const auto& t : titles_.texts) out += t + " ";
    return out;
}

void VTATableView::Body::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || !owner_) return;
    const VTATableView& g = *owner_;
    CGPoint off = contentOffset();
    CGRect vis = bounds();
    double lead = g.multi_ ? kRadioWidth : 0;
    double firstW = g.columnWidth(0);
    double fixedW = lead + firstW;
    auto lineColor = colorWithIndex(3);
    auto selColor = colorWithIndex(10);
    int nCols = static_cast<int>(g.widths_.size());
    int nRows = g.rowCount();
    int firstRow = std::max(0, static_cast<int>(std::floor((off.y) / kRowHeight)) - 1);
    int lastRow = std::min(nRows - 1, static_cast<int>(std::ceil((off.y + vis.size.height) / kRowHeight)));

    auto cell = [&](const std::string& text, double x, double y, double w, double h, const UIColor& c, const UIFont& f,
                    int align) { drawStringInRect(ctx, text, x + 4, y, w - 8, h, f, c, TextDrawingMode::Fill, align); };

    // Body rows, columns 1.., clipped right of the fixed column and below the titles.
    ctx->saveGState();
    ctx->clipToRect(CGRectMake(off.x + fixedW, off.y + kTitleHeight, vis.size.width, vis.size.height));
    for (int r = firstRow; r <= lastRow; ++r) {
        double y = kTitleHeight + r * kRowHeight;
        if (g.touched_ && r == g.selected_) fillRect(ctx, off.x, y, vis.size.width, kRowHeight, *selColor);
        double x = fixedW;
        const Line& line = g.rows_[static_cast<size_t>(r)];
        for (int c = 1; c < nCols; ++c) {
            double w = g.widths_[static_cast<size_t>(c)];
            if (static_cast<size_t>(c) < line.texts.size())
                cell(line.texts[static_cast<size_t>(c)], x, y, w, kRowHeight, *g.colorAt(line, c), *g.font_, 2);
            x += w;
        }
        drawLine(ctx, off.x, y + kRowHeight - 0.5, x, y + kRowHeight - 0.5, *lineColor, 1);
    }
    ctx->restoreGState();

    // The fixed first column (and radio buttons) follows the rows vertically only.
    ctx->saveGState();
    ctx->clipToRect(CGRectMake(off.x, off.y + kTitleHeight, fixedW, vis.size.height));
    fillRect(ctx, off.x, off.y, fixedW, vis.size.height, *UIColor::blackColor());
    for (int r = firstRow; r <= lastRow; ++r) {
        double y = kTitleHeight + r * kRowHeight;
        if (g.touched_ && r == g.selected_) fillRect(ctx, off.x, y, fixedW, kRowHeight, *selColor);
        const Line& line = g.rows_[static_cast<size_t>(r)];
        if (!line.texts.empty())
            cell(line.texts[0], off.x + lead, y, firstW, kRowHeight, *g.colorAt(line, 0), *g.font_, 0);
        if (g.multi_ && static_cast<size_t>(r) < g.buttons_.size()) {
            VTARadioButton& b = *g.buttons_[static_cast<size_t>(r)];
            CGSize s = b.bounds().size;
            ctx->saveGState();
            ctx->translateCTM(off.x + (kRadioWidth - s.width) / 2, y + (kRowHeight - s.height) / 2);
            b.renderInContext(*ctx);
            ctx->restoreGState();
        }
        drawLine(ctx, off.x, y + kRowHeight - 0.5, off.x + fixedW, y + kRowHeight - 0.5, *lineColor, 1);
    }
    ctx->restoreGState();
    if (fixedW > 0)
        drawLine(ctx, off.x + fixedW - 0.5, off.y, off.x + fixedW - 0.5, off.y + vis.size.height, *lineColor, 1);

    // The fixed title row follows the columns horizontally only.
    fillRect(ctx, off.x, off.y, vis.size.width, kTitleHeight, *colorWithIndex(12));
    ctx->saveGState();
    ctx->clipToRect(CGRectMake(off.x + fixedW, off.y, vis.size.width, kTitleHeight));
    double x = fixedW;
    for (int c = 1; c < nCols; ++c) {
        double w = g.widths_[static_cast<size_t>(c)];
        if (static_cast<size_t>(c) < g.titles_.texts.size())
            cell(g.titles_.texts[static_cast<size_t>(c)], x, off.y, w, kTitleHeight, *g.colorAt(g.titles_, c),
                 *g.titleFont_, 2);
        x += w;
    }
    ctx->restoreGState();
    if (!g.titles_.texts.empty())
        cell(g.titles_.texts[0], off.x + lead, off.y, firstW, kTitleHeight, *g.colorAt(g.titles_, 0), *g.titleFont_, 0);
    drawLine(ctx, off.x, off.y + kTitleHeight - 0.5, off.x + vis.size.width, off.y + kTitleHeight - 0.5, *lineColor, 1);
}
