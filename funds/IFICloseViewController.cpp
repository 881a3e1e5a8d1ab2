#include "funds/IFICloseViewController.h"

#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/contracts/PlanContract.h"
#include "platform/uikit/UILabel.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace Col = PlanContract::Col;

namespace {
bool samePlan(const IFIFundInfo& a, const IFIFundInfo& b) {
    return a.fundSymbol == b.fundSymbol && a.fundCompanyCode == b.fundCompanyCode;
}
}  // namespace

IFICloseViewController::IFICloseViewController() {
    bindRequest(kListTag, [this](const RequestReply& r) { listReplied(r); }, {.handlesErrorSet = true});
    bindRequest(kCloseTag, [this](const RequestReply& r) { closeReplied(r); },
                {.order = true, .handlesErrorSet = true});
}

IFICloseViewController::~IFICloseViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

UITableView* IFICloseViewController::tableView() {
    view();
    return table_.get();
}

void IFICloseViewController::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    table_->setDataSource(this);
    table_->setDelegate(this);
    table_->setEditing(true);
    contentView()->addSubview(table_);
}

void IFICloseViewController::createToolbarItems() {
    toolbar()->setItems({std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Plain, this,
                                                           [this](UIBarButtonItem&) { onCommandHome(); }),
                         flexibleSpaceBarBtn(), stockFinderButton()});
}

void IFICloseViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    requestPlans();
}

std::shared_ptr<UITableViewCell> IFICloseViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                        const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Subtitle, "Cell");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    const IFIFundInfo& plan = tableData_[ip.row];
    cell->textLabel()->setText(plan.fundName + " 净值:" + plan.netValue);
    cell->detailTextLabel()->setText(plan.fundSymbol);
    return cell;
}

// ---- the plans ----

void IFICloseViewController::requestPlans() { sendRequest(kListTag, planListRequest(), 4); }

void IFICloseViewController::listReplied(const RequestReply& reply) {
    if (auto plans = plansOfReply(reply)) {
        tableData_ = std::move(*plans);
        table_->reloadData();
    }
}

// ---- the termination ----

void IFICloseViewController::tableViewCommitEditingStyle(UITableView&, UITableViewCellEditingStyle,
                                                         const NSIndexPath& ip) {
    if (ip.row < 0 || ip.row >= static_cast<int>(tableData_.size()) || isClosing()) return;
    closing_ = tableData_[ip.row];
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(planCloseSummary(*closing_), nullptr, std::string("取消"),
                                             std::string("终止"), std::vector<std::string>{});
    sheet_->setTag(kSheetTag);
    sheet_->setActionSheetStyle(UIActionSheetStyle::Default);
    sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    sheet_->showInView(view().get());
}

void IFICloseViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (sheet.tag() != kSheetTag) return;
    if (buttonIndex != 0 || !closing_ || isClosing()) {
        closing_.reset();
        return;
    }
    requestCloseFund(*closing_);
}

void IFICloseViewController::requestCloseFund(const IFIFundInfo& plan) {
    if (!sendRequest(kCloseTag, planCloseRequest(plan.fundSymbol, plan.fundCompanyCode), 4)) closing_.reset();
}

void IFICloseViewController::closeReplied(const RequestReply& reply) {
    const std::optional<IFIFundInfo> plan = std::move(closing_);
    closing_.reset();
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(kPlanNoDataTitle, kPlanNoDataMessage);
        return;
    }
    if (set->isError()) {
        showAlert(set->getError());
        table_->reloadData();
        return;
    }
    if (intValueOfText(set->toStringWithFieldName(Col::kMessageCode).value_or("")) == 0 && plan) {
        for (size_t i = 0; i < tableData_.size(); ++i)
            if (samePlan(tableData_[i], *plan)) {
                tableData_.erase(tableData_.begin() + static_cast<long>(i));
                table_->beginUpdates();
                table_->deleteRowsAtIndexPaths({NSIndexPath{0, static_cast<int>(i)}}, UITableViewRowAnimation::Left);
                table_->endUpdates();
                break;
            }
    }
    showAlert(set->toStringWithFieldName(Col::kMessage).value_or(""));
}

void IFICloseViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kCloseTag) closing_.reset();
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kPlanNoDataTitle, kPlanNoDataMessage);
        return;
    }
    VTAViewControllers::requestDidFail(failure);
}
