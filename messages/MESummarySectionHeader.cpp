#include "messages/MESummarySectionHeader.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "ui/CustomBadge.h"

MESummarySectionHeader::MESummarySectionHeader(const CGRect& frame)
    : UIButton(UIButtonType::Custom, frame), arrowImageViewRotation_(CGAffineTransformMake(0, 1, -1, 0, 0, 0)) {
    auto indicator = UIImage::imageNamed("ME_Expand_Indicator.png");
    collapseImageView_ = std::make_shared<UIImageView>(indicator);
    collapseImageView_->setBackgroundColor(UIColor::clearColor());
    addSubview(collapseImageView_);
    sortordLabel_ = std::make_shared<UILabel>(CGRectMake(26, 0, 250, 36));
    sortordLabel_->setTextAlignment(UITextAlignment::Left);
    sortordLabel_->setBackgroundColor(UIColor::clearColor());
    sortordLabel_->setFont(UIFont::systemFontOfSize(15));
    sortordLabel_->setAdjustsFontSizeToFitWidth(true);
    sortordLabel_->setMinimumFontSize(10);
    addSubview(sortordLabel_);
}

UIButton* MESummarySectionHeader::deleteButton() const { return isAddSectionDelBtn_ ? deleteButton_.get() : nullptr; }

void MESummarySectionHeader::turnIndicator(bool open, bool animated) {
    const CGAffineTransform& to = open ? arrowImageViewRotation_ : CGAffineTransformIdentity;
    if (!animated) {
        collapseImageView_->setTransform(to);
        return;
    }
    auto view = collapseImageView_;
    UIView::animateWithDuration(0.25, [view, to] { view->setTransform(to); });
}

void MESummarySectionHeader::openIndicator() { turnIndicator(true, true); }
void MESummarySectionHeader::closeIndicator() { turnIndicator(false, true); }
void MESummarySectionHeader::justOpenIndicator() { turnIndicator(true, false); }
bool MESummarySectionHeader::isIndicatorOpen() const {
    return collapseImageView_->transform() == arrowImageViewRotation_;
}

void MESummarySectionHeader::fitForSection(int section, bool editing, bool open, std::function<void(int section)> onTap,
                                           std::function<void(int section)> onDelete) {
    setTag(section * 1000);
    removeTarget(this, UIControlEventTouchUpInside);
    addTarget(
        this, [onTap, section](UIControl&) { onTap(section); }, UIControlEventTouchUpInside);

    const int deleteTag = (section + 1) * kDeleteTagUnit;
    if (editing) {
        if (!isAddSectionDelBtn_ || !deleteButton_ || deleteButton_->tag() != deleteTag) {
            if (deleteButton_) deleteButton_->removeFromSuperview();
            deleteButton_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(280, 4, 28, 28));
            deleteButton_->setBackgroundImage(UIImage::imageNamed("del.png"));
            deleteButton_->setTag(deleteTag);
            addSubview(deleteButton_);
            isAddSectionDelBtn_ = true;
        }
        deleteButton_->removeTarget(this, UIControlEventTouchUpInside);
        deleteButton_->addTarget(
            this, [onDelete, section](UIControl&) { onDelete(section); }, UIControlEventTouchUpInside);
    } else {
        if (deleteButton_) deleteButton_->removeFromSuperview();
        deleteButton_.reset();
        isAddSectionDelBtn_ = false;
    }

    if (unreadBadge_) {
        unreadBadge_->removeFromSuperview();
        unreadBadge_.reset();
    }
    sortordLabel_->setText(groupHeaderText(group_));
    if (group_.unreadAmount >= 1) {
        double w =
            sizeWithFont(group_.label, *UIFont::systemFontOfSize(15), CGSizeMake(294, 20000), UILineBreakMode::WordWrap)
                .width;
        unreadBadge_ = CustomBadge::customBadgeWithString(std::to_string(group_.unreadAmount));
        unreadBadge_->setCenter(CGPointMake(w + 50, 16));
        addSubview(unreadBadge_);
    }

    if (!isExpand_ && !open) {
        setBackgroundImage(UIImage::imageNamed("group.png"), UIControlStateNormal);
        setBackgroundImage(UIImage::imageNamed("group_expanded.png"), UIControlStateHighlighted);
        if (isIndicatorOpen()) closeIndicator();
    } else {
        setBackgroundImage(UIImage::imageNamed("group_expanded.png"), UIControlStateNormal);
        setBackgroundImage(UIImage::imageNamed("group_expanded.png"), UIControlStateHighlighted);
        if (!isIndicatorOpen()) openIndicator();
    }
}
