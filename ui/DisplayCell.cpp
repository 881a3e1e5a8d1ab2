#include "ui/DisplayCell.h"

#include "platform/graphics/TextDrawing.h"
#include "ui/Drawing.h"

#include <algorithm>
#include <cmath>

DisplayCell::DisplayCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    name_ = std::make_shared<UILabel>();
    name_->setFont(defaultFont());
    name_->setTextColor(UIColor::blackColor());
    name_->setBackgroundColor(UIColor::clearColor());
    contentView()->addSubview(name_);
}

void DisplayCell::setView(std::shared_ptr<UIView> view) {
    if (view_ && view_ != view) view_->removeFromSuperview();
    view_ = std::move(view);
    if (view_) contentView()->addSubview(view_);
    setNeedsLayout();
}

void DisplayCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    CGRect b = contentView()->bounds();
    double viewW = view_ ? view_->frame().size.width : 0;
    double viewH = view_ ? std::min(view_->frame().size.height, b.size.height) : 0;
    if (view_ && viewW <= 0) viewW = b.size.width / 2;
    double right = b.size.width - 10;
    if (view_) view_->setFrame(CGRectMake(right - viewW, std::round((b.size.height - viewH) / 2), viewW, viewH));
    double labelRight = view_ ? right - viewW - 4 : right;
    name_->setFrame(CGRectMake(10, 0, std::max(0.0, labelRight - 10), b.size.height));
}

VTAHQCell::VTAHQCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {}

void VTAHQCell::loadItems(const std::vector<std::shared_ptr<UIView>>& items, const std::vector<double>& widths) {
    for (auto& v : items_) v->removeFromSuperview();
    items_ = items;
    widths_ = widths;
    for (auto& v : items_)
        if (v) contentView()->addSubview(v);
    setNeedsLayout();
    layoutSubviews();
}

void VTAHQCell::setCentersItems(bool centers) {
    centersItems_ = centers;
    setNeedsLayout();
}

void VTAHQCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    CGRect b = contentView()->bounds();
    double given = 0;
    size_t missing = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i < widths_.size())
            given += widths_[i];
        else
            ++missing;
    }
    double share = missing ? std::max(0.0, b.size.width - given) / missing : 0;
    double x = centersItems_ && !missing ? std::max(0.0, std::floor((b.size.width - given) / 2)) : 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        double w = i < widths_.size() ? widths_[i] : share;
        if (items_[i]) items_[i]->setFrame(CGRectMake(x, 0, w, b.size.height));
        x += w;
    }
}

VTAContentCell::VTAContentCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {
    setSelectionStyle(UITableViewCellSelectionStyle::None);
}

void VTAContentCell::setView(std::shared_ptr<UIView> view) {
    if (view_ && view_ != view) view_->removeFromSuperview();
    view_ = std::move(view);
    if (view_) contentView()->addSubview(view_);
}
