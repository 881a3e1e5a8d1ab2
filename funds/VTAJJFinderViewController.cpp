#include "funds/VTAJJFinderViewController.h"

#include <cstdlib>

#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "funds/FundRules.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Drawing.h"

namespace Key = FundContract::Key;

namespace {

// The categories' default: the names of the funds.
constexpr int kNamesSubFunction = 24;

std::string hubLinkPrefix() {
    return "of_jjxx?tc_mfuncno=" + std::to_string(FundContract::kFundList.main) +
           "&tc_sfuncno=" + std::to_string(FundContract::kFundList.sub) + "&position=poststr&";
}

}  // namespace

VTAJJFinderViewController::VTAJJFinderViewController() {
    bindRequest(kListTag, [this](const RequestReply& r) { categoriesReplied(r); });
}

VTAJJFinderViewController::~VTAJJFinderViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    if (searchBar_) searchBar_->setDelegate(nullptr);
}

UITableView* VTAJJFinderViewController::myTableView() {
    view();
    return table_.get();
}

UISearchBar* VTAJJFinderViewController::mySearchBar() {
    view();
    return searchBar_.get();
}

void VTAJJFinderViewController::viewWillDidLoad() {
    CGRect b = contentView()->bounds();
    double top = 0;
    if (findByName_) {
        searchBar_ = std::make_shared<UISearchBar>(CGRectMake(0, 0, b.size.width, kSearchBarHeight));
        searchBar_->setPrompt("说明：请输入基金名称进行模糊查询");
        searchBar_->setBarStyle(UIBarStyle::Black);
        searchBar_->setDelegate(this);
        contentView()->addSubview(searchBar_);
        top = kSearchBarHeight;
    }
    table_ = std::make_shared<UITableView>(CGRectMake(0, top, b.size.width, std::max(0.0, b.size.height - top)),
                                           UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
    if (searchBar_) searchBar_->becomeFirstResponder();
}

void VTAJJFinderViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton()});
}

void VTAJJFinderViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    if (!findByName_) requestFundSearch();
}

// ---- browsing the categories ----

int VTAJJFinderViewController::linkSubFunction() const {
    auto menu = viewMenu();
    const std::string sub = menu ? queryValue(menu->link(), "tc_sfuncno").value_or("") : "";
    return sub.empty() ? kNamesSubFunction : static_cast<int>(std::strtol(sub.c_str(), nullptr, 10));
}

void VTAJJFinderViewController::requestFundSearch() {
    auto menu = viewMenu();
    if (!menu) return;
    RequestBuilder request = RequestBuilder::fromLinkQuery(menu->link());
    sendRequest(kListTag, request, 3);
}

std::string VTAJJFinderViewController::fundListLink(int subFunction, const std::string& code, const std::string& name) {
    const char* key = nullptr;
    switch (subFunction) {
        case 21:
            key = Key::kCompany;
            break;
        case 22:
            key = Key::kStyle;
            break;
        case 23:
            key = Key::kStatus;
            break;
        case kNamesSubFunction:
            return hubLinkPrefix() + Key::kFundName + "=" + hexFundName(name);
        default:
            return "";
    }
    // A code that would change the link's shape gives no link.
    if (code.find_first_of("&=?") != std::string::npos) return "";
    return hubLinkPrefix() + key + "=" + code;
}

bool VTAJJFinderViewController::listsSubFunction() const {
    const int sub = linkSubFunction();
    return sub >= 1 && sub <= 100;
}

void VTAJJFinderViewController::categoriesReplied(const RequestReply& reply) {
    if (!listsSubFunction()) return;
    const int sub = linkSubFunction();
    VTATCRS* set = reply.first();
    if (!set) return;
    std::vector<std::shared_ptr<VTAMenu>> items;
    for (; !set->isEOF(); set->fetchNext()) {
        auto item = std::make_shared<VTAMenu>();
        item->setM_id(-1);
        item->setM_pid(-1);
        item->setTitle(set->toStringAtIndex(1).value_or(""));
        item->setLink(fundListLink(sub, set->toStringAtIndex(0).value_or(""), item->title()));
        item->setIcon("");
        item->setShowOrNot(true);
        items.push_back(item);
    }
    listArray_ = std::move(items);
    table_->reloadData();
}

std::shared_ptr<UITableViewCell> VTAJJFinderViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                           const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("FinderRow");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "FinderRow");
    cell->textLabel()->setText(ip.row < static_cast<int>(listArray_.size()) ? listArray_[ip.row]->title() : "");
    cell->textLabel()->setTextAlignment(UITextAlignment::Left);
    cell->textLabel()->setFont(defaultFont());
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void VTAJJFinderViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    if (ip.row < 0 || ip.row >= static_cast<int>(listArray_.size())) return;
    auto item = listArray_[ip.row];
    if (item->link().empty()) return;
    VTAUIFactory::openMenuWithTradeGate(item);
}

void VTAJJFinderViewController::requestDidFail(const RequestFailure& failure) {
    // What such a link asks is no list of categories, refused or not.
    if (failure.kind == RequestFailure::Kind::ErrorSet && failure.tag == kListTag && !listsSubFunction()) return;
    VTAViewControllers::requestDidFail(failure);
}

// ---- by name ----

void VTAJJFinderViewController::searchBarSearchButtonClicked(UISearchBar& bar) {
    bar.resignFirstResponder();
    const std::string link = hubLinkPrefix() + Key::kFundName + "=" + hexFundName(bar.text());
    if (auto vc = VTAUIFactory::tradeViewControllerWithLink(link, kSearchTitle)) pushViewController(vc);
}
