// The own-stock screen's second view: the news of the own stocks, and the
// title and chooser that switch between the views.
#include <cmath>

#include "core/RequestBuilder.h"
#include "core/VTATCRS.h"
#include "core/contracts/NewsContract.h"
#include "messages/InfoContentViewController.h"
#include "messages/InfoTitleCell.h"
#include "messages/InfoTitleViewController.h"
#include "messages/NewsTexts.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPageControl.h"
#include "platform/uikit/UIWindow.h"
#include "quotes/PortfolioStore.h"
#include "quotes/PortfolioTitleView.h"
#include "quotes/PortfolioViewController.h"
#include "shell/Navigation.h"

void PortfolioViewController::buildNewsTable() {
    CGRect frame = contentView()->bounds();
    frame.size.height += kToolbarHeight;  // the toolbar is hidden in this view
    infoTableView_ = std::make_shared<UITableView>(frame, UITableViewStyle::Plain);
    infoTableView_->setBackgroundColor(UIColor::blackColor());
    infoTableView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    infoTableView_->setDataSource(this);
    infoTableView_->setDelegate(this);
    createTableFooter();
}

// ---------------------------------------------------------------- title and chooser

void PortfolioViewController::createTitleView() {
    if (!titleView_) {
        titleView_ = std::make_shared<PortfolioTitleView>();
        titleView_->setTapAction([this] { switchAction(); });
    }
    setTitle(isInfoTableView_ ? kNewsTitle : kQuotesTitle);
    titleView_->setTitleLabelString(title());
    navigationItem()->setTitleView(titleView_);
}

void PortfolioViewController::switchAction() {
    isPoped_ = !isPoped_;
    if (isPoped_)
        showPopView();
    else
        dismissPopView();
}

void PortfolioViewController::showPopView() {
    UIWindow* window = UIApplication::sharedApplication().keyWindow();
    if (!window) return;
    if (!popView_) {
        popView_ = std::make_shared<PortfolioPopView>();
        popView_->setDelegate(this);
    }
    popView_->selectRow(currentSelectedInPopView_);
    popView_->setAlpha(0);
    popView_->setTransform(CGAffineTransformMakeScale(0.1, 0.1));
    window->addSubview(popView_);
    std::weak_ptr<UIView> pop = popView_;
    UIView::beginAnimations("fadeIn");
    UIView::setAnimationDuration(0.2);
    UIView::setAnimationDidStopSelector([pop](const std::string&, bool, void*) {
        auto view = pop.lock();
        if (!view || !view->superview()) return;
        UIView::beginAnimations("fadeInStop");
        UIView::setAnimationDuration(0.1);
        view->setTransform(CGAffineTransformMakeScale(1, 1));
        UIView::commitAnimations();
    });
    popView_->setAlpha(1);
    popView_->setTransform(CGAffineTransformMakeScale(1.05, 1.05));
    if (titleView_) titleView_->arrowView()->setTransform(CGAffineTransformMakeRotation(M_PI));
    UIView::commitAnimations();
}

void PortfolioViewController::dismissPopView() {
    if (titleView_) titleView_->arrowView()->setTransform(CGAffineTransformIdentity);
    if (!popView_ || !popView_->superview()) return;
    std::weak_ptr<UIView> pop = popView_;
    UIView::beginAnimations("fadeOut");
    UIView::setAnimationDuration(0.3);
    UIView::setAnimationDidStopSelector([pop](const std::string&, bool, void*) {
        // Opened again meanwhile: it stays.
        if (auto view = pop.lock(); view && view->alpha() < 0.5) view->removeFromSuperview();
    });
    popView_->setAlpha(0.1);
    popView_->setTransform(CGAffineTransformMakeScale(0.1, 0.1));
    UIView::commitAnimations();
}

void PortfolioViewController::removePopView() {
    if (popView_) popView_->removeFromSuperview();
    isPoped_ = false;
    if (titleView_) titleView_->arrowView()->setTransform(CGAffineTransformIdentity);
}

void PortfolioViewController::selectedPopTableViewRow(int row) {
    currentSelectedInPopView_ = row == 1 ? 1 : 0;
    showInfoView(row == 1);
    isPoped_ = false;
    dismissPopView();
}

void PortfolioViewController::showInfoView(bool news) {
    isInfoTableView_ = news;
    const auto& shown = news ? infoTableView_ : tableView_;
    (news ? tableView_ : infoTableView_)->removeFromSuperview();
    if (news)
        hideToolBar();
    else
        showToolBar();
    shown->setFrame(contentView()->bounds());
    contentView()->addSubview(shown);
    shown->reloadData();
    setTitle(news ? kNewsTitle : kQuotesTitle);
    if (titleView_) titleView_->setTitleLabelString(title());
    if (!news) return registerAutoRefresh();
    stopAutoRefreshTimer();
    // The next page, unless one is on its way (the same page would come twice).
    if (!isLoadingInfo_) loadMoreTableDataBegin();
}

// ---------------------------------------------------------------- pages

void PortfolioViewController::requestPortfolioMessage() {
    refreshPortfolioData();
    RequestBuilder page(NewsContract::kStocksHeadlines);
    page.add(NewsContract::Key::kPosition, postStr_)
        .add(NewsContract::Key::kCount, kNewsPageSize)
        .add(NewsContract::Key::kStockIds, joinStockIds(portfolioStocks_, ","));
    sendRequest(kNewsTag, page, 3);
}

void PortfolioViewController::newsArrived(const RequestReply& reply) {
    if (VTATCRS* set = reply.first()) {
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) {
            Digest d = digestFromRecord(*set);
            d.setTitleHeight(static_cast<float>(InfoTitleViewController::titleHeightOf(d.title())));
            infoTableData_.push_back(std::move(d));
            // A row without a cursor keeps the last one.
            std::string cursor = set->toStringWithFieldName(NewsContract::Col::kPosition).value_or("");
            if (!cursor.empty()) postStr_ = cursor;
        }
        set->fetchFirst();
    }
    infoTableView_->reloadData();
    loadMoreTableDataEnd();
}

void PortfolioViewController::createTableFooter() {
    const double width = infoTableView_->bounds().size.width;
    auto footer = std::make_shared<UIView>(CGRectMake(0, 0, width, 40));
    footer->setBackgroundColor(UIColor::clearColor());
    auto label = std::make_shared<UILabel>(CGRectMake((width - 116) / 2, 0, 116, 40));
    label->setBackgroundColor(UIColor::clearColor());
    label->setTextColor(UIColor::whiteColor());
    label->setFont(UIFont::fontWithName("Helvetica Neue", 14));
    label->setTextAlignment(UITextAlignment::Center);
    label->setText(kLoadMoreText);
    footer->addSubview(label);
    infoTableView_->setTableFooterView(footer);
}

void PortfolioViewController::loadMoreTableDataBegin() {
    isLoadingInfo_ = true;
    loadingIndicator_ = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::Gray);
    loadingIndicator_->setFrame(CGRectMake(75, 10, 20, 20));
    loadingIndicator_->startAnimating();
    if (auto& footer = infoTableView_->tableFooterView()) footer->addSubview(loadingIndicator_);
    requestPortfolioMessage();
}

void PortfolioViewController::loadMoreTableDataEnd() {
    isLoadingInfo_ = false;
    if (loadingIndicator_) loadingIndicator_->stopAnimating();
    loadingIndicator_.reset();
    createTableFooter();
}

// ---------------------------------------------------------------- rows

std::string PortfolioViewController::newsArticleRequestOf(const Digest& digest) {
    return newsArticleRequest(NewsContract::kArticle, digest);
}

std::shared_ptr<InfoContentViewController> PortfolioViewController::openNewsAtIndex(int index) {
    if (index < 0 || index >= static_cast<int>(infoTableData_.size())) return nullptr;
    const Digest& d = infoTableData_[index];
    auto article = std::make_shared<InfoContentViewController>();
    article->setInfoContentId(d.digestId());
    article->setTitle("个股资讯");
    article->setContentTitle(d.title());
    article->setContentUrl(newsArticleRequestOf(d));
    article->setSource(d.source());
    article->setTime(d.createTime());
    readIds_.insert(d.digestId());
    if (auto cell = std::dynamic_pointer_cast<InfoTitleCell>(infoTableView_->cellForRowAtIndexPath({0, index})))
        cell->setTitleColor(UIColor::grayColor());
    return pushViewController(article) ? article : nullptr;
}
