#pragma once
// The row of one headline in a news list: the headline in bold white (the
// list greys it once read) and its time beneath. A tall row (isFatCell) has
// room for two lines of headline.
#include <memory>
#include <string>

#include "platform/uikit/UITableViewCell.h"

class UILabel;

class InfoTitleCell : public UITableViewCell {
public:
    static constexpr double kTallRowHeight = 78, kShortRowHeight = 58;

    InfoTitleCell(UITableViewCellStyle style, const std::string& reuseIdentifier, bool isFatCell);
    std::string className() const override { return "InfoTitleCell"; }

    bool isFatCell() const { return isFatCell_; }
    void setTitle(const std::string& title);
    void setTitleColor(std::shared_ptr<UIColor> color);
    void setTime(const std::string& time);
    UILabel* titleLabel() const { return titleLabel_.get(); }
    UILabel* timeLabel() const { return timeLabel_.get(); }

    void layoutSubviews() override;

private:
    bool isFatCell_;
    std::shared_ptr<UILabel> titleLabel_, timeLabel_;
};
