#include "messages/MEHistoryViewController.h"

#include "core/ParsedReply.h"
#include "core/storage/MessageExpressRecord.h"
#include "messages/MEDetailViewController.h"
#include "messages/MESummaryTableViewCell.h"
#include "messages/MessageTexts.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSTimer.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScreen.h"
#include "shell/Navigation.h"
#include "ui/SVProgressHUD.h"

MEHistoryViewController::MEHistoryViewController(int beginDate, int endDate)
    : beginDate_(beginDate), endDate_(endDate) {}

MEHistoryViewController::~MEHistoryViewController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    if (popTimer_) popTimer_->invalidate();
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
}

void MEHistoryViewController::loadView() {
    CGRect app = UIScreen::mainScreen().applicationFrame();
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, app.size.width, app.size.height - 44));
    root->setBackgroundColor(UIColor::clearColor());
    tableView_ = std::make_shared<UITableView>(root->bounds(), UITableViewStyle::Plain);
    tableView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    root->addSubview(tableView_);
    setView(root);
}

void MEHistoryViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    tableView_->setDelegate(this);
    tableView_->setDataSource(this);
    setTitle("历史信息");
    auto self = std::dynamic_pointer_cast<MEHistoryViewController>(sharedController());
    XXDelegateRef delegate = self ? XXDelegateRef(self) : XXDelegateRef(this);
    XXNetworkManager::sharedManager().requestHistoryMessageFrom(beginDate_, endDate_, delegate);
    SVProgressHUD::showWithStatus(kQueryingText);
    NSNotificationCenter::defaultCenter().addObserver(this, MEDetailViewController::kFavoriteNotification,
                                                      [this](const NSNotification& note) {
                                                          if (const bool* favorite = std::any_cast<bool>(&note.object))
                                                              historyFavoriteAction(*favorite);
                                                      });
}

void MEHistoryViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    tableView_->reloadData();
}

void MEHistoryViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    SVProgressHUD::dismiss();
}

void MEHistoryViewController::popAction() {
    if (popTimer_) popTimer_->invalidate();
    popTimer_.reset();
    // Only this screen: the customer may have gone back already.
    if (navigationController() && navigationController()->topViewController() == this) popViewControllers(1);
}

void MEHistoryViewController::failAndLeave(const std::string& text) {
    SVProgressHUD::dismissWithError(text, kErrorSeconds);
    if (popTimer_) popTimer_->invalidate();
    std::weak_ptr<UIViewController> weak = sharedController();
    popTimer_ = NSTimer::scheduledTimerWithTimeInterval(
        kPopSeconds,
        [weak](NSTimer&) {
            if (auto self = std::dynamic_pointer_cast<MEHistoryViewController>(weak.lock())) self->popAction();
        },
        false);
}

void MEHistoryViewController::historyFavoriteAction(bool favorite) {
    if (currentIndex_ >= 0 && currentIndex_ < static_cast<int>(tableData_.size()))
        tableData_[currentIndex_]->setIsFavorite(favorite);
}

// ---------------------------------------------------------------- replies

void MEHistoryViewController::serviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int) {
    ParsedReply reply(data);
    if (!reply.readable() || reply.sets().empty()) {
        SVProgressHUD::dismissWithError("数据解析错误", kErrorSeconds);
        return;
    }
    if (reply.isError()) return failAndLeave(reply.errorText());
    VTATCRS* set = reply.firstRecord();
    if (!set) return failAndLeave(kNothingText);
    SVProgressHUD::dismiss();
    tableData_.clear();
    for (int i = 0; i < set->rowsAffected(); ++i) {
        set->moveToIndex(i);
        tableData_.push_back(messageExpressFromRecord(*set));
    }
    tableView_->reloadData();
}

void MEHistoryViewController::serviceDidNetworkError(XXNetworkManager*, const NSError& error, int) {
    failAndLeave(error.localizedDescription());
}

void MEHistoryViewController::serviceDidServiceError(XXNetworkManager*, const NSError& error, int) {
    failAndLeave(error.localizedDescription());
}

// ---------------------------------------------------------------- table

int MEHistoryViewController::tableViewNumberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(tableData_.size());
}

std::shared_ptr<UITableViewCell> MEHistoryViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                         const NSIndexPath& ip) {
    auto cell =
        std::dynamic_pointer_cast<MESummaryTableViewCell>(table.dequeueReusableCellWithIdentifier("CustomCellID"));
    if (!cell) cell = std::make_shared<MESummaryTableViewCell>(UITableViewCellStyle::Default, "CustomCellID");
    if (ip.row >= 0 && ip.row < static_cast<int>(tableData_.size())) {
        const auto& m = *tableData_[ip.row];
        cell->fillHistoryRow(m, ip.row, messageRowDateText(m, false));
    }
    return cell;
}

double MEHistoryViewController::tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    return MESummaryTableViewCell::rowHeight(ip.row);
}

void MEHistoryViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    if (ip.row < 0 || ip.row >= static_cast<int>(tableData_.size())) return;
    currentIndex_ = ip.row;
    pushViewController(std::make_shared<MEDetailViewController>(tableData_[ip.row], true));
    table.reloadRowsAtIndexPaths({ip}, UITableViewRowAnimation::Automatic);
    table.deselectRowAtIndexPath(ip, true);
}
