#include "messages/MessageExpressViewController.h"

#include "core/QZUtil.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "messages/MEDetailViewController.h"
#include "messages/MEHistoryDateSelectViewController.h"
#include "messages/MESummarySectionHeader.h"
#include "messages/MESummaryTableViewCell.h"
#include "net/XXNetworkManager.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UISegmentedControl.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"
#include "ui/SVSegmentedControl.h"

namespace {

constexpr const char* kNewMessageNotification = "NewMessageExpressNotification";
constexpr double kBarHeight = 40, kToolbarHeight = 44;

std::shared_ptr<MessageExpressDaoImpl> store() { return DaoFactory::sharedInstance().messageExpressDao(); }

}  // namespace

MessageExpressViewController::MessageExpressViewController(bool favoriteOrAll, int sortType)
    : currentSortType_(sortType), inboxViewIsVisible_(!favoriteOrAll) {}

MessageExpressViewController::~MessageExpressViewController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
    if (deleteSheet_) deleteSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

void MessageExpressViewController::loadView() {
    CGRect app = UIScreen::mainScreen().applicationFrame();
    const double height = app.size.height - kToolbarHeight;
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, app.size.width, height));
    // The table is clear; under it the rows' own light ground, so the space
    // below the last group reads as the rest of the list (the window is black).
    root->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));

    segmentBarView_ = std::make_shared<UIView>(CGRectMake(0, 0, 320, kBarHeight));
    segmentBarView_->setBackgroundColor(UIColor::colorWithPatternImage(UIImage::imageNamed("ME_Segment_Bar.png")));
    const std::vector<std::string> titles{"按发送者", "按日期", "按股票"};
    if (QZUtil::compareSystemVersion(UIDevice::currentDevice().systemVersion(), "4.0") >= 0) {
        sortSegment_ = std::make_shared<SVSegmentedControl>(titles);
        sortSegment_->setFont(UIFont::fontWithName("STHeitiSC-Light", 12));
        sortSegment_->setTextColor(UIColor::blackColor());
        sortSegment_->setTextShadowColor(UIColor::colorWithWhite(1, 0.5));
        sortSegment_->setTextShadowOffset(CGSizeMake(0, -1));
        sortSegment_->setBackgroundImage(
            UIImage::imageNamed("ME_Segment_BG.png")->stretchableImageWithLeftCapWidth(6, 6));
        auto& thumb = sortSegment_->thumb();
        thumb.textColor = UIColor::blackColor();
        thumb.textShadowColor = UIColor::colorWithWhite(1, 0.5);
        thumb.textShadowOffset = CGSizeMake(0, -1);
        thumb.backgroundImage = UIImage::imageNamed("ME_Segment_Btn.png")->stretchableImageWithLeftCapWidth(6, 6);
        thumb.highlightedBackgroundImage = thumb.backgroundImage;
        sortSegment_->setCenter(CGPointMake(160, 21));
        segmentBarView_->addSubview(sortSegment_);
    } else {
        oldSortSegment_ = std::make_shared<UISegmentedControl>(titles);
        oldSortSegment_->setFrame(CGRectMake(42, 6, 236, 28));
        oldSortSegment_->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
        oldSortSegment_->setBackgroundColor(UIColor::whiteColor());
        segmentBarView_->addSubview(oldSortSegment_);
    }
    root->addSubview(segmentBarView_);

    tableView_ = std::make_shared<UITableView>(CGRectMake(0, kBarHeight, 320, height - kBarHeight - kToolbarHeight),
                                               UITableViewStyle::Plain);
    tableView_->setBackgroundColor(UIColor::clearColor());
    tableView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    root->addSubview(tableView_);
    noRecordBgImageView_ = std::make_shared<UIImageView>(UIImage::imageNamed("bglogo.png"));
    noRecordBgImageView_->setFrame(CGRectMake(116, 100, 88, 104));
    tableView_->addSubview(noRecordBgImageView_);

    toolbar_ = std::make_shared<UIToolbar>(CGRectMake(0, height - kToolbarHeight, 320, kToolbarHeight));
    toolbar_->setBarStyle(UIBarStyle::Black);
    editBarBtnItem_ = std::make_shared<UIBarButtonItem>("管理", UIBarButtonItemStyle::Plain, this,
                                                        [this](UIBarButtonItem&) { editAction(); });
    auto history = std::make_shared<UIBarButtonItem>("历史", UIBarButtonItemStyle::Plain, this,
                                                     [this](UIBarButtonItem&) { historyAction(); });
    toolbar_->setItems({editBarBtnItem_, UIBarButtonItem::flexibleSpace(), UIBarButtonItem::flexibleSpace(), history});
    root->addSubview(toolbar_);
    setView(root);
}

void MessageExpressViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setSelectedHeader(-1);
    loadHeaderWithSortordType(currentSortType_, !inboxViewIsVisible_);
    if (sortSegment_) {
        sortSegment_->setSelectedIndex(currentSortType_);
        sortSegment_->moveThumbToIndex(currentSortType_, false);
        sortSegment_->addTarget(
            this, [this](UIControl&) { segmentedControlChangedValue(sortSegment_->selectedIndex()); },
            UIControlEventValueChanged);
    } else {
        oldSortSegment_->setSelectedSegmentIndex(currentSortType_);
        oldSortSegment_->addTarget(
            this, [this](UIControl&) { segmentedControlChangedValue(oldSortSegment_->selectedSegmentIndex()); },
            UIControlEventValueChanged);
    }
    tableView_->setDelegate(this);
    tableView_->setDataSource(this);

    localFlipIndicator_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(0, 0, 24, 24));
    localFlipIndicator_->setBackgroundImage(UIImage::imageNamed("fav.png"));
    // On the finger's landing, not on its release.
    localFlipIndicator_->addTarget(
        this, [this](UIControl&) { flipAction(); }, UIControlEventTouchDown);
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(localFlipIndicator_));
    setTitleAndButton();

    NSNotificationCenter::defaultCenter().addObserver(this, kNewMessageNotification,
                                                      [this](const NSNotification&) { newMessage(); });
}

void MessageExpressViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    XXNetworkManager::sharedManager().requestNoConfirmWithoutDelegate();
    reloadEverything();
}

void MessageExpressViewController::newMessage() {
    if (!isViewLoaded()) return;
    reloadEverything();
}

void MessageExpressViewController::reloadEverything() {
    loadHeaderWithSortordType(currentSortType_, !inboxViewIsVisible_);
    reloadCurrentShowData();
    tableView_->reloadData();
}

void MessageExpressViewController::setTitleAndButton() {
    setTitle(inboxViewIsVisible_ ? kInboxTitle : kFavoritesTitle);
    if (localFlipIndicator_)
        localFlipIndicator_->setBackgroundImage(UIImage::imageNamed(inboxViewIsVisible_ ? "fav.png" : "inbox.png"));
}

void MessageExpressViewController::setSelectedHeader(int index) {
    selectedHeaderIndex_ = index;
    if (index >= 0 && index < static_cast<int>(cacheOfHeaders_.size()))
        openGroup_ = cacheOfHeaders_[index]->group();
    else
        openGroup_.reset();
}

// ---------------------------------------------------------------- groups

void MessageExpressViewController::loadHeaderWithSortordType(int sortType, bool favoriteOrAll) {
    cacheOfHeaders_.clear();
    auto dao = store();
    if (dao) {
        for (auto& group : loadMessageGroups(*dao, sortType, favoriteOrAll)) {
            auto header = std::make_shared<MESummarySectionHeader>();
            header->setGroup(std::move(group));
            cacheOfHeaders_.push_back(header);
        }
    }
    // The open group stays open where the reload put it; gone, none is open.
    if (openGroup_) {
        int found = -1;
        for (size_t i = 0; i < cacheOfHeaders_.size(); ++i)
            if (cacheOfHeaders_[i]->group().sameGroupAs(*openGroup_)) found = static_cast<int>(i);
        setSelectedHeader(found);
        if (found < 0) messageExpressItems_.clear();
    } else {
        selectedHeaderIndex_ = -1;
    }
}

void MessageExpressViewController::reloadCurrentShowData() {
    if (selectedHeaderIndex_ == -1) setSelectedHeader(0);
    if (selectedHeaderIndex_ < 0 || selectedHeaderIndex_ >= static_cast<int>(cacheOfHeaders_.size())) {
        messageExpressItems_.clear();
        return;
    }
    auto dao = store();
    messageExpressItems_ =
        dao ? loadGroupMessages(*dao, cacheOfHeaders_[selectedHeaderIndex_]->group(), !inboxViewIsVisible_)
            : std::vector<std::shared_ptr<QZMessageExpress>>{};
}

void MessageExpressViewController::headerAction(int section) {
    if (section < 0 || section >= static_cast<int>(cacheOfHeaders_.size())) return;
    const int previous = selectedHeaderIndex_;
    bool closed = false;
    if (!messageExpressItems_.empty() && previous >= 0 && previous < static_cast<int>(cacheOfHeaders_.size())) {
        tableView_->beginUpdates();
        auto& header = cacheOfHeaders_[previous];
        header->setIsExpand(false);
        header->closeIndicator();
        std::vector<NSIndexPath> rows;
        for (size_t i = 0; i < messageExpressItems_.size(); ++i) rows.push_back({previous, static_cast<int>(i)});
        messageExpressItems_.clear();
        tableView_->deleteRowsAtIndexPaths(rows, UITableViewRowAnimation::Fade);
        tableView_->endUpdates();
        closed = true;
    }
    tableView_->reloadData();
    setSelectedHeader(section);
    auto& header = cacheOfHeaders_[section];
    if (closed && previous == section) {
        header->setIsExpand(false);
        header->closeIndicator();
        setSelectedHeader(-1);
        return;
    }
    reloadCurrentShowData();
    if (!messageExpressItems_.empty()) {
        header->setIsExpand(true);
        header->openIndicator();
        tableView_->reloadData();
    }
}

void MessageExpressViewController::segmentedControlChangedValue(int index) {
    if (index < 0 || index > 2) return;
    setSelectedHeader(-1);
    currentSortType_ = index;
    NSUserDefaults::standardUserDefaults().setInteger(index, kSortTypeKey);
    loadHeaderWithSortordType(currentSortType_, !inboxViewIsVisible_);
    messageExpressItems_.clear();
    tableView_->reloadData();
}

void MessageExpressViewController::flipAction() {
    view()->setUserInteractionEnabled(false);
    if (auto* bar = navigationController() ? navigationController()->navigationBar() : nullptr)
        bar->setUserInteractionEnabled(false);
    setSelectedHeader(-1);
    messageExpressItems_.clear();

    UIView* flipped = navigationController() ? navigationController()->view().get() : view().get();
    UIView::beginAnimations("flip");
    UIView::setAnimationDuration(0.75);
    UIView::setAnimationTransition(
        inboxViewIsVisible_ ? UIViewAnimationTransition::FlipFromRight : UIViewAnimationTransition::FlipFromLeft,
        flipped, true);
    std::weak_ptr<UIViewController> weak = sharedController();
    UIView::setAnimationDidStopSelector([weak](const std::string&, bool, void*) {
        auto self = std::dynamic_pointer_cast<MessageExpressViewController>(weak.lock());
        if (!self) return;
        self->view()->setUserInteractionEnabled(true);
        if (auto* bar = self->navigationController() ? self->navigationController()->navigationBar() : nullptr)
            bar->setUserInteractionEnabled(true);
    });
    inboxViewIsVisible_ = !inboxViewIsVisible_;
    loadHeaderWithSortordType(currentSortType_, !inboxViewIsVisible_);
    tableView_->reloadData();
    UIView::commitAnimations();
    setTitleAndButton();
}

void MessageExpressViewController::editAction() {
    const bool editing = !tableView_->isEditing();
    setEditing(editing, true);
    tableView_->setEditing(editing, true);
    editBarBtnItem_->setTitle(editing ? "完成" : "管理");
    if (auto item = navigationItem()->rightBarButtonItem()) item->setEnabled(!editing);
    localFlipIndicator_->setEnabled(!editing);
    tableView_->reloadData();
}

void MessageExpressViewController::historyAction() {
    pushViewController(std::make_shared<MEHistoryDateSelectViewController>());
}

// ---------------------------------------------------------------- deletion

void MessageExpressViewController::sectionDeleteAction(int section) {
    if (section < 0 || section >= static_cast<int>(cacheOfHeaders_.size())) return;
    auto dao = store();
    if (!dao) return;
    const MessageGroup& group = cacheOfHeaders_[section]->group();
    PendingDeletion pending{group.label, {}};
    bool holdsFavorites = false;
    for (const auto& m : loadGroupMessages(*dao, group, !inboxViewIsVisible_)) {
        pending.messageIds.push_back(m->messageId());
        holdsFavorites = holdsFavorites || m->isFavorite();
    }
    deletion_ = std::move(pending);
    std::string text = inboxViewIsVisible_ && holdsFavorites
                           ? "分组'" + group.label + "'包含收藏信息,您确定删除该分组内所有信息?"
                           : "这将删除分组'" + group.label + "'内所有信息.";
    deleteSheet_ = std::make_shared<UIActionSheet>(text, this, std::string("取消"), std::string("删除分组"),
                                                   std::vector<std::string>{});
    deleteSheet_->showInView(view().get());
}

void MessageExpressViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != deleteSheet_.get()) return;
    auto pending = std::move(deletion_);
    deletion_.reset();
    if (buttonIndex != sheet.destructiveButtonIndex() || !pending) return;
    if (auto dao = store()) dao->deleteMessageWithMessageIdArray(pending->messageIds);
    setSelectedHeader(-1);
    loadHeaderWithSortordType(currentSortType_, !inboxViewIsVisible_);
    messageExpressItems_.clear();
    tableView_->reloadData();
}

void MessageExpressViewController::tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                                               const NSIndexPath& ip) {
    if (style != UITableViewCellEditingStyle::Delete) return;
    if (ip.section != selectedHeaderIndex_ || ip.row < 0 || ip.row >= static_cast<int>(messageExpressItems_.size()))
        return;
    auto dao = store();
    if (!dao || !dao->deleteMessageWithMessageId(messageExpressItems_[ip.row]->messageId())) {
        showAlert("", kDeleteFailedText);
        return;
    }
    table.beginUpdates();
    messageExpressItems_.erase(messageExpressItems_.begin() + ip.row);
    table.deleteRowsAtIndexPaths({ip}, UITableViewRowAnimation::Fade);
    table.endUpdates();
    loadHeaderWithSortordType(currentSortType_, !inboxViewIsVisible_);
    if (messageExpressItems_.empty()) {
        setSelectedHeader(-1);
    } else if (selectedHeaderIndex_ >= 0 && selectedHeaderIndex_ < static_cast<int>(cacheOfHeaders_.size())) {
        auto& header = cacheOfHeaders_[selectedHeaderIndex_];
        header->setIsExpand(true);
        header->justOpenIndicator();
        reloadCurrentShowData();
    }
    table.reloadData();
}

// ---------------------------------------------------------------- table

int MessageExpressViewController::numberOfSectionsInTableView(UITableView&) {
    noRecordBgImageView_->setHidden(!cacheOfHeaders_.empty());
    return static_cast<int>(cacheOfHeaders_.size());
}

int MessageExpressViewController::tableViewNumberOfRowsInSection(UITableView&, int section) {
    return section == selectedHeaderIndex_ ? static_cast<int>(messageExpressItems_.size()) : 0;
}

std::shared_ptr<UITableViewCell> MessageExpressViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                              const NSIndexPath& ip) {
    const std::string identifier = inboxViewIsVisible_ ? "InboxCell" : "FavoriteCell";
    auto cell = std::dynamic_pointer_cast<MESummaryTableViewCell>(table.dequeueReusableCellWithIdentifier(identifier));
    if (!cell) cell = std::make_shared<MESummaryTableViewCell>(UITableViewCellStyle::Default, identifier);
    if (ip.row >= 0 && ip.row < static_cast<int>(messageExpressItems_.size())) {
        const auto& m = *messageExpressItems_[ip.row];
        cell->fillInboxRow(m, ip.row, messageRowDateText(m, currentSortType_ == 1));
    }
    return cell;
}

double MessageExpressViewController::tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    return MESummaryTableViewCell::rowHeight(ip.row);
}

double MessageExpressViewController::tableViewHeightForHeaderInSection(UITableView&, int) {
    return MESummarySectionHeader::kHeight;
}

std::shared_ptr<UIView> MessageExpressViewController::tableViewViewForHeaderInSection(UITableView& table, int section) {
    if (section < 0 || section >= static_cast<int>(cacheOfHeaders_.size())) return nullptr;
    auto header = cacheOfHeaders_[section];
    header->fitForSection(
        section, table.isEditing(), section == selectedHeaderIndex_, [this](int s) { headerAction(s); },
        [this](int s) { sectionDeleteAction(s); });
    return header;
}

void MessageExpressViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    if (ip.row < 0 || ip.row >= static_cast<int>(messageExpressItems_.size())) return;
    auto message = messageExpressItems_[ip.row];
    if (auto dao = store()) dao->markMessageIsRead(message->messageId(), true);
    message->setIsRead(true);
    pushViewController(std::make_shared<MEDetailViewController>(message, false));
}
