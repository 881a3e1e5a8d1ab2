#pragma once
// Form rows of the older screens.
//  DisplayCell: a caption (`nameLabel`, black on clear, defaultFont) at the
//    left and one value view at the right; no selection highlight.
//  VTAHQCell: a row of views in columns of given widths, from the left edge
//    (a form: captions line up), or centred in the row (a grid of buttons).
//  CellTextView / VTAContentCell: one hosted view, placed as given.
#include "platform/uikit/UITableViewCell.h"

#include <vector>

inline const char* const kDisplayCellIdentifier = "DisplayCell_ID";

class DisplayCell : public UITableViewCell {
public:
    DisplayCell(UITableViewCellStyle style = UITableViewCellStyle::Default,
                const std::string& reuseIdentifier = kDisplayCellIdentifier);
    std::string className() const override { return "DisplayCell"; }

    UILabel* nameLabel() const { return name_.get(); }
    // Places the view in the row, replacing the previous one (null removes it).
    void setView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UIView>& view() const { return view_; }
    void layoutSubviews() override;

private:
    std::shared_ptr<UILabel> name_;
    std::shared_ptr<UIView> view_;
};

class VTAHQCell : public UITableViewCell {
public:
    VTAHQCell(UITableViewCellStyle style, const std::string& reuseIdentifier);
    std::string className() const override { return "VTAHQCell"; }
    // Views side by side, each as wide as its width (missing widths: the rest
    // of the row shared equally); replaces the previous items.
    void loadItems(const std::vector<std::shared_ptr<UIView>>& items, const std::vector<double>& widths);
    const std::vector<std::shared_ptr<UIView>>& items() const { return items_; }
    // Centres the columns when their widths leave room in the row.
    void setCentersItems(bool centers);
    void layoutSubviews() override;

private:
    std::vector<std::shared_ptr<UIView>> items_;
    std::vector<double> widths_;
    bool centersItems_ = false;
};

class VTAContentCell : public UITableViewCell {
public:
    VTAContentCell(UITableViewCellStyle style, const std::string& reuseIdentifier);
    std::string className() const override { return "VTAContentCell"; }
    void setView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UIView>& view() const { return view_; }

private:
    std::shared_ptr<UIView> view_;
};

class CellTextView : public VTAContentCell {
public:
    using VTAContentCell::VTAContentCell;
    std::string className() const override { return "CellTextView"; }
};
