#include "messages/InfoTitleViewController.h"

#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "messages/InfoContentViewController.h"
#include "messages/InfoTitleCell.h"
#include "messages/NewsTexts.h"
#include "platform/graphics/TextDrawing.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"

InfoTitleViewController::InfoTitleViewController() {
    bindRequest(kListTag, [this](const RequestReply& reply) { showDigests(reply); }, {.handlesErrorSet = true});
}

InfoTitleViewController::~InfoTitleViewController() {
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
}

std::shared_ptr<UIColor> InfoTitleViewController::unreadTitleColor() { return InfoTitleCell::unreadTitleColor(); }

double InfoTitleViewController::titleHeightOf(const std::string& title) {
    if (title.empty()) return 0;
    return sizeWithFont(title, *UIFont::boldSystemFontOfSize(16), CGSizeMake(304, 9999), UILineBreakMode::CharacterWrap)
        .height;
}

void InfoTitleViewController::viewWillDidLoad() {
    hideToolBar();
    tableView_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Plain);
    tableView_->setBackgroundColor(UIColor::blackColor());
    tableView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    tableView_->setDelegate(this);
    tableView_->setDataSource(this);
    contentView()->addSubview(tableView_);
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        UIBarButtonSystemItem::Search, this, [this](UIBarButtonItem&) { doSearchStock(); }));
}

void InfoTitleViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    readIds_ = newsReadIds();
    requestDigest();
}

bool InfoTitleViewController::requestDigest() {
    std::string text = newsLinkRequest(viewMenu().get(), viewMessage().get());
    if (text.empty()) return false;
    return sendRequest(kListTag, text, 3);
}

void InfoTitleViewController::doSearchStock() { showStockFinder(); }

void InfoTitleViewController::showDigests(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(kNewsNoDataTitle, kNewsNoDataText);
        return;
    }
    if (!set->isError()) {
        tableData_.clear();
        for (; !set->isEOF(); set->fetchNext()) {
            Digest d = digestFromRecord(*set);
            d.setTitleHeight(static_cast<float>(titleHeightOf(d.title())));
            tableData_.push_back(std::move(d));
        }
    }
    tableView_->reloadData();
}

void InfoTitleViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kNewsNoDataTitle, kNewsNoDataText);
        return;
    }
    VTAViewControllers::requestDidFail(failure);
}

// ---------------------------------------------------------------- table

int InfoTitleViewController::tableViewNumberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(tableData_.size());
}

double InfoTitleViewController::tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    return InfoTitleCell::rowHeight(tableData_, ip.row);
}

std::shared_ptr<UITableViewCell> InfoTitleViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                         const NSIndexPath& ip) {
    return InfoTitleCell::cellForRow(table, tableData_, ip.row, readIds_);
}

void InfoTitleViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    if (openDigestAtIndex(ip.row))
        if (auto cell = std::dynamic_pointer_cast<InfoTitleCell>(table.cellForRowAtIndexPath(ip)))
            cell->setTitleColor(UIColor::grayColor());
    table.deselectRowAtIndexPath(ip, true);
}

std::shared_ptr<InfoContentViewController> InfoTitleViewController::openDigestAtIndex(int index) {
    if (index < 0 || index >= static_cast<int>(tableData_.size()) || !viewMenu()) return nullptr;
    const Digest& d = tableData_[index];
    std::string request = newsArticleRequest(viewMenu()->link(), d);
    if (request.empty()) return nullptr;
    auto article = std::make_shared<InfoContentViewController>();
    article->setInfoContentId(d.digestId());
    article->setTitle(title());
    article->setContentTitle(d.title());
    article->setContentUrl(request);
    article->setSource(d.source());
    article->setTime(d.createTime());
    navigationItem()->setBackBarButtonItem(
        std::make_shared<UIBarButtonItem>("返回", UIBarButtonItemStyle::Bordered, this, nullptr));
    readIds_.insert(d.digestId());
    return pushViewController(article) ? article : nullptr;
}
