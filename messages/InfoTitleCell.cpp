#include "messages/InfoTitleCell.h"

#include "core/storage/Digest.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITableView.h"

InfoTitleCell::InfoTitleCell(UITableViewCellStyle style, const std::string& reuseIdentifier, bool isFatCell)
    : UITableViewCell(style, reuseIdentifier), isFatCell_(isFatCell) {
    // Two lines of the bold headline take 44 points: the tall row's label holds both.
    titleLabel_ = std::make_shared<UILabel>(isFatCell_ ? CGRectMake(8, 8, 304, 44) : CGRectMake(8, 10, 304, 20));
    titleLabel_->setTextAlignment(UITextAlignment::Left);
    titleLabel_->setFont(UIFont::boldSystemFontOfSize(16));
    titleLabel_->setTextColor(UIColor::whiteColor());
    titleLabel_->setNumberOfLines(0);
    titleLabel_->setLineBreakMode(UILineBreakMode::WordWrap);
    titleLabel_->setAdjustsFontSizeToFitWidth(false);
    titleLabel_->setBackgroundColor(UIColor::clearColor());
    timeLabel_ = std::make_shared<UILabel>(isFatCell_ ? CGRectMake(200, 56, 120, 12) : CGRectMake(200, 36, 120, 12));
    timeLabel_->setTextAlignment(UITextAlignment::Left);
    timeLabel_->setFont(UIFont::systemFontOfSize(12));
    timeLabel_->setTextColor(UIColor::grayColor());
    timeLabel_->setAdjustsFontSizeToFitWidth(true);
    timeLabel_->setBackgroundColor(UIColor::clearColor());
    contentView()->addSubview(titleLabel_);
    contentView()->addSubview(timeLabel_);
    // Below the content view the list's black shows: a dark gap between rows.
    setBackgroundColor(UIColor::clearColor());
}

void InfoTitleCell::setTitle(const std::string& title) { titleLabel_->setText(title); }
void InfoTitleCell::setTitleColor(std::shared_ptr<UIColor> color) { titleLabel_->setTextColor(std::move(color)); }
void InfoTitleCell::setTime(const std::string& time) { timeLabel_->setText(time); }

std::shared_ptr<UIColor> InfoTitleCell::unreadTitleColor() { return UIColor::colorWithRed(0.89, 0.863, 0.851, 1); }

bool InfoTitleCell::needsTallRow(const Digest& digest) { return digest.titleHeight() > 20; }

double InfoTitleCell::rowHeight(const std::vector<Digest>& rows, int row) {
    if (row < 0 || row >= static_cast<int>(rows.size())) return kShortRowHeight;
    return needsTallRow(rows[row]) ? kTallRowHeight : kShortRowHeight;
}

std::shared_ptr<InfoTitleCell> InfoTitleCell::cellForRow(UITableView& table, const std::vector<Digest>& rows, int row,
                                                         const std::unordered_set<std::string>& readIds,
                                                         const std::string& identifierPrefix) {
    const bool valid = row >= 0 && row < static_cast<int>(rows.size());
    const bool tall = valid && needsTallRow(rows[row]);
    const std::string identifier = identifierPrefix + (tall ? "Expand" : "Normal");
    auto cell = std::dynamic_pointer_cast<InfoTitleCell>(table.dequeueReusableCellWithIdentifier(identifier));
    if (!cell) cell = std::make_shared<InfoTitleCell>(UITableViewCellStyle::Default, identifier, tall);
    if (valid) cell->showDigest(rows[row], row, readIds.count(rows[row].digestId()) > 0);
    return cell;
}

void InfoTitleCell::showDigest(const Digest& digest, int row, bool read) {
    setTitleColor(read ? UIColor::grayColor() : unreadTitleColor());
    setTitle(digest.title());
    setTime(digest.createTime());
    const bool even = row % 2 == 0;
    const char* image = isFatCell_ ? (even ? "cell_bg_tall_even.png" : "cell_bg_tall_odd.png")
                                   : (even ? "cell_bg_short_even.png" : "cell_bg_short_odd.png");
    contentView()->setBackgroundColor(UIColor::colorWithPatternImage(UIImage::imageNamed(image)));
}

void InfoTitleCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    CGRect content = contentView()->frame();
    contentView()->setFrame(CGRectMake(0, 0, content.size.width, isFatCell_ ? 68 : 50));
}
