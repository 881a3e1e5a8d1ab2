#include "shell/VTAListViewController.h"

#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/NewsContract.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"

VTAListViewController::VTAListViewController() {
    bindRequest(kListTag, [this](const RequestReply& reply) { showRows(reply); });
}

VTAListViewController::~VTAListViewController() {
    if (table_) {
        table_->setDelegate(nullptr);
        table_->setDataSource(nullptr);
    }
}

std::shared_ptr<VTAListViewController> VTAListViewController::initWithStockQuotes() {
    auto list = std::make_shared<VTAListViewController>();
    list->forStockQuotes_ = true;
    list->listType_ = kStockList;
    return list;
}

void VTAListViewController::setMenus(std::vector<std::shared_ptr<VTAMenu>> menus) {
    menus_ = std::move(menus);
    if (table_) table_->reloadData();
}

void VTAListViewController::viewWillDidLoad() {
    CGRect b = contentView()->bounds();
    double height = b.size.height - (forStockQuotes_ ? kStockQuotesShortening : 0);
    table_ = std::make_shared<UITableView>(CGRectMake(0, 0, b.size.width, std::max(0.0, height)),
                                           tableStyle_ == 1 ? UITableViewStyle::Grouped : UITableViewStyle::Plain);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void VTAListViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    std::vector<std::shared_ptr<UIBarButtonItem>> items{home, flexibleSpaceBarBtn(), stockFinderButton()};
    if (VTAUIFactory::hasAccountsPager()) {
        items.push_back(flexibleSpaceBarBtn());
        items.push_back(std::make_shared<UIBarButtonItem>("帐号", UIBarButtonItemStyle::Bordered, this,
                                                          [this](UIBarButtonItem&) { openAccountsPager(); }));
    }
    toolbar()->setItems(items);
}

bool VTAListViewController::accountsPagerForHK() const {
    static const char* const kTradeGroups[] = {"trademenu", "kfsjj", "kvr", "rzrq", "jlc", "jsf", "zndt"};
    std::string command = viewMenu() ? stripQuery(viewMenu()->link()) : std::string();
    for (const char* group : kTradeGroups)
        if (command == group) return false;
    return true;
}

std::shared_ptr<UIViewController> VTAListViewController::openAccountsPager() {
    auto vc = VTAUIFactory::accountsPager(accountsPagerForHK());
    return pushViewController(vc) ? vc : nullptr;
}

void VTAListViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    // Until rows arrived: a fetch cancelled when the list left, or one that
    // failed, is asked again when the list comes back.
    if (listType_ == kServerList && !loaded_) requestListContent();
}

void VTAListViewController::requestListContent() {
    auto menu = viewMenu();
    if (!menu) return;
    const std::string& link = menu->link();
    auto q = link.find('?');
    if (q == std::string::npos || q + 1 >= link.size()) return;
    cancelRequests();
    // The link's query is the server's own request text, sent as it stands.
    sendRequest(kListTag, link.substr(q + 1), 3);
}

void VTAListViewController::showRows(const RequestReply& reply) {
    if (!reply.first()) return;
    auto& set = *reply.first();
    loaded_ = true;
    set.fetchFirst();
    if (!set.isEOF()) {
        auto typeId = set.toStringWithFieldName(NewsContract::Col::kCategoryId).value_or("");
        if (!typeId.empty()) VTAUserDefoult::standerDefoult().setString(typeId, "newstypeid");
    }
    bool hasTitle = set.fieldsIndexWithName(NewsContract::Col::kTitle) >= 0;
    std::vector<std::shared_ptr<VTAMenu>> items;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
        auto item = std::make_shared<VTAMenu>();
        item->setTitle(hasTitle ? set.toStringWithFieldName(NewsContract::Col::kTitle).value_or("")
                                : set.toStringAtIndex(0).value_or(""));
        item->setLink(set.toStringWithFieldName(NewsContract::Col::kLink).value_or(""));
        items.push_back(item);
    }
    setMenus(std::move(items));
}

int VTAListViewController::tableViewNumberOfRowsInSection(UITableView&, int) { return static_cast<int>(menus_.size()); }

std::shared_ptr<UITableViewCell> VTAListViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                       const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("MenuCell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "MenuCell");
    std::string title;
    if (ip.row >= 0 && ip.row < static_cast<int>(menus_.size()) && menus_[ip.row]) title = menus_[ip.row]->title();
    cell->textLabel()->setText(title);
    cell->setAccessoryType(cellType_ == 0 ? UITableViewCellAccessoryType::DisclosureIndicator
                                          : UITableViewCellAccessoryType::None);
    return cell;
}

void VTAListViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    openItemAtIndex(ip.row);
}

std::shared_ptr<UIViewController> VTAListViewController::openItemAtIndex(int index) {
    if (index < 0 || index >= static_cast<int>(menus_.size()) || !menus_[index]) return nullptr;
    return VTAUIFactory::openMenuWithTradeGate(menus_[index], viewMessage());
}
