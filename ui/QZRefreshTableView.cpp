#include "ui/QZRefreshTableView.h"

#include <algorithm>
#include <cstdio>

namespace {
std::shared_ptr<UILabel> bandLabel(double size, bool bold) {
    auto l = std::make_shared<UILabel>();
    l->setFont(bold ? UIFont::boldSystemFontOfSize(size) : UIFont::systemFontOfSize(size));
    l->setTextColor(UIColor::colorWithRed(0.34, 0.42, 0.52, 1));
    l->setBackgroundColor(UIColor::clearColor());
    l->setTextAlignment(UITextAlignment::Center);
    return l;
}
}  // namespace

QZRefreshTableView::QZRefreshTableView(const CGRect& frame, bool isHeader) : UIView(frame), header_(isHeader) {
    setBackgroundColor(UIColor::colorWithRed(0.886, 0.906, 0.929, 1));
    statusLabel_ = bandLabel(13, true);
    positionLabel_ = bandLabel(12, false);
    addSubview(statusLabel_);
    addSubview(positionLabel_);
    setState(QZPullRefreshState::Normal);
    layoutSubviews();
}

void QZRefreshTableView::layoutSubviews() {
    CGRect b = bounds();
    // The texts sit at the edge that comes into view first.
    double y = header_ ? b.size.height - kThreshold + 8 : 8;
    statusLabel_->setFrame(CGRectMake(0, y + 22, b.size.width, 20));
    positionLabel_->setFrame(CGRectMake(0, y, b.size.width, 20));
}

void QZRefreshTableView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || state_ == QZPullRefreshState::Loading) return;
    // An arrow beside the texts, pointing where the list goes after release.
    CGRect b = bounds();
    double y = header_ ? b.size.height - kThreshold / 2 : kThreshold / 2;
    bool up = (state_ == QZPullRefreshState::Pulling) == header_;
    double dir = up ? -1 : 1;
    double x = 40;
    ctx->setStrokeColor(0.34, 0.42, 0.52, 1);
    ctx->setLineWidth(2.5);
    ctx->setLineCap(CGLineCap::Round);
    ctx->beginPath();
    ctx->moveToPoint(x, y - 12 * dir);
    ctx->addLineToPoint(x, y + 12 * dir);
    ctx->moveToPoint(x - 7, y + 5 * dir);
    ctx->addLineToPoint(x, y + 12 * dir);
    ctx->addLineToPoint(x + 7, y + 5 * dir);
    ctx->strokePath();
}

void QZRefreshTableView::setIsTransDetail(bool on) {
    transDetail_ = on;
    setState(state_);
}

void QZRefreshTableView::setIsRefresh(bool on) {
    refresh_ = on;
    setState(state_);
}

void QZRefreshTableView::setState(QZPullRefreshState s) {
    state_ = s;
    std::string text;
    switch (s) {
        case QZPullRefreshState::Normal:
            if (transDetail_)
                text = header_ ? "下拉查看更早的成交" : "上拉查看更新的成交";
            else if (refresh_)
                text = header_ ? "下拉可以刷新" : "上拉可以刷新";
            else
                text = header_ ? "下拉可以翻到上一页" : "上拉可以翻到下一页";
            break;
        case QZPullRefreshState::Pulling:
            text = refresh_ ? "松开即可刷新" : "松开即可加载";
            break;
        case QZPullRefreshState::Loading:
            text = "加载中...";
            break;
    }
    statusLabel_->setText(text);
    setNeedsDisplay();
}

bool QZRefreshTableView::delegateIsLoading() {
    if (!delegate_) return false;
    return header_ ? delegate_->qzRefreshTableHeaderDataSourceIsLoading(*this)
                   : delegate_->qzRefreshTableFooterDataSourceIsLoading(*this);
}

double QZRefreshTableView::pullDistance(const UIScrollView& sv) const {
    double y = sv.contentOffset().y;
    if (header_) return std::max(0.0, -y);
    // Past the end of the content (or of the view when the content is shorter).
    double visible = sv.bounds().size.height;
    double end = std::max(sv.contentSize().height, visible);
    return std::max(0.0, y + visible - end);
}

void QZRefreshTableView::qzRefreshScrollViewDidScroll(UIScrollView& sv) {
    if (state_ == QZPullRefreshState::Loading) {
        // Keep the band in view while loading.
        UIEdgeInsets in = sv.contentInset();
        double d = std::min(pullDistance(sv), kThreshold);
        if (header_)
            in.top = std::max(0.0, d);
        else
            in.bottom = std::max(0.0, d);
        sv.setContentInset(in);
        return;
    }
    if (!sv.isDragging()) return;
    bool loading = delegateIsLoading();
    double d = pullDistance(sv);
    if (state_ == QZPullRefreshState::Pulling && d < kThreshold && !loading)
        setState(QZPullRefreshState::Normal);
    else if (state_ == QZPullRefreshState::Normal && d > kThreshold && !loading)
        setState(QZPullRefreshState::Pulling);
}

void QZRefreshTableView::qzRefreshScrollViewDidEndDragging(UIScrollView& sv) {
    if (state_ == QZPullRefreshState::Loading || delegateIsLoading()) return;
    if (pullDistance(sv) <= kThreshold) {
        if (state_ != QZPullRefreshState::Normal) setState(QZPullRefreshState::Normal);
        return;
    }
    setState(QZPullRefreshState::Loading);
    UIEdgeInsets in = sv.contentInset();
    if (header_)
        in.top = kThreshold;
    else
        in.bottom = kThreshold;
    sv.setContentInset(in);
    if (delegate_) {
        if (header_)
            delegate_->qzRefreshTableHeaderDidTriggerRefresh(*this);
        else
            delegate_->qzRefreshTableFooterDidTriggerRefresh(*this);
    }
}

void QZRefreshTableView::qzRefreshScrollViewDataSourceDidFinishedLoading(UIScrollView& sv) {
    UIEdgeInsets in = sv.contentInset();
    if (header_)
        in.top = 0;
    else
        in.bottom = 0;
    sv.setContentInset(in);
    setState(QZPullRefreshState::Normal);
}

void QZRefreshTableView::refreshLastUpdatedPosition() {
    if (!delegate_) return;
    Value v = delegate_->myRefreshLastUpdatedPosition(*this);
    if (!v.isDict()) {
        positionLabel_->setText("");
        return;
    }
    int64_t total = v["TotalCount"].toInt();
    const Value& range = v["Range"];
    int64_t location = range["location"].toInt();
    int64_t length = range["length"].toInt();
    if (total <= 0 || length <= 0) {
        positionLabel_->setText("");
        return;
    }
    int64_t first = std::min(location + 1, total);
    int64_t last = std::min(location + length, total);
    char text[96];
    std::snprintf(text, sizeof text, "第%lld-%lld条 共%lld条", static_cast<long long>(first),
                  static_cast<long long>(last), static_cast<long long>(total));
    positionLabel_->setText(text);
}
