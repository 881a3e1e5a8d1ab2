#include "quotes/TransDetailCell.h"

#include <cmath>

#include "platform/graphics/UIColor.h"
#include "platform/graphics/UIFont.h"

TransDetailCell::TransDetailCell() : UITableViewCell(UITableViewCellStyle::Default, kReuseIdentifier) {
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    contentView()->setBackgroundColor(UIColor::blackColor());
    for (auto& label : labels_) {
        label = std::make_shared<UILabel>(CGRectZero);
        label->setBackgroundColor(UIColor::clearColor());
        label->setFont(UIFont::systemFontOfSize(14));
        label->setTextColor(UIColor::whiteColor());
        contentView()->addSubview(label);
    }
}

void TransDetailCell::setRow(const TickRow& row, int threshold) {
    for (size_t i = 0; i < labels_.size(); ++i) {
        labels_[i]->setText(row.labels[i].text);
        labels_[i]->setTextColor(row.labels[i].textColor ? row.labels[i].textColor : UIColor::whiteColor());
        labels_[i]->setTextAlignment(row.labels[i].alignment);
    }
    contentView()->setBackgroundColor(row.isBigDeal(threshold) ? UIColor::colorWithWhite(kBigDealWhite, 1.0)
                                                               : UIColor::blackColor());
}

void TransDetailCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    CGRect b = contentView()->bounds();
    double c = std::round((b.size.width - 16 - 6) / 4);
    for (size_t i = 0; i < labels_.size(); ++i) labels_[i]->setFrame(CGRectMake(8 + i * (c + 2), 0, c, b.size.height));
}

std::shared_ptr<UITableView> makeDealsTable(const CGRect& frame, UITableViewDataSource* dataSource,
                                            UITableViewDelegate* delegate) {
    auto table = std::make_shared<UITableView>(frame, UITableViewStyle::Plain);
    table->setBackgroundColor(UIColor::blackColor());
    table->setSeparatorColor(UIColor::darkGrayColor());
    table->setRowHeight(kDealRowHeight);
    table->setDataSource(dataSource);
    table->setDelegate(delegate);
    return table;
}
