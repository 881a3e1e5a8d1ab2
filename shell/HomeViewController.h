#pragma once
// The home screen: the information tabs of the server (3504), the quotes of
// the own stocks (31000/4; the main indices while there are none), the newest
// stored pushed messages with the unread badge, and a paging board of the
// root menu's visible items. A board item opens through the dispatcher with
// the trade gate, except "pushmsg": that opens the registered message inbox
// of all messages (not only the favourites) grouped as the platform user
// default "MESortType" says (0 when never written); while no inbox is
// registered the dispatcher's answer for the item is used. The navigation
// bar offers "帐号", the logged-in stock accounts pager, once one is registered.
//
// Pushed messages: on "NewMessageExpressNotification" (and whenever the
// screen appears) the unread badge is refreshed from the store, the icon
// badge set to 0 when nothing is unread; then a message id kept under
// "NeedPushMessageId" whose message is stored opens that message's detail,
// which marks it read and clears the key. A message of the list opens the same
// way. The detail screen is registered by the message screens; while there is
// none, nothing opens and the key stays.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIViewController.h"
#include "shell/RequestBinding.h"

class CustomBadge;
class QZMessageExpress;
class UIButton;
class UILabel;
class VTAMenu;
class VTAStock;

class HomeViewController : public UIViewController, public RequestBinding, public UIScrollViewDelegate {
public:
    static constexpr int kInfoTag = 3504, kQuoteTag = 3100;
    static constexpr int kColumns = 4, kRows = 2;
    static constexpr int kMaxQuoteRows = 4, kMaxMessageRows = 3;
    static constexpr const char* kDefaultIndexIds = "000001.2|399001.1|399006.1";
    // The snapshot's fields: code, market, name, price, change in per cent.
    static constexpr const char* kQuoteFields = "3|1|4|11|16";
    static constexpr const char* kInboxLink = "pushmsg";
    static constexpr const char* kSortTypeKey = "MESortType";

    HomeViewController();
    ~HomeViewController() override;

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // Sends the information and quote requests again.
    void refresh();

    // ---- what is shown (tests) ----
    const std::vector<std::shared_ptr<VTAMenu>>& boardMenus() const { return boardMenus_; }
    int boardPageCount() const;
    int currentBoardPage() const { return currentPage_; }
    UIScrollView* boardView() const { return board_.get(); }
    // The board button of the item at index (null out of range).
    UIButton* boardButtonAtIndex(int index) const;
    const std::vector<std::string>& infoTitles() const { return infoTitles_; }
    std::string infoText() const;
    void selectInfoTab(int index);
    const std::vector<std::shared_ptr<VTAStock>>& quoteStocks() const { return quoteStocks_; }
    int unreadCount() const { return unread_; }
    const std::vector<std::shared_ptr<QZMessageExpress>>& recentMessages() const { return messages_; }

    // ---- actions ----
    // Opens the board item as a tap does; answers the screen pushed (null when none).
    std::shared_ptr<UIViewController> openBoardItem(int index);
    void openQuoteAtIndex(int index);
    // Marks the message read and opens its detail; false when no detail screen exists.
    bool openMessage(const std::shared_ptr<QZMessageExpress>& message);
    // The unread badge and the pending pushed message.
    void newMessageExpressArrived();

    // Opens the message inbox (see above); answers the screen pushed.
    std::shared_ptr<UIViewController> openMessageInbox(const std::shared_ptr<VTAMenu>& item = nullptr);
    // Opens the logged-in stock accounts pager; answers the screen pushed.
    std::shared_ptr<UIViewController> openAccountsPager();

    // ---- delegates ----
    void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;
    void scrollViewDidScroll(UIScrollView& scrollView) override;

protected:
    // Information and quotes fail quietly: the information area says so.
    void requestDidFail(const RequestFailure& failure) override;

private:
    void buildBoard();
    void reloadMessages();
    void refreshBadge();
    void handleInfo(const RequestReply& reply);
    void handleQuotes(const RequestReply& reply);
    void layoutQuotes();
    void layoutMessages();
    void updatePageMarks();

    std::vector<std::shared_ptr<VTAMenu>> boardMenus_;
    std::vector<std::shared_ptr<UIButton>> boardButtons_;
    std::shared_ptr<UIScrollView> board_;
    std::shared_ptr<UIView> pageMarks_;
    int currentPage_ = 0;

    std::vector<std::string> infoTitles_, infoContents_;
    int infoIndex_ = 0;
    std::vector<std::shared_ptr<UIButton>> infoButtons_;
    std::shared_ptr<UIView> infoBar_;
    std::shared_ptr<UILabel> infoLabel_;

    std::vector<std::shared_ptr<VTAStock>> quoteStocks_;
    std::vector<std::string> quotePrices_, quoteChanges_;
    std::vector<int> quoteSigns_;
    bool showingIndices_ = false;
    std::shared_ptr<UILabel> quoteHeader_;
    std::shared_ptr<UIView> quoteArea_;

    std::vector<std::shared_ptr<QZMessageExpress>> messages_;
    int unread_ = 0;
    std::shared_ptr<UILabel> messageHeader_;
    std::shared_ptr<CustomBadge> badge_;
    std::shared_ptr<UIView> messageArea_;
};
