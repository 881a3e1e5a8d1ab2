#pragma once
// One pushed message: its title, a line with day, weekday, time and sender,
// its text and a favourite star; when the message names stocks, a second page
// lists them, and a tap opens a stock's quote page (the registered one,
// VTAUIFactory::stockPageWithStocks; nothing while none is registered). A
// message with long content (type 1, a text the server keeps; type 2, a web
// page) offers "点击查看详细内容", which opens the message page. The trash
// button deletes the message after a confirmation.
//
// The opener marks the message read; this screen does not. A message of the
// server's history (isHistory) may not be stored: it has no trash button, and
// starring it stores it, read, before marking it; the history list hears of
// the new state through "MEHistoryDetailFavoriteAction" (a bool object).
// Favourites are limited to the message limit ("maxmsg", 30 by default):
// adding one more alerts "收藏信息失败"; taking one off always works.
#include <memory>
#include <string>
#include <vector>

#include "core/storage/QZPortfolioStock.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextView.h"
#include "platform/uikit/UIViewController.h"

class QZMessageExpress;
class UIButton;
class UIImageView;
class UILabel;
class UIPageControl;

class MEDetailViewController : public UIViewController,
                               public UITableViewDataSource,
                               public UITableViewDelegate,
                               public UITextViewDelegate,
                               public UIAlertViewDelegate {
public:
    static constexpr const char* kFavoriteNotification = "MEHistoryDetailFavoriteAction";
    static constexpr const char* kMoreTitle = "点击查看详细内容";
    static constexpr const char* kFavoriteFullKey = "Favorite capacity full";

    MEDetailViewController(std::shared_ptr<QZMessageExpress> message, bool isHistory);
    ~MEDetailViewController() override;

    void loadView() override;
    void viewDidLoad() override;

    // ---- actions ----
    void favoriteAction();
    void deleteAction();
    void moreAction();
    void reloadScrollView();
    void setFavoriteImage(bool favorite);
    // Opens the quote page of the related stock at index (as a tap on its row does).
    void openRelatedStock(int index);

    // ---- what is shown (tests) ----
    const std::shared_ptr<QZMessageExpress>& messageExpress() const { return messageExpress_; }
    bool isHistoryDetail() const { return isHistoryDetail_; }
    UIScrollView* messageScrollView() const { return messageScrollView_.get(); }
    UIPageControl* messagePageControl() const { return messagePageControl_.get(); }
    UILabel* titleLabel() const { return titleLabel_.get(); }
    UILabel* detailTitleLabel() const { return detailTitleLabel_.get(); }
    UIButton* favoriteBtn() const { return favoriteBtn_.get(); }
    UITextView* contentTextView() const { return contentTextView_.get(); }
    UIButton* moreButton() const { return moreButton_.get(); }
    UITableView* relateStockTableView() const { return relateStockTableView_.get(); }
    const std::vector<QZPortfolioStock>& relateStockTableData() const { return relateStockTableData_; }
    UIAlertView* deleteAlert() const { return deleteAlert_.get(); }

    // ---- delegates ----
    void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;
    bool textViewShouldBeginEditing(UITextView& textView) override { return false; }
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

private:
    void fillMessagePage();

    std::shared_ptr<QZMessageExpress> messageExpress_;
    bool isHistoryDetail_ = false;
    std::shared_ptr<UIScrollView> messageScrollView_;
    std::shared_ptr<UIPageControl> messagePageControl_;
    std::shared_ptr<UIView> messageDetailView_, relateStockView_;
    std::shared_ptr<UIImageView> titleView_;
    std::shared_ptr<UILabel> titleLabel_, detailTitleLabel_;
    std::shared_ptr<UIButton> favoriteBtn_;
    std::shared_ptr<UITextView> contentTextView_;
    std::shared_ptr<UIButton> moreButton_;
    std::shared_ptr<UITableView> relateStockTableView_;
    std::vector<QZPortfolioStock> relateStockTableData_;
    std::shared_ptr<UIAlertView> deleteAlert_;
};
