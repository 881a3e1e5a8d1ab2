#pragma once
// One deal of the tick-by-tick lists: time at the left, price, volume and
// direction at the right, four equal columns with a left margin of 8 and gaps
// of 2. A big deal (its volume above the list's threshold) lies on dark grey,
// the others on black. CJCell, the older list's cell, looks the same.
#include <memory>

#include "platform/uikit/UITableView.h"
#include "quotes/TickRows.h"

inline constexpr double kDealRowHeight = 20;

class TransDetailCell : public UITableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "cjCell_indefenter";
    static constexpr double kBigDealWhite = 0.111;

    TransDetailCell();
    std::string className() const override { return "TransDetailCell"; }

    // Copies the row's texts, colours and alignments, and marks a big deal.
    void setRow(const TickRow& row, int threshold);

    UILabel* timeLabel() const { return labels_[0].get(); }
    UILabel* jgLabel() const { return labels_[1].get(); }
    UILabel* cjLabel() const { return labels_[2].get(); }
    UILabel* lbLabel() const { return labels_[3].get(); }

    void layoutSubviews() override;

private:
    std::array<std::shared_ptr<UILabel>, 4> labels_;
};

class CJCell : public TransDetailCell {
public:
    std::string className() const override { return "CJCell"; }
};

// The table of both deal lists: plain, black, dark grey separators, rows of
// 20 points, the list as its data source and delegate.
std::shared_ptr<UITableView> makeDealsTable(const CGRect& frame, UITableViewDataSource* dataSource,
                                            UITableViewDelegate* delegate);
