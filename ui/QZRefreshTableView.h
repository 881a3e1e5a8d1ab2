#pragma once
// Pull-to-refresh band of a table (or any scroll view). As a header it sits
// above the list (its bottom at the content's top) and answers a pull down; as
// a footer it sits below the list and answers a pull up. The owner places it
// in the scroll view and forwards the scroll view's callbacks:
//   scrollViewDidScroll           -> qzRefreshScrollViewDidScroll
//   scrollViewDidEndDragging      -> qzRefreshScrollViewDidEndDragging
//   its data has finished loading -> qzRefreshScrollViewDataSourceDidFinishedLoading
// Releasing the finger beyond the threshold (65 points past the edge) tells the
// delegate ...DidTriggerRefresh once; the band then shows "加载中..." and
// keeps itself in view until the owner reports the load finished. Further
// pulls while loading (by the band's own state or the delegate's answer) do
// not trigger again.
#include "platform/foundation/Value.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"

class QZRefreshTableView;

class QZRefreshTableDelegate {
public:
    virtual ~QZRefreshTableDelegate() = default;
    virtual bool qzRefreshTableHeaderDataSourceIsLoading(QZRefreshTableView& view) = 0;
    virtual void qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView& view) = 0;
    virtual bool qzRefreshTableFooterDataSourceIsLoading(QZRefreshTableView& view) = 0;
    virtual void qzRefreshTableFooterDidTriggerRefresh(QZRefreshTableView& view) = 0;
    // Optional: a Dict with "TotalCount" (integer) and "Range" (a Dict with
    // "location" and "length") for the position text; Null when not answered.
    virtual Value myRefreshLastUpdatedPosition(QZRefreshTableView& view) { return Value(); }
};

enum class QZPullRefreshState { Normal, Pulling, Loading };

class QZRefreshTableView : public UIView {
public:
    static constexpr double kThreshold = 65;

    QZRefreshTableView(const CGRect& frame, bool isHeader);
    std::string className() const override { return "QZRefreshTableView"; }

    bool isHeader() const { return header_; }
    // Not owned.
    void setDelegate(QZRefreshTableDelegate* d) { delegate_ = d; }
    // The texts of the tick-by-tick deal list ("更早的成交" / "更新的成交")
    // instead of the page texts.
    void setIsTransDetail(bool on);
    // The texts of a list that a pull reloads in place ("下拉可以刷新",
    // "松开即可刷新") instead of the page texts.
    void setIsRefresh(bool on);

    void qzRefreshScrollViewDidScroll(UIScrollView& scrollView);
    void qzRefreshScrollViewDidEndDragging(UIScrollView& scrollView);
    void qzRefreshScrollViewDataSourceDidFinishedLoading(UIScrollView& scrollView);
    // Asks the delegate for the position and shows "第%d-%d条 共%d条".
    void refreshLastUpdatedPosition();

    QZPullRefreshState state() const { return state_; }
    const std::string& statusText() const { return statusLabel_->text(); }
    const std::string& positionText() const { return positionLabel_->text(); }
    // How far the scroll view is pulled past this band's edge (points, >= 0).
    double pullDistance(const UIScrollView& scrollView) const;

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

private:
    void setState(QZPullRefreshState s);
    bool delegateIsLoading();

    bool header_;
    bool transDetail_ = false;
    bool refresh_ = false;
    QZRefreshTableDelegate* delegate_ = nullptr;
    QZPullRefreshState state_ = QZPullRefreshState::Normal;
    std::shared_ptr<UILabel> statusLabel_;
    std::shared_ptr<UILabel> positionLabel_;
};
