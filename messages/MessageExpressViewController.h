#pragma once
// The box of pushed messages, read from the local message store every time
// it is needed; the screen never talks to the server beyond asking the
// service client to fetch the unconfirmed messages each time it comes into
// view.
//
// The messages show in groups (by sender, by date or by stock; the grouping
// is saved as the platform user default "MESortType" at every change) in one
// of two modes: the inbox (every stored message) or the favourites, switched
// by the navigation bar's button with a flip. Each group is a collapsible
// section; at most one is open and only its messages are loaded. Coming into
// view, or a new batch ("NewMessageExpressNotification"), with no group open
// opens the first. A tap on a message marks it read and opens its detail;
// "历史" opens the history search; "管理" enters management mode, where each
// header has a delete button; a swipe deletes one message.
//
// The open group is kept by its identity, not by its place: when a reload
// moves the groups (a new batch, a deletion), the same group stays open, or
// none when it is gone. A group's deletion deletes the messages the group
// showed when its delete button was tapped, whatever arrives before the
// customer confirms.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "messages/MessageTexts.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

class MESummarySectionHeader;
class QZMessageExpress;
class SVSegmentedControl;
class UIButton;
class UIImageView;
class UISegmentedControl;
class UIToolbar;

class MessageExpressViewController : public UIViewController,
                                     public UITableViewDataSource,
                                     public UITableViewDelegate,
                                     public UIActionSheetDelegate {
public:
    static constexpr const char* kSortTypeKey = "MESortType";
    static constexpr const char* kInboxTitle = "信息快线-收件箱";
    static constexpr const char* kFavoritesTitle = "信息快线-收藏夹";
    static constexpr const char* kDeleteFailedText = "删除失败,请稍候再试";

    // favoriteOrAll YES: the favourites; sortType 0 sender, 1 date, 2 stock.
    MessageExpressViewController(bool favoriteOrAll, int sortType);
    ~MessageExpressViewController() override;

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // ---- the list's actions ----
    void loadHeaderWithSortordType(int sortType, bool favoriteOrAll);
    void reloadCurrentShowData();
    void newMessage();
    void headerAction(int section);
    void sectionDeleteAction(int section);
    void editAction();
    void historyAction();
    void flipAction();
    void segmentedControlChangedValue(int index);

    // ---- state (tests) ----
    int currentSortType() const { return currentSortType_; }
    bool inboxViewIsVisible() const { return inboxViewIsVisible_; }
    int selectedHeaderIndex() const { return selectedHeaderIndex_; }
    const std::vector<std::shared_ptr<MESummarySectionHeader>>& cacheOfHeaders() const { return cacheOfHeaders_; }
    const std::vector<std::shared_ptr<QZMessageExpress>>& messageExpressItems() const { return messageExpressItems_; }
    UITableView* tableView() const { return tableView_.get(); }
    UIImageView* noRecordBgImageView() const { return noRecordBgImageView_.get(); }
    SVSegmentedControl* sortSegment() const { return sortSegment_.get(); }
    UISegmentedControl* oldSortSegment() const { return oldSortSegment_.get(); }
    UIButton* localFlipIndicator() const { return localFlipIndicator_.get(); }
    UIBarButtonItem* editBarBtnItem() const { return editBarBtnItem_.get(); }
    UIToolbar* toolbar() const { return toolbar_.get(); }
    UIActionSheet* deleteSheet() const { return deleteSheet_.get(); }

    // ---- table ----
    int numberOfSectionsInTableView(UITableView& table) override;
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    bool tableViewCanEditRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override { return true; }
    void tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                     const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    double tableViewHeightForHeaderInSection(UITableView& table, int section) override;
    std::shared_ptr<UIView> tableViewViewForHeaderInSection(UITableView& table, int section) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

private:
    void setTitleAndButton();
    void setSelectedHeader(int index);
    void reloadEverything();

    int currentSortType_ = 0;
    bool inboxViewIsVisible_ = true;
    int selectedHeaderIndex_ = -1;
    std::optional<MessageGroup> openGroup_;  // the open group's identity
    std::vector<std::shared_ptr<MESummarySectionHeader>> cacheOfHeaders_;
    std::vector<std::shared_ptr<QZMessageExpress>> messageExpressItems_;

    // The group whose deletion is being confirmed, as it was when chosen.
    struct PendingDeletion {
        std::string label;
        std::vector<std::string> messageIds;
    };
    std::optional<PendingDeletion> deletion_;

    std::shared_ptr<UIView> segmentBarView_;
    std::shared_ptr<SVSegmentedControl> sortSegment_;
    std::shared_ptr<UISegmentedControl> oldSortSegment_;
    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<UIImageView> noRecordBgImageView_;
    std::shared_ptr<UIToolbar> toolbar_;
    std::shared_ptr<UIBarButtonItem> editBarBtnItem_;
    std::shared_ptr<UIButton> localFlipIndicator_;
    std::shared_ptr<UIActionSheet> deleteSheet_;
};
