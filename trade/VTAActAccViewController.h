#pragma once
// The accounts logged in during this run (已登录帐号), one card a page
// (VTAAccountViewController) in a horizontally paging view, opened on the
// selected account's page. A card's check button makes its account the
// trading one (its stored session values become the trade session) and goes
// back; its "注 销" logs the account out: the last one ends the trade session
// ("您已经退出交易登录", two screens back, never past the first); of several,
// the selected one hands the session to the first remaining account, another
// leaves the selected account trading. "新帐号" opens a plain trade login.
// The cards' branch names come from 501/17 (tag kBranchTag), asked each time
// the pager shows.
//
// The cards talk to the pager by notifications carrying the account
// ("VTAAccountShouldBeUsedToTradeNotification", "...SelectedNotification",
// "...DeletedNotification"); a pager handles only those of its own cards. The
// pages are rebuilt (after "QZAccountNumberDidChangedNotification" too) on
// the next turn of the main loop, never under a card's button that is still
// being pressed.
#include <memory>
#include <vector>

#include "platform/uikit/UIScrollView.h"
#include "shell/VTAViewControllers.h"
#include "trade/TradeBranches.h"

class UIPageControl;
class VTAAccount;
class VTAAccountManager;
class VTAAccountViewController;

class VTAActAccViewController : public VTAViewControllers, public UIScrollViewDelegate {
public:
    static constexpr int kBranchTag = 7001;
    static constexpr const char* kUseNotification = "VTAAccountShouldBeUsedToTradeNotification";
    static constexpr const char* kSelectNotification = "VTAAccountShouldBeSelectedNotification";
    static constexpr const char* kDeleteNotification = "VTAAccountShouldBeDeletedNotification";
    static constexpr const char* kNoAccountText = "对不起，您还没有登录记录";
    static constexpr const char* kLoggedOutText = "您已经退出交易登录";
    static constexpr double kPageWidth = 320;
    static constexpr double kPageHeight = 400;

    explicit VTAActAccViewController(bool hkAccounts);
    static std::shared_ptr<VTAActAccViewController> initWithHKAccount(bool hkAccounts) {
        return std::make_shared<VTAActAccViewController>(hkAccounts);
    }
    ~VTAActAccViewController() override;

    bool isHKAcount() const { return hk_; }
    VTAAccountManager& accManager() const;
    UIScrollView* pagingScrollView() {
        view();
        return paging_.get();
    }
    UIPageControl* pageControl() {
        view();
        return pageControl_.get();
    }
    const std::vector<std::shared_ptr<VTAAccountViewController>>& cards() const { return cards_; }
    const BranchList& allSalesDepartment() const { return branches_; }

    void reloadAccountPageView();
    // "新帐号": answers the login pushed (null for the Hong Kong pager).
    std::shared_ptr<UIViewController> newAccount();
    // A card's buttons, by the card's index.
    void checkAction(int index);
    void loginAction(int index);
    void requestSalesDepartment();
    void showTheFilteredSaleDepartmentName();

    void viewWillDidLoad() override;
    void viewWillAppear(bool animated) override;
    void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;

private:
    void setTradeAccount(const std::shared_ptr<VTAAccount>& account);
    void selectAccount(const std::shared_ptr<VTAAccount>& account);
    void deleteAccount(const std::shared_ptr<VTAAccount>& account);
    void post(const char* name, const std::shared_ptr<VTAAccount>& account);
    void scheduleReload();
    void branchesArrived(const RequestReply& reply);

    bool hk_;
    bool posting_ = false;  // a notification of this pager's own card is on its way
    bool reloadPending_ = false;
    std::shared_ptr<UIScrollView> paging_;
    std::shared_ptr<UIPageControl> pageControl_;
    std::vector<std::shared_ptr<VTAAccountViewController>> cards_;
    BranchList branches_;
};
