#include "messages/MEDetailViewController.h"

#include <algorithm>
#include <cmath>

#include "core/QZUtil.h"
#include "core/Utilities.h"
#include "core/VTAStock.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "core/storage/QZMessageExpress.h"
#include "messages/MEWebViewController.h"
#include "messages/MessageTexts.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIPageControl.h"
#include "platform/uikit/UIScreen.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"

namespace {

constexpr double kPageWidth = 320;

std::shared_ptr<MessageExpressDaoImpl> store() { return DaoFactory::sharedInstance().messageExpressDao(); }

}  // namespace

MEDetailViewController::MEDetailViewController(std::shared_ptr<QZMessageExpress> message, bool isHistory)
    : messageExpress_(message ? std::move(message) : std::make_shared<QZMessageExpress>()),
      isHistoryDetail_(isHistory) {}

MEDetailViewController::~MEDetailViewController() {
    if (messageScrollView_) messageScrollView_->setDelegate(nullptr);
    if (contentTextView_) contentTextView_->setDelegate(nullptr);
    if (relateStockTableView_) {
        relateStockTableView_->setDelegate(nullptr);
        relateStockTableView_->setDataSource(nullptr);
    }
    if (deleteAlert_) deleteAlert_->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
}

void MEDetailViewController::loadView() {
    CGRect app = UIScreen::mainScreen().applicationFrame();
    const double h = app.size.height - 44;
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, app.size.width, h));
    root->setBackgroundColor(UIColor::clearColor());

    messageScrollView_ = std::make_shared<UIScrollView>(CGRectMake(0, 0, kPageWidth, h - 16));
    messageScrollView_->setPagingEnabled(true);
    messageScrollView_->setShowsHorizontalScrollIndicator(false);
    messageScrollView_->setShowsVerticalScrollIndicator(false);
    messageScrollView_->setDelaysContentTouches(true);
    // A sideways swipe on the message's text turns the page (the text itself
    // only scrolls up and down).
    messageScrollView_->setCanCancelContentTouches(true);
    messageScrollView_->setBackgroundColor(UIColor::darkGrayColor());
    root->addSubview(messageScrollView_);

    messagePageControl_ = std::make_shared<UIPageControl>(CGRectMake(0, h - 16, kPageWidth, 16));
    messagePageControl_->setCurrentPage(0);
    messagePageControl_->setHidesForSinglePage(false);
    messagePageControl_->setUserInteractionEnabled(false);
    messagePageControl_->setBackgroundColor(UIColor::blackColor());
    root->addSubview(messagePageControl_);

    const CGSize page = messageScrollView_->frame().size;
    messageDetailView_ = std::make_shared<UIView>(CGRectMake(0, 0, page.width, page.height));
    messageDetailView_->setBackgroundColor(UIColor::whiteColor());
    relateStockView_ = std::make_shared<UIView>(CGRectMake(page.width, 0, page.width, page.height));
    relateStockView_->setBackgroundColor(UIColor::groupTableViewBackgroundColor());
    messageScrollView_->addSubview(messageDetailView_);
    messageScrollView_->addSubview(relateStockView_);

    // The text starts under the head (82 points), where its first line can be read.
    contentTextView_ = std::make_shared<UITextView>(CGRectMake(0, 82, page.width, page.height - 82));
    contentTextView_->setFont(UIFont::systemFontOfSize(16));
    contentTextView_->setTextColor(UIColor::colorWithRed(0.314, 0.314, 0.314, 1));
    contentTextView_->setBackgroundColor(UIColor::clearColor());
    contentTextView_->setEditable(true);
    messageDetailView_->addSubview(contentTextView_);

    titleView_ = std::make_shared<UIImageView>(UIImage::imageNamed("content_top_bar.png"));
    titleView_->setFrame(CGRectMake(0, 0, 320, 82));
    titleView_->setUserInteractionEnabled(true);
    titleLabel_ = std::make_shared<UILabel>(CGRectMake(10, 0, 300, 36));
    titleLabel_->setBackgroundColor(UIColor::clearColor());
    titleLabel_->setFont(UIFont::boldSystemFontOfSize(20));
    titleLabel_->setTextAlignment(UITextAlignment::Center);
    titleLabel_->setTextColor(UIColor::blackColor());
    titleLabel_->setNumberOfLines(0);
    detailTitleLabel_ = std::make_shared<UILabel>(CGRectMake(4, 46, 276, 20));
    detailTitleLabel_->setBackgroundColor(UIColor::clearColor());
    detailTitleLabel_->setFont(UIFont::systemFontOfSize(12));
    detailTitleLabel_->setAdjustsFontSizeToFitWidth(true);
    detailTitleLabel_->setMinimumFontSize(10);
    detailTitleLabel_->setTextAlignment(UITextAlignment::Left);
    detailTitleLabel_->setTextColor(UIColor::darkGrayColor());
    favoriteBtn_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(280, 40, 32, 32));
    titleView_->addSubview(titleLabel_);
    titleView_->addSubview(detailTitleLabel_);
    titleView_->addSubview(favoriteBtn_);
    messageDetailView_->addSubview(titleView_);

    relateStockTableView_ =
        std::make_shared<UITableView>(CGRectMake(page.width, 0, page.width, page.height), UITableViewStyle::Grouped);
    messageScrollView_->addSubview(relateStockTableView_);
    setView(root);
}

void MEDetailViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    messageScrollView_->setDelegate(static_cast<UITableViewDelegate*>(this));
    contentTextView_->setDelegate(this);
    relateStockTableView_->setDelegate(this);
    relateStockTableView_->setDataSource(this);
    favoriteBtn_->addTarget(
        this, [this](UIControl&) { favoriteAction(); }, UIControlEventTouchUpInside);

    const CGSize page = messageScrollView_->frame().size;
    const bool twoPages = utf8Length(messageExpress_->stockCode()) >= 2;
    messageScrollView_->setContentSize(CGSizeMake(page.width * (twoPages ? 2 : 1), page.height));
    messagePageControl_->setNumberOfPages(twoPages ? 2 : 1);
    reloadScrollView();
    if (!isHistoryDetail_)
        navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
            UIBarButtonSystemItem::Trash, this, [this](UIBarButtonItem&) { deleteAction(); }));
}

void MEDetailViewController::reloadScrollView() {
    if (messagePageControl_->currentPage() == 0) {
        setTitle("信息快线");
        fillMessagePage();
        return;
    }
    setTitle("关联股票");
    auto stocks = relatedStocksOfMessage(*messageExpress_);
    if (!stocks.empty()) relateStockTableData_ = std::move(stocks);
    relateStockTableView_->reloadData();
}

void MEDetailViewController::fillMessagePage() {
    const QZMessageExpress& m = *messageExpress_;
    if (utf8Length(m.messageTitle()) >= 2) {
        titleLabel_->setText(m.messageTitle());
        titleLabel_->setTextColor(UIColor::blackColor());
    } else {
        titleLabel_->setText("无标题");
        titleLabel_->setTextColor(UIColor::colorWithRed(0.467, 0.467, 0.467, 1));
    }
    double width = sizeWithFont(titleLabel_->text(), *UIFont::boldSystemFontOfSize(20), CGSizeMake(9999, 9999),
                                UILineBreakMode::CharacterWrap)
                       .width;
    titleLabel_->setFont(UIFont::boldSystemFontOfSize(width > 300 ? 16 : 20));
    detailTitleLabel_->setText(messageDetailLine(m));
    setFavoriteImage(m.isFavorite());
    contentTextView_->setText(m.messageContent());
    if (m.messageType() == 1 || m.messageType() == 2) {
        if (!moreButton_) {
            moreButton_ = std::make_shared<UIButton>(UIButtonType::Custom);
            moreButton_->setTitle(kMoreTitle);
            moreButton_->setTitleColor(UIColor::blueColor());
            moreButton_->addTarget(
                this, [this](UIControl&) { moreAction(); }, UIControlEventTouchUpInside);
            contentTextView_->addSubview(moreButton_);
        }
        moreButton_->setFrame(CGRectMake(0, contentTextView_->contentSize().height, 160, 40));
        // The button lies under the text: the text view scrolls down to it.
        CGSize content = contentTextView_->contentSize();
        contentTextView_->setContentSize(CGSizeMake(content.width, content.height + 40));
    }
}

void MEDetailViewController::setFavoriteImage(bool favorite) {
    favoriteBtn_->setBackgroundImage(UIImage::imageNamed(favorite ? "star_enable.png" : "star.png"));
}

void MEDetailViewController::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
    if (&scrollView != messageScrollView_.get()) return;
    const double width = scrollView.frame().size.width;
    if (width <= 0) return;
    // The page the offset is nearest to, both for the dots and for the offset.
    int page = static_cast<int>(std::lround(std::fabs(scrollView.contentOffset().x) / width));
    page = std::clamp(page, 0, std::max(0, messagePageControl_->numberOfPages() - 1));
    messagePageControl_->setCurrentPage(page);
    scrollView.setContentOffset(CGPointMake(page * width, 0));
    reloadScrollView();
}

// ---------------------------------------------------------------- actions

void MEDetailViewController::favoriteAction() {
    auto dao = store();
    if (!dao) return;
    QZMessageExpress& m = *messageExpress_;
    const bool adding = !m.isFavorite();
    if (adding) {
        int max = QZUtil::maxMessageExpressAmount();
        if (max >= 1 && dao->amountOfFavoriteMessage() >= max) {
            showAlert("收藏信息失败", NSLocalizedString(kFavoriteFullKey));
            return;
        }
    }
    if (isHistoryDetail_) {
        m.setIsRead(true);
        dao->addMessageExpressItem(m);
        NSNotificationCenter::defaultCenter().postNotificationName(kFavoriteNotification, adding);
    }
    if (dao->markMessageIsFavorite(m.messageId(), adding)) {
        m.setIsFavorite(adding);
        setFavoriteImage(adding);
    }
}

void MEDetailViewController::deleteAction() {
    deleteAlert_ = std::make_shared<UIAlertView>("删除消息", "确定要删除此消息吗?", this, std::string("删除"),
                                                 std::vector<std::string>{"取消"});
    deleteAlert_->show();
}

void MEDetailViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (&alert != deleteAlert_.get() || buttonIndex != 0) return;
    auto dao = store();
    if (dao && dao->deleteMessageWithMessageId(messageExpress_->messageId())) {
        if (navigationController() && navigationController()->topViewController() == this) popViewControllers(1);
    } else {
        showAlert("", "删除失败,请稍候再试");
    }
}

void MEDetailViewController::moreAction() {
    pushViewController(std::make_shared<MEWebViewController>(messageExpress_));
}

// ---------------------------------------------------------------- related stocks

int MEDetailViewController::tableViewNumberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(relateStockTableData_.size());
}

std::shared_ptr<UITableViewCell> MEDetailViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                        const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "Cell");
    if (ip.row >= 0 && ip.row < static_cast<int>(relateStockTableData_.size())) {
        const auto& stock = relateStockTableData_[ip.row];
        cell->textLabel()->setText(stock.name() + " (" + stock.symbol() + ")");
    }
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void MEDetailViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    openRelatedStock(ip.row);
    table.deselectRowAtIndexPath(ip, true);
}

void MEDetailViewController::openRelatedStock(int index) {
    if (index < 0 || index >= static_cast<int>(relateStockTableData_.size())) return;
    const auto& related = relateStockTableData_[index];
    auto stock = std::make_shared<VTAStock>(related.symbol(), related.name(), related.marketId());
    pushViewController(VTAUIFactory::stockPageWithStocks({stock}, 0));
}
