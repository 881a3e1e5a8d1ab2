#include "quotes/VTABKTableViewController.h"

#include <algorithm>

#include "core/RequestBuilder.h"
#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "core/contracts/SectorContract.h"
#include "platform/uikit/UIButton.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"
#include "ui/DisplayCell.h"

namespace {
int ceilDiv(int a, int b) { return b > 0 ? (a + b - 1) / b : 0; }
}  // namespace

VTABKTableViewController::VTABKTableViewController(int contentType) : contentType_(contentType) {
    bindRequest(kListTag, [this](const RequestReply& r) { listArrived(r); });
}

VTABKTableViewController::~VTABKTableViewController() {
    if (myTableView_) {
        myTableView_->setDelegate(nullptr);
        myTableView_->setDataSource(nullptr);
    }
    if (pageCtr_) pageCtr_->setDelegate(nullptr);
}

void VTABKTableViewController::viewWillDidLoad() {
    UIView* content = contentView();
    CGRect b = content->bounds();
    myTableView_ = std::make_shared<UITableView>(b, UITableViewStyle::Grouped);
    myTableView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    myTableView_->setRowHeight(kRowHeight);
    myTableView_->setContentInset(UIEdgeInsets{0, 0, kPageCtrHeight, 0});  // the last row clears the page bar
    myTableView_->setDataSource(this);
    myTableView_->setDelegate(this);
    content->addSubview(myTableView_);
    pageCtr_ =
        std::make_shared<VTAPageCtr>(CGRectMake(0, b.size.height - kPageCtrHeight, b.size.width, kPageCtrHeight));
    pageCtr_->setDelegate(this);
    pageCtr_->showFromBottomInView(content);
}

void VTABKTableViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto refresh = std::make_shared<UIBarButtonItem>("刷新", UIBarButtonItemStyle::Bordered, this,
                                                     [this](UIBarButtonItem&) { onCommandRefresh(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), refresh});
}

void VTABKTableViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    requestList();
}

void VTABKTableViewController::requestList() {
    auto menu = viewMenu();
    if (!menu) return;
    RequestBuilder q = RequestBuilder::fromLinkQuery(menu->link());
    if (q.text().empty() && !q.refused()) return;
    sendRequest(kListTag, q, 3);
}

int VTABKTableViewController::recordCount() const { return datasource_ ? datasource_->rowsAffected() : 0; }

int VTABKTableViewController::allRows() const { return ceilDiv(recordCount(), kColumnsPerRow); }

int VTABKTableViewController::rowsOfPage(int page) const {
    return std::clamp(allRows() - kMaxRowPerPage * page, 0, kMaxRowPerPage);
}

// A refresh keeps the page shown (the first one when the list got shorter)
// and lays out the rows that page has.
void VTABKTableViewController::listArrived(const RequestReply& reply) {
    datasource_ = reply.sharedSet(0);
    tolPage_ = std::max(1, ceilDiv(allRows(), kMaxRowPerPage));
    if (curPage_ >= tolPage_) curPage_ = 0;
    rowCountIntPage_ = rowsOfPage(curPage_);
    pageCtr_->setStatusWithCurpage(curPage_ + 1, tolPage_);
    myTableView_->reloadData();
}

void VTABKTableViewController::pageActionFromPageCtr(VTAPageCtr& pageCtr) {
    const int page = std::clamp(pageCtr.curPage() - 1, 0, tolPage_ - 1);
    const bool forward = page > curPage_;
    curPage_ = page;
    rowCountIntPage_ = rowsOfPage(curPage_);
    UIView::beginAnimations(kPageAnimation);
    UIView::setAnimationDuration(1);
    UIView::setAnimationCurve(forward ? UIViewAnimationCurve::EaseOut : UIViewAnimationCurve::EaseIn);
    UIView::setAnimationTransition(forward ? UIViewAnimationTransition::CurlUp : UIViewAnimationTransition::CurlDown,
                                   contentView(), true);
    myTableView_->reloadData();
    UIView::commitAnimations();
    pageCtr.setStatusWithCurpage(curPage_ + 1, tolPage_);
}

std::string VTABKTableViewController::memberLinkOfRecord(int index) const {
    if (!datasource_ || index < 0 || index >= datasource_->rowsAffected() || datasource_->fieldCount() < 3) return "";
    VTATCRS& rs = *datasource_;
    rs.moveToIndex(index);
    std::string link = "bkph?tc_mfuncno=" + std::to_string(SectorContract::kMembers.main) +
                       "&tc_sfuncno=" + std::to_string(SectorContract::kMembers.sub);
    for (int f = 0; f < 2; ++f) link += "&" + rs.getFieldNameAtIndex(f) + "=" + rs.toStringAtIndex(f).value_or("");
    rs.fetchFirst();
    return link;
}

void VTABKTableViewController::doButtonAction(int index) {
    std::string link = memberLinkOfRecord(index);
    if (link.empty()) return;
    datasource_->moveToIndex(index);
    std::string title = datasource_->toStringAtIndex(2).value_or("");
    datasource_->fetchFirst();
    if (auto vc = VTAUIFactory::viewControllerWithLink(link, title)) pushViewController(vc);
}

std::shared_ptr<UITableViewCell> VTABKTableViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                          const NSIndexPath& path) {
    auto cell = std::make_shared<VTAHQCell>(UITableViewCellStyle::Default, "Sector");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    std::vector<std::shared_ptr<UIView>> items;
    for (int c = 0; c < kColumnsPerRow; ++c) {
        const int index = kColumnsPerRow * (path.row + kMaxRowPerPage * curPage_) + c;
        if (index >= recordCount()) {
            auto empty = std::make_shared<UIView>(CGRectMake(0, 0, kItemWidth, kItemHeight));
            empty->setBackgroundColor(UIColor::clearColor());
            items.push_back(empty);
            continue;
        }
        datasource_->moveToIndex(index);
        auto button = std::make_shared<UIButton>(UIButtonType::RoundedRect, CGRectMake(0, 0, kItemWidth, kItemHeight));
        button->setTag(index);
        button->setTitle(datasource_->toStringAtIndex(2).value_or(""));
        button->titleLabel()->setLineBreakMode(UILineBreakMode::TailTruncation);
        button->addTarget(
            this, [this, index](UIControl&) { doButtonAction(index); }, UIControlEventTouchUpInside);
        items.push_back(button);
    }
    if (datasource_) datasource_->fetchFirst();
    cell->setCentersItems(true);
    cell->loadItems(items, {kItemWidth, kItemWidth, kItemWidth});
    return cell;
}

UIButton* VTABKTableViewController::buttonOfRecord(int index) const {
    const int row = index / kColumnsPerRow - kMaxRowPerPage * curPage_;
    if (row < 0 || row >= rowCountIntPage_ || index >= recordCount()) return nullptr;
    auto cell = std::dynamic_pointer_cast<VTAHQCell>(myTableView_->cellForRowAtIndexPath({0, row}));
    if (!cell) return nullptr;
    return dynamic_cast<UIButton*>(cell->items()[static_cast<size_t>(index % kColumnsPerRow)].get());
}

void VTABKTableViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& path) {
    table.deselectRowAtIndexPath(path, false);
    if (pageCtr_->superview())
        pageCtr_->hideWithAnimation(true);
    else
        pageCtr_->showFromBottomInView(contentView());
}
