#pragma once
// One row of a table: a content view holding the text label, the detail label
// and the image view placed by the cell style, an accessory at the right, the
// editing controls in editing mode, and the backgrounds for the normal and the
// selected state.
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIView.h"

class UITableView;

enum class UITableViewCellStyle { Default, Value1, Value2, Subtitle };
enum class UITableViewCellSelectionStyle { None, Blue, Gray };
enum class UITableViewCellAccessoryType { None, DisclosureIndicator, DetailDisclosureButton, Checkmark };
enum class UITableViewCellEditingStyle { None, Delete, Insert };
enum class UITableViewCellSeparatorStyle { None, SingleLine, SingleLineEtched };

class UITableViewCell : public UIView {
public:
    UITableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier);
    ~UITableViewCell() override;
    std::string className() const override { return "UITableViewCell"; }

    UITableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    // Called before the table hands the cell out again from its reuse pool.
    virtual void prepareForReuse();

    UIView* contentView() const { return contentView_.get(); }
    std::shared_ptr<UIView> contentViewShared() const { return contentView_; }
    UILabel* textLabel() const { return textLabel_.get(); }
    // Null for the default style.
    UILabel* detailTextLabel() const { return detailTextLabel_.get(); }
    UIImageView* imageView() const { return imageView_.get(); }
    const std::shared_ptr<UIView>& backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<UIView> v);
    const std::shared_ptr<UIView>& selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(std::shared_ptr<UIView> v);

    UITableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(UITableViewCellAccessoryType t);
    const std::shared_ptr<UIView>& accessoryView() const { return accessoryView_; }
    void setAccessoryView(std::shared_ptr<UIView> v);
    UITableViewCellAccessoryType editingAccessoryType() const { return editingAccessoryType_; }
    void setEditingAccessoryType(UITableViewCellAccessoryType t) {
        editingAccessoryType_ = t;
        setNeedsLayout();
    }
    UITableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(UITableViewCellSelectionStyle s) {
        selectionStyle_ = s;
        setNeedsDisplay();
    }
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted, bool animated = false);
    bool isEditing() const { return editing_; }
    virtual void setEditing(bool editing, bool animated = false);
    bool showsReorderControl() const { return showsReorder_; }
    void setShowsReorderControl(bool s) {
        showsReorder_ = s;
        setNeedsLayout();
    }
    int indentationLevel() const { return indentationLevel_; }
    void setIndentationLevel(int l) {
        indentationLevel_ = l;
        setNeedsLayout();
    }
    double indentationWidth() const { return indentationWidth_; }
    void setIndentationWidth(double w) {
        indentationWidth_ = w;
        setNeedsLayout();
    }
    // The "删除" button shown after a swipe or a tap on the delete control.
    bool showingDeleteConfirmation() const { return confirming_; }
    UIView* deleteConfirmationButton() const { return deleteButton_.get(); }
    UIView* editingControl() const { return editControl_.get(); }
    UIView* reorderControl() const { return reorderControl_.get(); }

    // ---- set by the table ----
    UITableView* tableView() const { return table_; }
    void setTableView(UITableView* t) { table_ = t; }
    void setEditingStyleForControl(UITableViewCellEditingStyle s) {
        editingStyle_ = s;
        setNeedsLayout();
    }
    void setDeleteConfirmationShown(bool shown, const std::string& title);
    enum class Position { Alone, Top, Middle, Bottom };
    // Where the row sits in its group (grouped tables round the ends).
    void setGroupPosition(bool grouped, Position p, UITableViewCellSeparatorStyle sep,
                          std::shared_ptr<UIColor> separatorColor);

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    void setBackgroundColor(std::shared_ptr<UIColor> c) override;
    std::string accessibilityText() const override;

    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, UIEvent* event) override;
    // A finger is down on the row (from the touch's start to its end).
    bool isTracking() const { return tracking_; }
    // The table took the row away under the finger: the touch taps nothing.
    void endTracking();

private:
    void updateLabelsHighlight();

    UITableViewCellStyle style_;
    std::string reuseIdentifier_;
    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UILabel> textLabel_, detailTextLabel_;
    std::shared_ptr<UIImageView> imageView_;
    std::shared_ptr<UIView> backgroundView_, selectedBackgroundView_;
    std::shared_ptr<UIView> accessoryView_;
    std::shared_ptr<UIView> builtAccessory_;
    std::shared_ptr<UIView> editControl_, reorderControl_, deleteButton_;
    UITableViewCellAccessoryType accessoryType_ = UITableViewCellAccessoryType::None;
    UITableViewCellAccessoryType editingAccessoryType_ = UITableViewCellAccessoryType::None;
    UITableViewCellSelectionStyle selectionStyle_ = UITableViewCellSelectionStyle::Blue;
    UITableViewCellEditingStyle editingStyle_ = UITableViewCellEditingStyle::None;
    bool selected_ = false, highlighted_ = false, editing_ = false, showsReorder_ = false, confirming_ = false;
    int indentationLevel_ = 0;
    double indentationWidth_ = 10;
    UITableView* table_ = nullptr;
    bool grouped_ = false;
    Position position_ = Position::Alone;
    UITableViewCellSeparatorStyle separator_ = UITableViewCellSeparatorStyle::SingleLine;
    std::shared_ptr<UIColor> separatorColor_;
    std::shared_ptr<UIColor> userBackground_;
    // Touch tracking.
    CGPoint touchStart_;
    bool swiped_ = false;
    bool tracking_ = false;
    bool reordering_ = false;
    bool editControlInsert_ = false;
};
