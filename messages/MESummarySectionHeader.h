#pragma once
// The tappable header of one message group in the inbox: the group's label,
// an unread badge after the label's text, an indicator that turns a quarter
// turn while the group is open, and, in management mode, a delete button.
// The inbox fills it (fitForSection) each time the table asks for it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "messages/MessageTexts.h"
#include "platform/uikit/UIButton.h"

class CustomBadge;
class UIImageView;
class UILabel;

class MESummarySectionHeader : public UIButton {
public:
    static constexpr double kHeight = 40;
    static constexpr int kDeleteTagUnit = 1002;  // the delete button of section s is tagged (s + 1) x 1002

    explicit MESummarySectionHeader(const CGRect& frame = CGRectZero);
    std::string className() const override { return "MESummarySectionHeader"; }

    // ---- the group ----
    const MessageGroup& group() const { return group_; }
    void setGroup(MessageGroup group) { group_ = std::move(group); }
    const std::string& sortordStr() const { return group_.label; }
    int amount() const { return group_.amount; }
    int unreadAmount() const { return group_.unreadAmount; }
    const std::string& keyForSql() const { return group_.keyForSql; }
    const std::vector<std::string>& messageIds() const { return group_.messageIds; }
    int sortType() const { return group_.sortType; }

    bool isExpand() const { return isExpand_; }
    void setIsExpand(bool e) { isExpand_ = e; }
    bool isAddSectionDelBtn() const { return isAddSectionDelBtn_; }

    UILabel* sortordLabel() const { return sortordLabel_.get(); }
    UIImageView* collapseImageView() const { return collapseImageView_.get(); }
    CustomBadge* unreadBadge() const { return unreadBadge_.get(); }
    // The delete button while present (null otherwise).
    UIButton* deleteButton() const;

    // ---- the indicator ----
    void openIndicator();      // a quarter turn in 0.25 s
    void closeIndicator();     // back in 0.25 s
    void justOpenIndicator();  // at once
    bool isIndicatorOpen() const;

    // Fits the header for section s: tag s x 1000, the delete button while
    // `editing`, the label or label and badge, the open or closed look.
    // `onTap` and `onDelete` are what a tap on the header and on its delete
    // button do.
    void fitForSection(int section, bool editing, bool open, std::function<void(int section)> onTap,
                       std::function<void(int section)> onDelete);

private:
    void turnIndicator(bool open, bool animated);

    MessageGroup group_;
    bool isExpand_ = false;
    bool isAddSectionDelBtn_ = false;
    CGAffineTransform arrowImageViewRotation_;
    std::shared_ptr<UIImageView> collapseImageView_;
    std::shared_ptr<UILabel> sortordLabel_;
    std::shared_ptr<CustomBadge> unreadBadge_;
    std::shared_ptr<UIButton> deleteButton_;
};
