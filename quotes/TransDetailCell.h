#pragma once
// One deal of the tick-by-tick lists: time at the left, price, volume and
// direction at the right, four equal columns with a left margin of 8 and gaps
// of 2. A big deal (its volume above the list's threshold) lies on dark grey,
// the others on black. CJCell, the older list's cell, looks the same.
#include <memory>

#include "platform/uikit/UITableViewCell.h"
#include "quotes/TickRows.h"

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
