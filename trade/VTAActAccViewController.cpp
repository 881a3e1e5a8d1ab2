#include "trade/VTAActAccViewController.h"

#include <cmath>

#include "core/VTAAccountManager.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPageControl.h"
#include "shell/IdleTimeCheck.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "trade/TradeLogin.h"
#include "trade/VTAAccountViewController.h"
#include "trade/VTATradeLoginViewController.h"
#include "ui/Alerts.h"

namespace {

std::shared_ptr<VTAAccount> accountOf(const NSNotification& note) {
    auto p = std::any_cast<std::shared_ptr<VTAAccount>>(&note.object);
    return p ? *p : nullptr;
}

}  // namespace

VTAActAccViewController::VTAActAccViewController(bool hkAccounts) : hk_(hkAccounts) {
    bindRequest(kBranchTag, [this](const RequestReply& r) { branchesArrived(r); });
}

VTAActAccViewController::~VTAActAccViewController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
    if (paging_) paging_->setDelegate(nullptr);
}

VTAAccountManager& VTAActAccViewController::accManager() const {
    return hk_ ? VTAAccountManager::tradeAccountManagerForHK() : VTAAccountManager::tradeAccountManager();
}

void VTAActAccViewController::viewWillDidLoad() {
    hideToolBar();
    contentView()->setBackgroundColor(UIColor::blackColor());
    auto item = std::make_shared<UIBarButtonItem>("新帐号", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { newAccount(); });
    navigationItem()->setRightBarButtonItem(item);
    if (!accManager().selectedAccount()) showAlert(kNoAccountText);

    paging_ = std::make_shared<UIScrollView>(CGRectMake(0, 0, kPageWidth, kPageHeight));
    paging_->setBackgroundColor(UIColor::blackColor());
    paging_->setPagingEnabled(true);
    paging_->setShowsHorizontalScrollIndicator(false);
    paging_->setShowsVerticalScrollIndicator(false);
    paging_->setDelegate(this);
    contentView()->addSubview(paging_);
    pageControl_ = std::make_shared<UIPageControl>(CGRectMake(0, kPageHeight, kPageWidth, 16));
    pageControl_->setHidesForSinglePage(false);
    pageControl_->setUserInteractionEnabled(false);
    pageControl_->setBackgroundColor(UIColor::clearColor());
    contentView()->addSubview(pageControl_);
    reloadAccountPageView();

    auto& center = NSNotificationCenter::defaultCenter();
    center.addObserver(this, kUseNotification, [this](const NSNotification& n) {
        if (posting_) setTradeAccount(accountOf(n));
    });
    center.addObserver(this, kSelectNotification, [this](const NSNotification& n) {
        if (posting_) selectAccount(accountOf(n));
    });
    center.addObserver(this, kDeleteNotification, [this](const NSNotification& n) {
        if (posting_) deleteAccount(accountOf(n));
    });
    center.addObserver(this, kAccountNumberDidChangedNotification, [this](const NSNotification&) { scheduleReload(); });
}

void VTAActAccViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    requestSalesDepartment();
}

void VTAActAccViewController::reloadAccountPageView() {
    reloadPending_ = false;
    for (auto& card : cards_) card->view()->removeFromSuperview();
    cards_.clear();
    CGPoint offset = paging_->contentOffset();
    const auto& accounts = accManager().accounts();
    for (size_t i = 0; i < accounts.size(); ++i) {
        auto card = std::make_shared<VTAAccountViewController>();
        card->loadAccount(accounts[i]);
        auto cardView = card->view();
        cardView->setFrame(CGRectMake(kPageWidth * i, 0, kPageWidth, kPageHeight));
        if (accounts[i]->isSelected()) offset = CGPointMake(kPageWidth * i, 0);
        const int index = static_cast<int>(i);
        card->loginBtn()->setTag(index);
        card->loginBtn()->addTarget(
            this, [this, index](UIControl&) { loginAction(index); }, UIControlEventTouchUpInside);
        card->checkBtn()->setTag(index);
        card->checkBtn()->addTarget(
            this, [this, index](UIControl&) { checkAction(index); }, UIControlEventTouchUpInside);
        cardView->setTag(2000 + index);
        paging_->addSubview(cardView);
        cards_.push_back(card);
    }
    pageControl_->setNumberOfPages(static_cast<int>(accounts.size()));
    paging_->setContentSize(CGSizeMake(kPageWidth * accounts.size(), kPageHeight));
    paging_->setContentOffset(offset);
    pageControl_->setCurrentPage(static_cast<int>(offset.x / kPageWidth));
    showTheFilteredSaleDepartmentName();
}

void VTAActAccViewController::scheduleReload() {
    if (reloadPending_) return;
    reloadPending_ = true;
    std::weak_ptr<UIViewController> weak = sharedController();
    RunLoop::main().post([weak] {
        auto self = std::dynamic_pointer_cast<VTAActAccViewController>(weak.lock());
        if (self && self->reloadPending_) self->reloadAccountPageView();
    });
}

void VTAActAccViewController::post(const char* name, const std::shared_ptr<VTAAccount>& account) {
    posting_ = true;
    NSNotificationCenter::defaultCenter().postNotificationName(name, std::any(account));
    posting_ = false;
}

void VTAActAccViewController::checkAction(int index) {
    auto account = accManager().accountAtIndex(index);
    if (!account) return;
    auto keep = sharedController();
    post(kUseNotification, account);
    post(kSelectNotification, account);
    scheduleReload();
    popViewControllers(1);
}

void VTAActAccViewController::loginAction(int index) {
    auto account = accManager().accountAtIndex(index);
    if (!account) return;
    auto keep = sharedController();
    post(kDeleteNotification, account);
}

void VTAActAccViewController::setTradeAccount(const std::shared_ptr<VTAAccount>& account) {
    clearFundCaches();
    if (account) restoreTradeSession(*account);
}

void VTAActAccViewController::selectAccount(const std::shared_ptr<VTAAccount>& account) {
    if (account) accManager().setSelectedAccount(account);
}

void VTAActAccViewController::deleteAccount(const std::shared_ptr<VTAAccount>& account) {
    if (!account) return;
    clearFundCaches();
    auto& list = accManager();
    const bool wasSelected = account->isSelected();
    if (list.count() == 1) {
        clearTradeSession();
        if (auto* app = IdleTimeCheck::sharedIdleTimeCheck()) app->resetIdleTimer();
        showAlert(kLoggedOutText);
        popViewControllers(2);
    }
    list.removeAccount(*account);
    account->unactiveAccount();
    // The selected account keeps trading; only when it went does the first remaining one take over.
    if (list.count() > 0 && wasSelected) {
        auto first = list.accountAtIndex(0);
        list.setSelectedAccount(first);
        restoreTradeSession(*first);
    }
}

std::shared_ptr<UIViewController> VTAActAccViewController::newAccount() {
    clearFundCaches();
    if (hk_) return nullptr;
    auto login = std::make_shared<VTATradeLoginViewController>();
    return pushViewController(login) ? login : nullptr;
}

void VTAActAccViewController::requestSalesDepartment() { sendRequest(kBranchTag, branchListRequest(), 3); }

void VTAActAccViewController::branchesArrived(const RequestReply& reply) {
    auto list = branchesFromReply(reply);
    if (!list) {
        showAlert(kBranchListRefusedText);
        return;
    }
    branches_ = std::move(*list);
    showTheFilteredSaleDepartmentName();
}

void VTAActAccViewController::showTheFilteredSaleDepartmentName() {
    if (branches_.empty() || !pageControl_) return;
    const int page = pageControl_->currentPage();
    auto account = accManager().accountAtIndex(page);
    auto cardView = paging_->viewWithTag(2000 + page);
    if (!account || !cardView) return;
    if (auto label =
            std::dynamic_pointer_cast<UILabel>(cardView->viewWithTag(VTAAccountViewController::kBranchLabelTag)))
        label->setText(branchName(branches_, account->yybCode()));
}

void VTAActAccViewController::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
    const double width = scrollView.bounds().size.width > 0 ? scrollView.bounds().size.width : kPageWidth;
    const double x = scrollView.contentOffset().x;
    pageControl_->setCurrentPage(static_cast<int>(std::fabs(x) / width));
    scrollView.setContentOffset(CGPointMake(std::ceil(x / kPageWidth) * kPageWidth, 0));
    showTheFilteredSaleDepartmentName();
}
