#include "trade/TradeFormViews.h"

#include <algorithm>
#include <cmath>

#include "platform/uikit/UILabel.h"
#include "ui/DisplayCell.h"
#include "ui/Drawing.h"

namespace {

class RowItem : public UIView {
public:
    RowItem(std::shared_ptr<UIView> item, double inset) : item_(std::move(item)), inset_(inset) {
        setBackgroundColor(UIColor::clearColor());
        CGSize own = item_->frame().size;
        fills_ = own.width <= 0 || own.height <= 0;
        addSubview(item_);
    }
    void layoutSubviews() override {
        CGRect b = bounds();
        CGSize own = item_->frame().size;
        if (fills_)
            item_->setFrame(CGRectMake(inset_, 0, std::max(0.0, b.size.width - inset_), b.size.height));
        else
            item_->setFrame(CGRectMake(std::round((b.size.width - own.width) / 2),
                                       std::round((b.size.height - own.height) / 2), own.width, own.height));
    }

private:
    std::shared_ptr<UIView> item_;
    double inset_;
    bool fills_;
};

}  // namespace

std::shared_ptr<UIView> tradeRowItem(std::shared_ptr<UIView> item, double inset) {
    return std::make_shared<RowItem>(std::move(item), inset);
}

std::shared_ptr<UILabel> tradeValueLabel() {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, 150, 20));
    l->setTextColor(UIColor::blueColor());
    l->setTextAlignment(UITextAlignment::Right);
    l->setFont(UIFont::fontWithName("Arial", 15));
    l->setBackgroundColor(UIColor::clearColor());
    return l;
}

std::shared_ptr<UITableViewCell> tradeFormCell(const std::string& caption, std::shared_ptr<UIView> view,
                                               bool disclosure) {
    auto cell = std::make_shared<DisplayCell>();
    cell->nameLabel()->setText(caption);
    cell->setView(std::move(view));
    if (disclosure) cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

std::shared_ptr<UILabel> tradeCaptionLabel(const std::string& text) {
    auto l = std::make_shared<UILabel>();
    l->setText(text);
    l->setFont(defaultFont());
    l->setBackgroundColor(UIColor::clearColor());
    return l;
}

std::shared_ptr<UILabel> tradeFormValueLabel(const std::string& text, double height) {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, 180, height));
    l->setText(text);
    l->setTextAlignment(UITextAlignment::Right);
    l->setBackgroundColor(UIColor::clearColor());
    l->setFont(defaultFont());
    return l;
}
