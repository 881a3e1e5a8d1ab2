#include "trade/SalesDepartmentSelectViewController.h"

#include "core/storage/DaoFactory.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"

SalesDepartmentSelectViewController::SalesDepartmentSelectViewController() {
    setTitle(kTitle);
    bindRequest(kBranchTag, [this](const RequestReply& reply) { branchesArrived(reply); });
}

SalesDepartmentSelectViewController::~SalesDepartmentSelectViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

void SalesDepartmentSelectViewController::loadView() {
    auto v = std::make_shared<UIView>(CGRectMake(0, 0, 320, 460 - 44));
    v->setBackgroundColor(UIColor::clearColor());
    table_ = std::make_shared<UITableView>(v->bounds(), UITableViewStyle::Plain);
    table_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    table_->setDataSource(this);
    table_->setDelegate(this);
    v->addSubview(table_);
    setView(v);
}

void SalesDepartmentSelectViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (all_.empty()) requestSalesDepartment();
}

void SalesDepartmentSelectViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    cancelRequests();
}

void SalesDepartmentSelectViewController::requestSalesDepartment() { sendRequest(kBranchTag, branchListRequest(), 3); }

void SalesDepartmentSelectViewController::branchesArrived(const RequestReply& reply) {
    auto list = branchesFromReply(reply);
    if (!list) {
        showAlert(kBranchListRefusedText);
        return;
    }
    all_ = std::move(*list);
    if (table_) table_->reloadData();
}

bool SalesDepartmentSelectViewController::pickBranch(int section, int row) {
    const BranchList& list = listOf(section);
    if (row < 0 || row >= static_cast<int>(list.size()) || !list[row]) return false;
    auto dao = DaoFactory::sharedInstance().salesDepartmentDao();
    if (!dao || !dao->addSalesDepartment(*list[row])) {
        showAlert(kNotStoredText);
        return false;
    }
    popViewControllers(1);
    return true;
}

int SalesDepartmentSelectViewController::tableViewNumberOfRowsInSection(UITableView&, int section) {
    return static_cast<int>(listOf(section).size());
}

std::shared_ptr<UITableViewCell> SalesDepartmentSelectViewController::tableViewCellForRowAtIndexPath(
    UITableView& table, const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "Cell");
    const BranchList& list = listOf(ip.section);
    cell->textLabel()->setText(
        ip.row >= 0 && ip.row < static_cast<int>(list.size()) && list[ip.row] ? list[ip.row]->name() : std::string());
    return cell;
}

std::string SalesDepartmentSelectViewController::tableViewTitleForHeaderInSection(UITableView&, int section) {
    return section == 0 ? "最近使用营业部" : "所有营业部";
}

void SalesDepartmentSelectViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    pickBranch(ip.section, ip.row);
}
