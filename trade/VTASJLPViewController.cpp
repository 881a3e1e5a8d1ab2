#include "trade/VTASJLPViewController.h"

#include "core/RequestBuilder.h"
#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/SystemContract.h"
#include "core/security/BrasnikSignManager.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextView.h"
#include "shell/Navigation.h"
#include "trade/VTASjlpApplyController.h"
#include "trade/VTASjlpDirectionController.h"
#include "ui/Alerts.h"

namespace {

constexpr const char* kApplyNoticeTitle = "申请提示";
constexpr const char* kUsageNoticeTitle = "使用说明";

std::string registeredPhone() {
    return VTAUserDefoult::standerDefoult().getStringForKey("your phone number").value_or("");
}

std::shared_ptr<UILabel> valueOnTheRight(const std::string& text) {
    auto l = std::make_shared<UILabel>(CGRectMake(110, 12, 180, 20));
    l->setText(text);
    l->setTextAlignment(UITextAlignment::Right);
    l->setBackgroundColor(UIColor::clearColor());
    return l;
}

std::shared_ptr<UIButton> rowButton(const std::string& title, UIViewController* owner, std::function<void()> action) {
    auto b = UIButton::buttonWithType(UIButtonType::RoundedRect);
    b->setFrame(CGRectMake(205, 6, 80, 31));
    b->setTitle(title);
    b->addTarget(
        owner, [action](UIControl&) { action(); }, UIControlEventTouchUpInside);
    return b;
}

}  // namespace

VTASJLPViewController::VTASJLPViewController() {
    setTitle(kTitle);
    bindRequest(kNoticesTag, [this](const RequestReply& r) { noticesArrived(r); });
}

VTASJLPViewController::~VTASJLPViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

bool VTASJLPViewController::showsPromotion() const { return utf8Length(promotion_) >= 2; }

std::vector<std::shared_ptr<BrasnikSign>> VTASJLPViewController::theSjlp() const {
    std::vector<std::shared_ptr<BrasnikSign>> mine;
    const std::string phone = registeredPhone();
    for (const auto& sign : BrasnikSignManager::defaultManager().allSignners())
        if (sign && sign->phoneNum() == phone) mine.push_back(sign);
    return mine;
}

void VTASJLPViewController::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void VTASJLPViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto usage = std::make_shared<UIBarButtonItem>("说明", UIBarButtonItemStyle::Bordered, this,
                                                   [this](UIBarButtonItem&) { shouDection(); });
    auto apply = std::make_shared<UIBarButtonItem>("申请", UIBarButtonItemStyle::Bordered, this,
                                                   [this](UIBarButtonItem&) { goToApply(); });
    toolbar()->setItems(
        {home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), usage, flexibleSpaceBarBtn(), apply});
}

void VTASJLPViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    requestTokenHint();
    if (table_) table_->reloadData();
}

void VTASJLPViewController::requestTokenHint() {
    sendRequest(kNoticesTag, RequestBuilder(SystemContract::kTokenNotices), 0);
}

void VTASJLPViewController::noticesArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(kNoDataText);
        return;
    }
    direction_ = set->toStringWithFieldName(SystemContract::Col::kDirection).value_or("");
    riskinfo_ = set->toStringWithFieldName(SystemContract::Col::kRiskInfo).value_or("");
    promotion_ = set->toStringWithFieldName(SystemContract::Col::kPromotion).value_or("");
    if (table_) table_->reloadData();
}

void VTASJLPViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kNoDataText);
        return;
    }
    VTAViewControllers::requestDidFail(failure);
}

std::shared_ptr<VTASjlpDirectionController> VTASJLPViewController::goToApply() {
    auto page = std::make_shared<VTASjlpDirectionController>(0);
    page->setTitle(kApplyNoticeTitle);
    page->setDirection(riskinfo_);
    page->setTargetController(std::dynamic_pointer_cast<VTASJLPViewController>(sharedController()));
    return pushViewController(page) ? page : nullptr;
}

void VTASJLPViewController::shouDection() { showAlert(kUsageNoticeTitle, direction_); }

void VTASJLPViewController::directionControllerDidOK(VTASjlpDirectionController& page) {
    auto self = std::dynamic_pointer_cast<VTASJLPViewController>(sharedController());
    if (page.title() == kApplyNoticeTitle) {
        auto usage = std::make_shared<VTASjlpDirectionController>(1);
        usage->setTitle(kUsageNoticeTitle);
        usage->setDirection(direction_);
        usage->setTargetController(self);
        pushViewController(usage);
    } else if (page.title() == kUsageNoticeTitle) {
        auto nav = applicationNavigationController();
        if (!nav) return;
        nav->popToViewController(this, false);
        auto form = std::make_shared<VTASjlpApplyController>();
        form->setTargetController(self);
        pushViewController(form);
    }
}

void VTASJLPViewController::applyControllerDidOK(VTASjlpApplyController&) {
    if (auto nav = applicationNavigationController()) nav->popToViewController(this, true);
    if (table_) table_->reloadData();
}

// ---- the table ----

std::vector<VTASJLPViewController::Section> VTASJLPViewController::sections() const {
    std::vector<Section> list;
    if (showsPromotion()) list.push_back(Section::Promotion);
    const size_t tokens = theSjlp().size();
    for (size_t i = 0; i < tokens; ++i) list.push_back(Section::Token);
    if (tokens == 0) list.push_back(Section::Apply);
    return list;
}

int VTASJLPViewController::numberOfSectionsInTableView(UITableView&) { return static_cast<int>(sections().size()); }

int VTASJLPViewController::tableViewNumberOfRowsInSection(UITableView&, int section) {
    auto list = sections();
    if (section < 0 || section >= static_cast<int>(list.size())) return 0;
    return list[section] == Section::Promotion ? 1 : 2;
}

double VTASJLPViewController::tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    auto list = sections();
    return ip.section >= 0 && ip.section < static_cast<int>(list.size()) && list[ip.section] == Section::Promotion ? 60
                                                                                                                   : 44;
}

std::string VTASJLPViewController::tableViewTitleForHeaderInSection(UITableView&, int section) {
    auto list = sections();
    if (section < 0 || section >= static_cast<int>(list.size())) return "";
    if (list[section] == Section::Apply) return kNoTokenHeader;
    const bool firstToken = list[section] == Section::Token && (section == 0 || list[section - 1] != Section::Token);
    return firstToken ? kTokensHeader : "";
}

std::shared_ptr<UITableViewCell> VTASJLPViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                       const NSIndexPath& ip) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto list = sections();
    if (ip.section < 0 || ip.section >= static_cast<int>(list.size())) return cell;
    switch (list[ip.section]) {
        case Section::Promotion: {
            auto text = std::make_shared<UITextView>(CGRectMake(50, 1, 200, 58));
            text->setEditable(false);
            text->setBackgroundColor(UIColor::whiteColor());
            text->setText(promotion_);
            cell->contentView()->addSubview(text);
            break;
        }
        case Section::Token: {
            int index = ip.section - (list.front() == Section::Promotion ? 1 : 0);
            auto tokens = theSjlp();
            if (index < 0 || index >= static_cast<int>(tokens.size())) break;
            cell->textLabel()->setText(ip.row == 0 ? "帐号" : "手机号码");
            cell->contentView()->addSubview(
                valueOnTheRight(ip.row == 0 ? tokens[index]->customID() : registeredPhone()));
            break;
        }
        case Section::Apply:
            if (ip.row == 0) {
                cell->textLabel()->setText("申请手机令牌");
                cell->contentView()->addSubview(rowButton("申请", this, [this] { goToApply(); }));
            } else {
                cell->textLabel()->setText("使用说明");
                cell->contentView()->addSubview(rowButton("阅读", this, [this] { shouDection(); }));
            }
            break;
    }
    return cell;
}
