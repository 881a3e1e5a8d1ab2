#include "quotes/PortfolioPopView.h"

#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"

PortfolioPopView::PortfolioPopView() : UIView(CGRectMake(84, 60, 152, 97)) {
    setBackgroundColor(UIColor::clearColor());
    auto background = std::make_shared<UIImageView>(UIImage::imageNamed("popupbg.png"));
    background->setFrame(bounds());
    addSubview(background);
    // The rows (and a selected row's band) stay inside the drawn border.
    table_ = std::make_shared<UITableView>(CGRectMake(3, 12, 146, 80), UITableViewStyle::Plain);
    table_->setBackgroundColor(UIColor::clearColor());
    table_->setScrollEnabled(false);
    table_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    table_->setDataSource(this);
    table_->setDelegate(this);
    addSubview(table_);
}

PortfolioPopView::~PortfolioPopView() {
    table_->setDelegate(nullptr);
    table_->setDataSource(nullptr);
}

void PortfolioPopView::selectRow(int row) {
    table_->selectRowAtIndexPath(NSIndexPath{0, row}, false, UITableViewScrollPosition::None);
}

std::shared_ptr<UITableViewCell> PortfolioPopView::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                  const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("PopCell");
    if (!cell) {
        cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "PopCell");
        cell->setBackgroundColor(UIColor::clearColor());
        cell->setSelectionStyle(UITableViewCellSelectionStyle::Gray);
        // The chosen row on a band dark enough for its white title.
        auto band = std::make_shared<UIView>(CGRectZero);
        band->setBackgroundColor(UIColor::colorWithRed(0.25, 0.32, 0.45, 1));
        cell->setSelectedBackgroundView(band);
        cell->textLabel()->setTextColor(UIColor::whiteColor());
        cell->textLabel()->setBackgroundColor(UIColor::clearColor());
        cell->textLabel()->setTextAlignment(UITextAlignment::Center);
    }
    cell->textLabel()->setText(ip.row >= 0 && ip.row < 2 ? kRowTitles[ip.row] : "");
    return cell;
}

void PortfolioPopView::tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    if (delegate_) delegate_->selectedPopTableViewRow(ip.row);
}
