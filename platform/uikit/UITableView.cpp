#include "platform/uikit/UITableView.h"

#include "platform/graphics/TextDrawing.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kGroupInset = 9;
constexpr size_t kPoolLimit = 16;

// The grey bar of a plain table's section title.
class PlainHeaderView : public UIView {
public:
    PlainHeaderView(const std::string& title, double height) : UIView(CGRectMake(0, 0, 320, height)), title_(title) {
        setOpaque(false);
        setUserInteractionEnabled(false);
    }
    std::string className() const override { return "UITableViewHeaderView"; }
    std::string accessibilityText() const override { return title_; }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect b = bounds();
        ctx->drawLinearGradient(
            {UIColor::colorWithRed(0.56, 0.6, 0.66, 0.92), UIColor::colorWithRed(0.72, 0.75, 0.79, 0.92)}, {}, b.origin,
            CGPointMake(0, CGRectGetMaxY(b)));
        // Chinese titles fill the whole em: the size leaves them a margin in the bar.
        auto font = UIFont::boldSystemFontOfSize(std::clamp(b.size.height - 6, 10.0, 18.0));
        double h = font->lineHeight();
        ctx->setFillColor(0.3, 0.3, 0.3, 0.6);
        drawString(title_, CGRectMake(12, (b.size.height - h) / 2 + 1, b.size.width - 24, h), *font,
                   UILineBreakMode::TailTruncation);
        ctx->setFillColor(1, 1, 1, 1);
        drawString(title_, CGRectMake(12, (b.size.height - h) / 2, b.size.width - 24, h), *font,
                   UILineBreakMode::TailTruncation);
    }

private:
    std::string title_;
};
}  // namespace

UITableView::UITableView(const CGRect& frame, UITableViewStyle style) : UIScrollView(frame), style_(style) {
    setAlwaysBounceVertical(true);
    if (style_ == UITableViewStyle::Grouped) {
        setBackgroundColor(UIColor::groupTableViewBackgroundColor());
        sectionHeaderHeight_ = 10;
        sectionFooterHeight_ = 10;
    } else {
        setBackgroundColor(UIColor::whiteColor());
    }
}

UITableView::~UITableView() {
    for (auto& [ip, cell] : visible_) cell->setTableView(nullptr);
    for (auto& cell : touchedAway_) cell->setTableView(nullptr);
    for (auto& [id, cells] : reusePool_)
        for (auto& c : cells) c->setTableView(nullptr);
}

void UITableView::setDelegate(UITableViewDelegate* d) {
    delegate_ = d;
    UIScrollView::setDelegate(d);
    reloadData();
}

void UITableView::setTableHeaderView(std::shared_ptr<UIView> v) {
    if (tableHeaderView_) tableHeaderView_->removeFromSuperview();
    tableHeaderView_ = std::move(v);
    if (tableHeaderView_) addSubview(tableHeaderView_);
    computeGeometry();
    setNeedsLayout();
}

void UITableView::setTableFooterView(std::shared_ptr<UIView> v) {
    if (tableFooterView_) tableFooterView_->removeFromSuperview();
    tableFooterView_ = std::move(v);
    if (tableFooterView_) addSubview(tableFooterView_);
    computeGeometry();
    setNeedsLayout();
}

double UITableView::cellX() const { return style_ == UITableViewStyle::Grouped ? kGroupInset : 0; }
double UITableView::cellWidth() const { return std::max(0.0, bounds().size.width - 2 * cellX()); }

int UITableView::numberOfRowsInSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return static_cast<int>(sections_[static_cast<size_t>(section)].rowY.size());
}

bool UITableView::validIndexPath(const NSIndexPath& ip) const {
    return ip.section >= 0 && ip.section < numberOfSections() && ip.row >= 0 &&
           ip.row < numberOfRowsInSection(ip.section);
}

std::shared_ptr<UIView> UITableView::makeTitleView(const std::string& title, bool header) const {
    if (style_ == UITableViewStyle::Plain)
        return std::make_shared<PlainHeaderView>(title, header ? sectionHeaderHeight_ : sectionFooterHeight_);
    auto label = std::make_shared<UILabel>();
    label->setText(title);
    label->setBackgroundColor(nullptr);
    label->setNumberOfLines(0);
    label->setLineBreakMode(UILineBreakMode::WordWrap);
    label->setTextColor(UIColor::colorWithRed(0.3, 0.34, 0.42, 1));
    label->setShadowColor(UIColor::whiteColor());
    label->setShadowOffset(CGSizeMake(0, 1));
    if (header) {
        label->setFont(UIFont::boldSystemFontOfSize(17));
    } else {
        label->setFont(UIFont::systemFontOfSize(15));
        label->setTextAlignment(UITextAlignment::Center);
    }
    return label;
}

void UITableView::computeGeometry() {
    double y = tableHeaderView_ ? tableHeaderView_->frame().size.height : 0;
    const bool grouped = style_ == UITableViewStyle::Grouped;
    for (size_t s = 0; s < sections_.size(); ++s) {
        Section& sec = sections_[s];
        int si = static_cast<int>(s);
        double h = delegate_ ? delegate_->tableViewHeightForHeaderInSection(*this, si) : -1;
        if (h < 0) {
            if (sec.headerView && sec.headerTitle.empty())
                h = sec.headerView->frame().size.height;
            else if (!sec.headerTitle.empty())
                h = grouped ? sizeWithFont(sec.headerTitle, *UIFont::boldSystemFontOfSize(17),
                                           CGSizeMake(cellWidth() - 20, 200), UILineBreakMode::WordWrap)
                                      .height +
                                  20
                            : sectionHeaderHeight_;
            else
                h = grouped ? sectionHeaderHeight_ : 0;
        }
        sec.headerY = y;
        sec.headerH = h;
        y += h;
        for (size_t r = 0; r < sec.rowY.size(); ++r) {
            double rh = delegate_ ? delegate_->tableViewHeightForRowAtIndexPath(
                                        *this, NSIndexPath::indexPathForRow(static_cast<int>(r), si))
                                  : -1;
            if (rh < 0) rh = rowHeight_;
            sec.rowY[r] = y;
            sec.rowH[r] = rh;
            y += rh;
        }
        double fh = delegate_ ? delegate_->tableViewHeightForFooterInSection(*this, si) : -1;
        if (fh < 0) {
            if (sec.footerView && sec.footerTitle.empty())
                fh = sec.footerView->frame().size.height;
            else if (!sec.footerTitle.empty())
                fh = grouped ? sizeWithFont(sec.footerTitle, *UIFont::systemFontOfSize(15),
                                            CGSizeMake(cellWidth() - 20, 200), UILineBreakMode::WordWrap)
                                       .height +
                                   16
                             : sectionFooterHeight_;
            else
                fh = grouped ? sectionFooterHeight_ : 0;
        }
        sec.footerY = y;
        sec.footerH = fh;
        y += fh;
    }
    if (tableFooterView_) {
        CGRect f = tableFooterView_->frame();
        tableFooterView_->setFrame(CGRectMake(f.origin.x, y, f.size.width, f.size.height));
        y += f.size.height;
    }
    if (tableHeaderView_) {
        CGRect f = tableHeaderView_->frame();
        tableHeaderView_->setFrame(CGRectMake(f.origin.x, 0, f.size.width, f.size.height));
    }
    setContentSize(CGSizeMake(bounds().size.width, y));
}

void UITableView::enqueue(const std::shared_ptr<UITableViewCell>& cell) {
    cell->removeFromSuperview();
    if (cell->isTracking()) {
        // Under a finger: kept until the finger lifts, and never handed out
        // as another row meanwhile.
        touchedAway_.push_back(cell);
        return;
    }
    if (cell->reuseIdentifier().empty()) return;
    auto& pool = reusePool_[cell->reuseIdentifier()];
    if (pool.size() < kPoolLimit) {
        cell->prepareForReuse();
        pool.push_back(cell);
    }
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = reusePool_.find(identifier);
    if (it == reusePool_.end() || it->second.empty()) return nullptr;
    auto cell = it->second.back();
    it->second.pop_back();
    return cell;
}

void UITableView::reloadData() {
    auto keep = shared();
    // The row under a finger, and the shape it must keep to stay touched.
    std::optional<CarriedTouch> touched = carried_;
    if (!touched)
        for (auto& [ip, cell] : visible_)
            if (cell->isTracking()) touched = CarriedTouch{cell, ip};
    const size_t sectionsBefore = sections_.size();
    const int rowsBefore = touched ? numberOfRowsInSection(touched->row.section) : 0;
    carried_.reset();
    for (auto& [ip, cell] : visible_) enqueue(cell);
    visible_.clear();
    for (auto& sec : sections_) {
        if (sec.headerView) sec.headerView->removeFromSuperview();
        if (sec.footerView) sec.footerView->removeFromSuperview();
    }
    sections_.clear();
    selected_.reset();
    confirming_.reset();
    reorderFrom_.reset();
    if (dataSource_) {
        int n = std::max(0, dataSource_->numberOfSectionsInTableView(*this));
        sections_.resize(static_cast<size_t>(n));
        for (int s = 0; s < n; ++s) {
            Section& sec = sections_[static_cast<size_t>(s)];
            int rows = std::max(0, dataSource_->tableViewNumberOfRowsInSection(*this, s));
            sec.rowY.assign(static_cast<size_t>(rows), 0);
            sec.rowH.assign(static_cast<size_t>(rows), rowHeight_);
            sec.headerTitle = dataSource_->tableViewTitleForHeaderInSection(*this, s);
            sec.footerTitle = dataSource_->tableViewTitleForFooterInSection(*this, s);
            sec.headerView = delegate_ ? delegate_->tableViewViewForHeaderInSection(*this, s) : nullptr;
            sec.footerView = delegate_ ? delegate_->tableViewViewForFooterInSection(*this, s) : nullptr;
            if (sec.headerView)
                sec.headerTitle.clear();
            else if (!sec.headerTitle.empty())
                sec.headerView = makeTitleView(sec.headerTitle, true);
            if (sec.footerView)
                sec.footerTitle.clear();
            else if (!sec.footerTitle.empty())
                sec.footerView = makeTitleView(sec.footerTitle, false);
            if (sec.headerView) addSubview(sec.headerView);
            if (sec.footerView) addSubview(sec.footerView);
        }
    }
    loaded_ = true;
    computeGeometry();
    setNeedsLayout();
    layoutCells();
    if (auto from = touched ? touched->from.lock() : nullptr) {
        const bool kept =
            sections_.size() == sectionsBefore && numberOfRowsInSection(touched->row.section) == rowsBefore;
        auto now = kept ? cellForRowAtIndexPath(touched->row) : nullptr;
        if (!now) {
            from->endTracking();
            releaseTouchedAway(*from);
        } else if (now != from) {
            now->setHighlighted(from->isHighlighted());
            carried_ = touched;
        }
    }
}

void UITableView::reloadRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation) {
    if (!dataSource_) return;
    computeGeometry();
    for (auto& ip : paths) {
        auto it = visible_.find(ip);
        if (it == visible_.end()) continue;
        enqueue(it->second);
        visible_.erase(it);
    }
    layoutCells();
}

void UITableView::reloadSections(const std::vector<int>&, UITableViewRowAnimation) {
    CGPoint offset = contentOffset();
    reloadData();
    setContentOffset(CGPointMake(offset.x, std::clamp(offset.y, minimumContentOffset().y, maximumContentOffset().y)));
}

void UITableView::beginUpdates() { ++updatesDepth_; }

void UITableView::endUpdates() {
    if (updatesDepth_ > 0 && --updatesDepth_ == 0) reloadSections({}, UITableViewRowAnimation::None);
}

void UITableView::deleteRowsAtIndexPaths(const std::vector<NSIndexPath>&, UITableViewRowAnimation a) {
    if (updatesDepth_ == 0) reloadSections({}, a);
}

void UITableView::insertRowsAtIndexPaths(const std::vector<NSIndexPath>&, UITableViewRowAnimation a) {
    if (updatesDepth_ == 0) reloadSections({}, a);
}

void UITableView::deleteSections(const std::vector<int>&, UITableViewRowAnimation a) {
    if (updatesDepth_ == 0) reloadSections({}, a);
}

void UITableView::insertSections(const std::vector<int>&, UITableViewRowAnimation a) {
    if (updatesDepth_ == 0) reloadSections({}, a);
}

void UITableView::configureCell(UITableViewCell& cell, const NSIndexPath& ip) {
    cell.setTableView(this);
    if (delegate_)
        if (auto type = delegate_->tableViewAccessoryTypeForRowWithIndexPath(*this, ip)) cell.setAccessoryType(*type);
    bool canEdit = dataSource_ && dataSource_->tableViewCanEditRowAtIndexPath(*this, ip);
    UITableViewCellEditingStyle style = UITableViewCellEditingStyle::None;
    if (canEdit)
        style = delegate_ ? delegate_->tableViewEditingStyleForRowAtIndexPath(*this, ip)
                          : UITableViewCellEditingStyle::Delete;
    cell.setEditingStyleForControl(style);
    cell.setShowsReorderControl(dataSource_ && dataSource_->tableViewCanMoveRowAtIndexPath(*this, ip));
    cell.setEditing(editing_);
    int rows = numberOfRowsInSection(ip.section);
    UITableViewCell::Position pos = rows == 1            ? UITableViewCell::Position::Alone
                                    : ip.row == 0        ? UITableViewCell::Position::Top
                                    : ip.row == rows - 1 ? UITableViewCell::Position::Bottom
                                                         : UITableViewCell::Position::Middle;
    cell.setGroupPosition(style_ == UITableViewStyle::Grouped, pos, separatorStyle_, separatorColor_);
    cell.setSelected(selected_ && *selected_ == ip);
    if (confirming_ && *confirming_ == ip && !cell.showingDeleteConfirmation())
        cell.setDeleteConfirmationShown(
            true,
            delegate_ ? delegate_->tableViewTitleForDeleteConfirmationButtonForRowAtIndexPath(*this, ip) : "删除");
}

void UITableView::layoutCells() {
    if (!loaded_) return;
    CGRect visible = bounds();
    std::map<NSIndexPath, std::shared_ptr<UITableViewCell>> keepCells;
    std::vector<std::pair<NSIndexPath, CGRect>> wanted;
    for (size_t s = 0; s < sections_.size(); ++s) {
        const Section& sec = sections_[s];
        for (size_t r = 0; r < sec.rowY.size(); ++r) {
            CGRect rect = CGRectMake(cellX(), sec.rowY[r], cellWidth(), sec.rowH[r]);
            if (sec.rowY[r] + sec.rowH[r] <= visible.origin.y) continue;
            if (sec.rowY[r] >= CGRectGetMaxY(visible)) break;
            wanted.push_back({NSIndexPath::indexPathForRow(static_cast<int>(r), static_cast<int>(s)), rect});
        }
    }
    // Rows that left the screen go back to the pool first, so new rows can reuse them.
    for (auto it = visible_.begin(); it != visible_.end();) {
        bool still = std::any_of(wanted.begin(), wanted.end(), [&](auto& w) { return w.first == it->first; });
        if (still || (reorderFrom_ && *reorderFrom_ == it->first)) {
            ++it;
        } else {
            enqueue(it->second);
            it = visible_.erase(it);
        }
    }
    for (auto& [ip, rect] : wanted) {
        auto it = visible_.find(ip);
        std::shared_ptr<UITableViewCell> cell;
        if (it != visible_.end()) {
            cell = it->second;
            if (!(reorderFrom_ && *reorderFrom_ == ip)) cell->setFrame(rect);
            continue;
        }
        if (!dataSource_) break;
        cell = dataSource_->tableViewCellForRowAtIndexPath(*this, ip);
        if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "");
        configureCell(*cell, ip);
        cell->setFrame(rect);
        visible_[ip] = cell;
        if (delegate_) delegate_->tableViewWillDisplayCell(*this, *cell, ip);
        insertSubview(cell, 0);
        cell->setNeedsLayout();
    }
    for (size_t s = 0; s < sections_.size(); ++s) {
        Section& sec = sections_[s];
        double inset = style_ == UITableViewStyle::Grouped && !sec.headerTitle.empty() ? 19 : 0;
        if (sec.headerView && style_ == UITableViewStyle::Plain) {
            // A plain list's section title stays at the top while its rows pass under it.
            double top = bounds().origin.y + contentInset().top;
            double y = std::max(sec.headerY, std::min(top, sec.footerY + sec.footerH - sec.headerH));
            sec.headerView->setFrame(CGRectMake(0, y, bounds().size.width, sec.headerH));
            bringSubviewToFront(sec.headerView.get());
        } else if (sec.headerView) {
            if (!sec.headerTitle.empty())
                sec.headerView->setFrame(CGRectMake(inset, sec.headerY + (style_ == UITableViewStyle::Grouped ? 8 : 0),
                                                    bounds().size.width - 2 * inset,
                                                    sec.headerH - (style_ == UITableViewStyle::Grouped ? 12 : 0)));
            else
                sec.headerView->setFrame(CGRectMake(0, sec.headerY, bounds().size.width, sec.headerH));
        }
        if (sec.footerView) {
            if (!sec.footerTitle.empty())
                sec.footerView->setFrame(CGRectMake(inset, sec.footerY + 6, bounds().size.width - 2 * inset,
                                                    std::max(0.0, sec.footerH - 10)));
            else
                sec.footerView->setFrame(CGRectMake(0, sec.footerY, bounds().size.width, sec.footerH));
        }
    }
}

void UITableView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    if (loaded_ && std::fabs(contentSize().width - bounds().size.width) > 0.5) computeGeometry();
    layoutCells();
}

void UITableView::drawRect(const CGRect&) {}

// ---------------------------------------------------------------- lookups

std::shared_ptr<UITableViewCell> UITableView::cellForRowAtIndexPath(const NSIndexPath& ip) const {
    auto it = visible_.find(ip);
    return it == visible_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<UITableViewCell>> UITableView::visibleCells() const {
    std::vector<std::shared_ptr<UITableViewCell>> out;
    for (auto& [ip, c] : visible_) out.push_back(c);
    return out;
}

std::vector<NSIndexPath> UITableView::indexPathsForVisibleRows() const {
    std::vector<NSIndexPath> out;
    for (auto& [ip, c] : visible_) out.push_back(ip);
    return out;
}

std::optional<NSIndexPath> UITableView::indexPathForCell(const UITableViewCell* cell) const {
    for (auto& [ip, c] : visible_)
        if (c.get() == cell) return ip;
    return std::nullopt;
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint p) const {
    for (size_t s = 0; s < sections_.size(); ++s)
        for (size_t r = 0; r < sections_[s].rowY.size(); ++r)
            if (p.y >= sections_[s].rowY[r] && p.y < sections_[s].rowY[r] + sections_[s].rowH[r])
                return NSIndexPath::indexPathForRow(static_cast<int>(r), static_cast<int>(s));
    return std::nullopt;
}

CGRect UITableView::rectForRowAtIndexPath(const NSIndexPath& ip) const {
    if (!validIndexPath(ip)) return CGRectZero;
    const Section& sec = sections_[static_cast<size_t>(ip.section)];
    return CGRectMake(cellX(), sec.rowY[static_cast<size_t>(ip.row)], cellWidth(),
                      sec.rowH[static_cast<size_t>(ip.row)]);
}

CGRect UITableView::rectForSection(int s) const {
    if (s < 0 || s >= numberOfSections()) return CGRectZero;
    const Section& sec = sections_[static_cast<size_t>(s)];
    return CGRectMake(0, sec.headerY, bounds().size.width, sec.footerY + sec.footerH - sec.headerY);
}

CGRect UITableView::rectForHeaderInSection(int s) const {
    if (s < 0 || s >= numberOfSections()) return CGRectZero;
    const Section& sec = sections_[static_cast<size_t>(s)];
    return CGRectMake(0, sec.headerY, bounds().size.width, sec.headerH);
}

CGRect UITableView::rectForFooterInSection(int s) const {
    if (s < 0 || s >= numberOfSections()) return CGRectZero;
    const Section& sec = sections_[static_cast<size_t>(s)];
    return CGRectMake(0, sec.footerY, bounds().size.width, sec.footerH);
}

UIView* UITableView::headerViewForSection(int s) const {
    if (s < 0 || s >= numberOfSections()) return nullptr;
    return sections_[static_cast<size_t>(s)].headerView.get();
}

void UITableView::scrollToRowAtIndexPath(const NSIndexPath& ip, UITableViewScrollPosition position, bool animated) {
    if (!validIndexPath(ip)) return;
    CGRect r = rectForRowAtIndexPath(ip);
    double h = bounds().size.height;
    CGPoint p = contentOffset();
    switch (position) {
        case UITableViewScrollPosition::Top:
            p.y = r.origin.y;
            break;
        case UITableViewScrollPosition::Middle:
            p.y = CGRectGetMidY(r) - h / 2;
            break;
        case UITableViewScrollPosition::Bottom:
            p.y = CGRectGetMaxY(r) - h;
            break;
        case UITableViewScrollPosition::None:
            if (r.origin.y < p.y)
                p.y = r.origin.y;
            else if (CGRectGetMaxY(r) > p.y + h)
                p.y = CGRectGetMaxY(r) - h;
            break;
    }
    p.y = std::clamp(p.y, minimumContentOffset().y, maximumContentOffset().y);
    setContentOffset(p, animated);
}

// ---------------------------------------------------------------- selection

void UITableView::selectRowAtIndexPath(const std::optional<NSIndexPath>& ip, bool animated,
                                       UITableViewScrollPosition position) {
    if (selected_)
        if (auto c = cellForRowAtIndexPath(*selected_)) c->setSelected(false, animated);
    selected_.reset();
    if (!ip || !validIndexPath(*ip)) return;
    selected_ = ip;
    if (auto c = cellForRowAtIndexPath(*ip)) c->setSelected(true, animated);
    if (position != UITableViewScrollPosition::None) scrollToRowAtIndexPath(*ip, position, animated);
}

void UITableView::deselectRowAtIndexPath(const NSIndexPath& ip, bool animated) {
    if (selected_ && *selected_ == ip) selected_.reset();
    if (auto c = cellForRowAtIndexPath(ip)) c->setSelected(false, animated);
}

void UITableView::setEditing(bool editing, bool) {
    if (editing == editing_) return;
    hideDeleteConfirmation();
    editing_ = editing;
    for (auto& [ip, cell] : visible_) configureCell(*cell, ip);
}

bool UITableView::rowsHighlightOnTouch() const {
    return allowsSelection_ && (!editing_ || allowsSelectionDuringEditing_) && !confirming_;
}

bool UITableView::hideDeleteConfirmation() {
    if (!confirming_) return false;
    NSIndexPath ip = *confirming_;
    confirming_.reset();
    if (auto c = cellForRowAtIndexPath(ip)) c->setDeleteConfirmationShown(false, "");
    if (!editing_ && delegate_) delegate_->tableViewDidEndEditingRowAtIndexPath(*this, ip);
    return true;
}

void UITableView::cellTouchEnded(UITableViewCell& cell, CGPoint screenPoint) {
    auto keep = shared();
    std::shared_ptr<UITableViewCell> target = std::static_pointer_cast<UITableViewCell>(cell.shared());
    releaseTouchedAway(cell);
    if (carried_ && carried_->from.lock() == target) {
        target = cellForRowAtIndexPath(carried_->row);
        carried_.reset();
        if (!target) return;
        if (!target->isSelected()) target->setHighlighted(false);
    }
    if (CGRectContainsPoint(target->bounds(), target->convertPointFromView(screenPoint, nullptr)))
        cellTapped(target.get());
}

void UITableView::cellTouchUnhighlighted(UITableViewCell& cell) {
    const bool carriedHere = carried_ && carried_->from.lock().get() == &cell;
    if (carriedHere)
        if (auto now = cellForRowAtIndexPath(carried_->row)) now->setHighlighted(false);
    if (cell.isTracking()) return;
    // The touch was cancelled.
    if (carriedHere) carried_.reset();
    releaseTouchedAway(cell);
}

void UITableView::releaseTouchedAway(const UITableViewCell& cell) {
    std::erase_if(touchedAway_, [&](const auto& c) { return c.get() == &cell; });
}

void UITableView::cellTapped(UITableViewCell* cell) {
    auto keep = shared();
    if (hideDeleteConfirmation()) return;
    if (!allowsSelection_ || (editing_ && !allowsSelectionDuringEditing_)) return;
    auto ip = indexPathForCell(cell);
    if (!ip) return;
    std::optional<NSIndexPath> target = delegate_ ? delegate_->tableViewWillSelectRowAtIndexPath(*this, *ip) : ip;
    if (!target || !validIndexPath(*target)) return;
    if (selected_ && *selected_ != *target) {
        NSIndexPath old = *selected_;
        deselectRowAtIndexPath(old, false);
        if (delegate_) delegate_->tableViewDidDeselectRowAtIndexPath(*this, old);
    }
    selected_ = target;
    if (auto c = cellForRowAtIndexPath(*target)) c->setSelected(true);
    if (delegate_) delegate_->tableViewDidSelectRowAtIndexPath(*this, *target);
}

void UITableView::cellSwiped(UITableViewCell* cell) {
    auto keep = shared();
    if (editing_ || !dataSource_) return;
    if (hideDeleteConfirmation()) return;
    auto ip = indexPathForCell(cell);
    if (!ip || !dataSource_->tableViewCanEditRowAtIndexPath(*this, *ip)) return;
    UITableViewCellEditingStyle style =
        delegate_ ? delegate_->tableViewEditingStyleForRowAtIndexPath(*this, *ip) : UITableViewCellEditingStyle::Delete;
    if (style != UITableViewCellEditingStyle::Delete) return;
    if (delegate_) delegate_->tableViewWillBeginEditingRowAtIndexPath(*this, *ip);
    confirming_ = ip;
    cell->setDeleteConfirmationShown(
        true, delegate_ ? delegate_->tableViewTitleForDeleteConfirmationButtonForRowAtIndexPath(*this, *ip) : "删除");
}

void UITableView::cellEditingControlTapped(UITableViewCell* cell) {
    auto keep = shared();
    auto ip = indexPathForCell(cell);
    if (!ip || !dataSource_) return;
    UITableViewCellEditingStyle style =
        delegate_ ? delegate_->tableViewEditingStyleForRowAtIndexPath(*this, *ip) : UITableViewCellEditingStyle::Delete;
    if (style == UITableViewCellEditingStyle::Insert) {
        dataSource_->tableViewCommitEditingStyle(*this, style, *ip);
        return;
    }
    bool same = confirming_ && *confirming_ == *ip;
    hideDeleteConfirmation();
    if (same) return;
    confirming_ = ip;
    cell->setDeleteConfirmationShown(
        true, delegate_ ? delegate_->tableViewTitleForDeleteConfirmationButtonForRowAtIndexPath(*this, *ip) : "删除");
}

void UITableView::cellDeleteConfirmed(UITableViewCell* cell) {
    auto keep = shared();
    auto ip = indexPathForCell(cell);
    if (!ip || !dataSource_) return;
    bool swipe = !editing_;
    confirming_.reset();
    cell->setDeleteConfirmationShown(false, "");
    dataSource_->tableViewCommitEditingStyle(*this, UITableViewCellEditingStyle::Delete, *ip);
    if (swipe && delegate_) delegate_->tableViewDidEndEditingRowAtIndexPath(*this, *ip);
}

void UITableView::cellAccessoryTapped(UITableViewCell* cell) {
    auto ip = indexPathForCell(cell);
    if (ip && delegate_) delegate_->tableViewAccessoryButtonTappedForRowWithIndexPath(*this, *ip);
}

void UITableView::reorderBegan(UITableViewCell* cell, CGPoint screenPoint) {
    auto ip = indexPathForCell(cell);
    if (!ip || !editing_) return;
    reorderFrom_ = ip;
    reorderGrab_ = convertPointFromView(screenPoint, nullptr).y - cell->frame().origin.y;
    bringSubviewToFront(cell);
}

void UITableView::reorderMoved(UITableViewCell* cell, CGPoint screenPoint) {
    if (!reorderFrom_) return;
    CGRect f = cell->frame();
    double y = convertPointFromView(screenPoint, nullptr).y - reorderGrab_;
    y = std::clamp(y, 0.0, std::max(0.0, contentSize().height - f.size.height));
    cell->setFrame(CGRectMake(f.origin.x, y, f.size.width, f.size.height));
}

void UITableView::reorderEnded(UITableViewCell* cell, CGPoint) {
    if (!reorderFrom_) return;
    auto keep = shared();
    NSIndexPath from = *reorderFrom_;
    reorderFrom_.reset();
    double mid = CGRectGetMidY(cell->frame());
    // The row whose place the middle of the dragged row is over.
    NSIndexPath proposed = from;
    bool found = false;
    for (size_t s = 0; s < sections_.size() && !found; ++s) {
        const Section& sec = sections_[s];
        for (size_t r = 0; r < sec.rowY.size(); ++r)
            if (mid < sec.rowY[r] + sec.rowH[r]) {
                proposed = NSIndexPath::indexPathForRow(static_cast<int>(r), static_cast<int>(s));
                found = true;
                break;
            }
        // Past a section's rows but before the next one: its last place.
        if (!found && s + 1 < sections_.size() && mid < sections_[s + 1].headerY + sections_[s + 1].headerH) {
            int rows = static_cast<int>(sec.rowY.size());
            proposed = NSIndexPath::indexPathForRow(static_cast<int>(s) == from.section ? rows - 1 : rows,
                                                    static_cast<int>(s));
            found = true;
        }
    }
    if (!found && !sections_.empty()) {
        int last = static_cast<int>(sections_.size()) - 1;
        int rows = numberOfRowsInSection(last);
        proposed = NSIndexPath::indexPathForRow(last == from.section ? rows - 1 : rows, last);
    }
    NSIndexPath to =
        delegate_ ? delegate_->tableViewTargetIndexPathForMoveFromRowAtIndexPath(*this, from, proposed) : proposed;
    if (to != from && dataSource_ && dataSource_->tableViewCanMoveRowAtIndexPath(*this, from))
        dataSource_->tableViewMoveRowAtIndexPath(*this, from, to);
    reloadSections({}, UITableViewRowAnimation::None);
}

bool UITableView::touchesShouldCancelInContentView(UIView* view) const {
    for (UIView* v = view; v && v != this; v = v->superview())
        if (auto* cell = dynamic_cast<UITableViewCell*>(v))
            return !(cell->reorderControl() && view->isDescendantOfView(cell->reorderControl()));
    return true;
}

void UITableView::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    hideDeleteConfirmation();
    UIScrollView::touchesBegan(touches, event);
}
