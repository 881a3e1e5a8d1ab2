#include "messages/MESummaryTableViewCell.h"

#include "core/storage/QZMessageExpress.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"

MESummaryTableViewCell::MESummaryTableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {
    auto label = [](const CGRect& frame, std::shared_ptr<UIFont> font, UITextAlignment align,
                    std::shared_ptr<UIColor> color) {
        auto l = std::make_shared<UILabel>(frame);
        l->setFont(std::move(font));
        l->setTextAlignment(align);
        l->setAdjustsFontSizeToFitWidth(false);
        l->setBackgroundColor(UIColor::clearColor());
        l->setTextColor(std::move(color));
        return l;
    };
    titleLabel_ = label(CGRectMake(20, 0, 280, 20), UIFont::boldSystemFontOfSize(16), UITextAlignment::Center,
                        UIColor::blackColor());
    summaryLabel_ = label(CGRectMake(20, 22, 280, 56), UIFont::systemFontOfSize(16), UITextAlignment::Left,
                          UIColor::darkGrayColor());
    summaryLabel_->setNumberOfLines(0);
    summaryLabel_->setLineBreakMode(UILineBreakMode::TailTruncation);
    dateLabel_ =
        label(CGRectMake(60, 80, 240, 14), UIFont::systemFontOfSize(12), UITextAlignment::Right, UIColor::grayColor());
    unreadImageView_ = std::make_shared<UIImageView>(CGRectMake(0, 0, 28, 19));
    contentView()->addSubview(titleLabel_);
    contentView()->addSubview(summaryLabel_);
    contentView()->addSubview(dateLabel_);
    contentView()->addSubview(unreadImageView_);
    setBackgroundView(std::make_shared<UIImageView>());
    setSelectedBackgroundView(std::make_shared<UIImageView>());
}

void MESummaryTableViewCell::placeForRow(int row) {
    row_ = row;
    setNeedsLayout();
    auto* background = static_cast<UIImageView*>(backgroundView().get());
    auto* selected = static_cast<UIImageView*>(selectedBackgroundView().get());
    background->setImage(UIImage::imageNamed(row == 0 ? "group_item_first.png" : "group_item.png"));
    selected->setImage(UIImage::imageNamed(row == 0 ? "group_item_first_selectged.png" : "group_item_selected.png"));
}

void MESummaryTableViewCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    const double down = row_ == 0 ? 4 : 0;
    const double narrower = 320 - contentView()->bounds().size.width;
    titleLabel_->setFrame(CGRectMake(20, down, 280 - narrower, 20));
    summaryLabel_->setFrame(CGRectMake(20, 22 + down, 280 - narrower, 56));
    dateLabel_->setFrame(CGRectMake(60, 80 + down, 240 - narrower, 14));
}

void MESummaryTableViewCell::fillInboxRow(const QZMessageExpress& m, int row, const std::string& dateText) {
    titleLabel_->setText(m.messageTitle());
    summaryLabel_->setText(m.messageContent());
    dateLabel_->setText(dateText);
    if (m.isRead()) {
        unreadImageView_->setImage(nullptr);
    } else {
        unreadImageView_->setImage(UIImage::imageNamed("unread_icon.png"));
        unreadImageView_->setFrame(CGRectMake(0, row == 0 ? 4 : 0, 30, 18));
    }
    placeForRow(row);
}

void MESummaryTableViewCell::fillHistoryRow(const QZMessageExpress& m, int row, const std::string& dateText) {
    titleLabel_->setText(m.messageTitle().empty() ? "无标题" : m.messageTitle());
    summaryLabel_->setText(m.messageContent());
    dateLabel_->setText(dateText);
    unreadImageView_->setImage(nullptr);
    placeForRow(row);
}
