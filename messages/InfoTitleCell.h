#pragma once
// The row of one headline in a news list: the headline in bold white (the
// list greys it once read) and its time beneath. A tall row (isFatCell) has
// room for two lines of headline.
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/uikit/UITableViewCell.h"

class Digest;
class UILabel;
class UITableView;

class InfoTitleCell : public UITableViewCell {
public:
    static constexpr double kTallRowHeight = 78, kShortRowHeight = 58;

    InfoTitleCell(UITableViewCellStyle style, const std::string& reuseIdentifier, bool isFatCell);
    std::string className() const override { return "InfoTitleCell"; }

    bool isFatCell() const { return isFatCell_; }
    void setTitle(const std::string& title);
    void setTitleColor(std::shared_ptr<UIColor> color);
    void setTime(const std::string& time);
    // Shows the headline of a list's row: its title (grey once read, else
    // unreadTitleColor), its time, and the row's ground, alternating by row.
    void showDigest(const Digest& digest, int row, bool read);
    static std::shared_ptr<UIColor> unreadTitleColor();
    // Whether a headline needs the tall row (a title more than 20 points high).
    static bool needsTallRow(const Digest& digest);
    // The height of a list's row (short for a row out of range).
    static double rowHeight(const std::vector<Digest>& rows, int row);
    // The cell of a list's row, reused by "<prefix>Expand" (tall) or
    // "<prefix>Normal" and showing the headline, grey when its id was read.
    static std::shared_ptr<InfoTitleCell> cellForRow(UITableView& table, const std::vector<Digest>& rows, int row,
                                                     const std::unordered_set<std::string>& readIds,
                                                     const std::string& identifierPrefix = "");
    UILabel* titleLabel() const { return titleLabel_.get(); }
    UILabel* timeLabel() const { return timeLabel_.get(); }

    void layoutSubviews() override;

private:
    bool isFatCell_;
    std::shared_ptr<UILabel> titleLabel_, timeLabel_;
};
