#pragma once
// The row of one message in the inbox and in the server's history list: its
// title, its text, its date text and an unread mark, on a picture that
// differs for the first row of a list (whose labels sit 4 points lower: the
// lists give it a row of 98 points against 94).
#include <memory>
#include <string>

#include "platform/uikit/UITableViewCell.h"

class QZMessageExpress;
class UIImageView;
class UILabel;

class MESummaryTableViewCell : public UITableViewCell {
public:
    static constexpr double kFirstRowHeight = 98, kRowHeight = 94;
    // The row heights of a list of these cells.
    static double rowHeight(int row) { return row == 0 ? kFirstRowHeight : kRowHeight; }

    MESummaryTableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier);
    std::string className() const override { return "MESummaryTableViewCell"; }

    UILabel* titleLabel() const { return titleLabel_.get(); }
    UILabel* summaryLabel() const { return summaryLabel_.get(); }
    UILabel* dateLabel() const { return dateLabel_.get(); }
    UIImageView* unreadImageView() const { return unreadImageView_.get(); }

    // A row of the inbox: the unread mark while the message is unread.
    void fillInboxRow(const QZMessageExpress& m, int row, const std::string& dateText);
    // A row of the history: "无标题" for a missing title, never an unread mark.
    void fillHistoryRow(const QZMessageExpress& m, int row, const std::string& dateText);

    // The labels keep their margins when the row narrows (the delete controls of editing mode).
    void layoutSubviews() override;

private:
    void placeForRow(int row);

    int row_ = 1;
    std::shared_ptr<UILabel> titleLabel_, summaryLabel_, dateLabel_;
    std::shared_ptr<UIImageView> unreadImageView_;
};
