#include "shell/HomeViewController.h"

#include <algorithm>
#include <cmath>

#include "core/MenuFunctions.h"
#include "core/QZUtil.h"
#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/VTAFloat.h"
#include "core/VTAMenu.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "core/contracts/SystemContract.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/QZMessageExpress.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/graphics/CGContext.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "shell/Navigation.h"
#include "shell/PushHandling.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTAUIFactory.h"
#include "ui/CustomBadge.h"
#include "ui/Palette.h"

namespace {

constexpr double kInfoTop = 0, kInfoHeight = 64;
constexpr double kQuoteTop = 66, kRowHeight = 22;
constexpr double kMessageTop = 176;
constexpr double kBoardTop = 262, kBoardHeight = 136;
constexpr double kCellWidth = 80, kCellHeight = 68;

// The marks under the board: one dot per page, the current one bright.
class PageDots : public UIView {
public:
    using UIView::UIView;
    std::string className() const override { return "PageDots"; }
    void setPages(int pages, int current) {
        pages_ = pages;
        current_ = current;
        setNeedsDisplay();
    }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx || pages_ < 2) return;
        double size = 7, gap = 9;
        double total = pages_ * size + (pages_ - 1) * gap;
        double x = (bounds().size.width - total) / 2, y = (bounds().size.height - size) / 2;
        for (int i = 0; i < pages_; ++i) {
            ctx->setFillColor(*(i == current_ ? UIColor::whiteColor() : UIColor::colorWithWhite(1, 0.35)));
            ctx->fillEllipseInRect(CGRectMake(x + i * (size + gap), y, size, size));
        }
    }

private:
    int pages_ = 0, current_ = 0;
};

// A tile of the board: the icon the menu names above the item's title, both
// inside the tile (the title's size shrinks for a long one). Without an icon
// the title stands in the middle.
class BoardTile : public UIButton {
public:
    static constexpr double kGap = 2, kTitleInset = 3;
    BoardTile(const CGRect& frame, const VTAMenu& item) : UIButton(UIButtonType::Custom, frame) {
        setCornerRadius(10);
        setTitle(item.title());
        setTitleColor(UIColor::whiteColor());
        auto font = UIFont::boldSystemFontOfSize(13);
        setFont(font->fontWithSize(fittingFontSize(item.title(), *font, frame.size.width - 2 * kTitleInset, 8)));
        if (!item.icon().empty()) setImage(UIImage::imageNamed(item.icon()));
    }
    std::string className() const override { return "BoardTile"; }
    void layoutSubviews() override {
        UIButton::layoutSubviews();
        auto icon = currentImage();
        if (!icon) return;
        CGRect b = bounds();
        CGSize is = icon->size();
        double titleHeight = titleLabel()->font()->lineHeight();
        double top = std::max(0.0, (b.size.height - is.height - kGap - titleHeight) / 2);
        imageView()->setFrame(CGRectMake((b.size.width - is.width) / 2, top, is.width, is.height));
        titleLabel()->setTextAlignment(UITextAlignment::Center);
        titleLabel()->setFrame(
            CGRectMake(kTitleInset, top + is.height + kGap, b.size.width - 2 * kTitleInset, titleHeight));
    }
};

std::shared_ptr<UILabel> rowLabel(const CGRect& frame, double size, UITextAlignment align,
                                  std::shared_ptr<UIColor> color) {
    auto label = std::make_shared<UILabel>(frame);
    label->setFont(UIFont::systemFontOfSize(size));
    label->setTextAlignment(align);
    label->setTextColor(std::move(color));
    label->setBackgroundColor(UIColor::clearColor());
    label->setUserInteractionEnabled(false);
    return label;
}

std::shared_ptr<UIColor> boardColor(int index) {
    static const double colors[][3] = {{0.85, 0.33, 0.25}, {0.20, 0.52, 0.85}, {0.95, 0.62, 0.15}, {0.30, 0.65, 0.35},
                                       {0.55, 0.35, 0.75}, {0.15, 0.65, 0.70}, {0.80, 0.30, 0.55}, {0.45, 0.50, 0.58}};
    const auto& c = colors[index % 8];
    return UIColor::colorWithRed(c[0], c[1], c[2], 1);
}

std::string formatChange(const std::optional<VTAFloat>& change) {
    if (!change) return "--";
    std::string text = change->toString();
    if (change->value() > 0) text = "+" + text;
    return text + "%";
}

}  // namespace

HomeViewController::HomeViewController() {
    setTitle("首页");
    bindRequest(kInfoTag, [this](const RequestReply& r) { handleInfo(r); }, {.quiet = true});
    bindRequest(kQuoteTag, [this](const RequestReply& r) { handleQuotes(r); }, {.quiet = true});
    NSNotificationCenter::defaultCenter().addObserver(this, "NewMessageExpressNotification",
                                                      [this](const NSNotification&) { newMessageExpressArrived(); });
}

HomeViewController::~HomeViewController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
    if (board_) board_->setDelegate(nullptr);
}

void HomeViewController::loadView() {
    auto view = std::make_shared<UIView>(CGRectMake(0, 0, 320, 416));
    view->setBackgroundColor(UIColor::colorWithRed(0.10, 0.11, 0.14, 1));

    // Information tabs.
    infoBar_ = std::make_shared<UIView>(CGRectMake(0, kInfoTop, 320, kInfoHeight));
    infoBar_->setBackgroundColor(UIColor::colorWithRed(0.16, 0.18, 0.24, 1));
    infoLabel_ = rowLabel(CGRectMake(8, 28, 304, 34), 13, UITextAlignment::Left, UIColor::colorWithWhite(0.92, 1));
    infoLabel_->setNumberOfLines(2);
    infoLabel_->setLineBreakMode(UILineBreakMode::TailTruncation);
    infoLabel_->setText("正在获取资讯...");
    infoBar_->addSubview(infoLabel_);
    view->addSubview(infoBar_);

    // Quotes.
    quoteHeader_ = rowLabel(CGRectMake(8, kQuoteTop, 304, 20), 13, UITextAlignment::Left, UIColor::orangeColor());
    quoteHeader_->setText("自选股");
    view->addSubview(quoteHeader_);
    quoteArea_ = std::make_shared<UIView>(CGRectMake(0, kQuoteTop + 20, 320, kMaxQuoteRows * kRowHeight));
    quoteArea_->setBackgroundColor(UIColor::clearColor());
    view->addSubview(quoteArea_);

    // Messages.
    messageHeader_ = rowLabel(CGRectMake(8, kMessageTop, 200, 20), 13, UITextAlignment::Left, UIColor::orangeColor());
    messageHeader_->setText("消息");
    view->addSubview(messageHeader_);
    badge_ = CustomBadge::customBadgeWithString("0");
    badge_->setCenter(CGPointMake(60, kMessageTop + 10));
    badge_->setHidden(true);
    view->addSubview(badge_);
    messageArea_ = std::make_shared<UIView>(CGRectMake(0, kMessageTop + 20, 320, kMaxMessageRows * kRowHeight));
    messageArea_->setBackgroundColor(UIColor::clearColor());
    view->addSubview(messageArea_);

    // The board.
    board_ = std::make_shared<UIScrollView>(CGRectMake(0, kBoardTop, 320, kBoardHeight));
    board_->setPagingEnabled(true);
    board_->setShowsHorizontalScrollIndicator(false);
    board_->setShowsVerticalScrollIndicator(false);
    board_->setDelegate(this);
    board_->setBackgroundColor(UIColor::colorWithRed(0.13, 0.15, 0.20, 1));
    view->addSubview(board_);
    pageMarks_ = std::make_shared<PageDots>(CGRectMake(0, kBoardTop + kBoardHeight, 320, 16));
    pageMarks_->setBackgroundColor(UIColor::clearColor());
    view->addSubview(pageMarks_);

    setView(view);
    buildBoard();
    layoutQuotes();
    reloadMessages();
}

void HomeViewController::viewWillAppear(bool) {
    if (navigationController()) navigationController()->setNavigationBarHidden(false);
    if (VTAUIFactory::hasAccountsPager()) {
        if (!navigationItem()->rightBarButtonItem())
            navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
                "帐号", UIBarButtonItemStyle::Bordered, this, [this](UIBarButtonItem&) { openAccountsPager(); }));
    } else {
        navigationItem()->setRightBarButtonItem(nullptr);
    }
    reloadMessages();
}

void HomeViewController::viewDidAppear(bool) {
    refresh();
    newMessageExpressArrived();
}

void HomeViewController::viewWillDisappear(bool) { cancelRequests(); }

void HomeViewController::refresh() {
    sendRequest(kInfoTag, RequestBuilder(SystemContract::kHomeInformation), 3);
    std::string ids = QZUtil::portfolioListFromDatabase();
    showingIndices_ = ids.empty();
    if (showingIndices_) ids = kDefaultIndexIds;
    if (quoteHeader_) quoteHeader_->setText(showingIndices_ ? "大盘指数" : "自选股");
    RequestBuilder quotes(QuoteContract::kSnapshot);
    quotes.add(QuoteContract::Key::kCode, ids).add(QuoteContract::Key::kField, kQuoteFields);
    sendRequest(kQuoteTag, quotes, 3);
}

// ---------------------------------------------------------------- the board

void HomeViewController::buildBoard() {
    for (auto& b : boardButtons_) b->removeFromSuperview();
    boardButtons_.clear();
    boardMenus_ = visibleMenusOfNode(-1);
    const int perPage = kColumns * kRows;
    for (size_t i = 0; i < boardMenus_.size(); ++i) {
        int page = static_cast<int>(i) / perPage, slot = static_cast<int>(i) % perPage;
        double x = page * 320 + (slot % kColumns) * kCellWidth, y = (slot / kColumns) * kCellHeight;
        auto button =
            std::make_shared<BoardTile>(CGRectMake(x + 8, y + 6, kCellWidth - 16, kCellHeight - 12), *boardMenus_[i]);
        button->setBackgroundColor(boardColor(static_cast<int>(i)));
        button->setTag(static_cast<int>(i));
        button->addTarget(
            this, [this, i](UIControl&) { openBoardItem(static_cast<int>(i)); }, UIControlEventTouchUpInside);
        board_->addSubview(button);
        boardButtons_.push_back(button);
    }
    board_->setContentSize(CGSizeMake(320.0 * boardPageCount(), kBoardHeight));
    currentPage_ = 0;
    updatePageMarks();
}

int HomeViewController::boardPageCount() const {
    const int perPage = kColumns * kRows;
    int n = static_cast<int>(boardMenus_.size());
    return std::max(1, (n + perPage - 1) / perPage);
}

UIButton* HomeViewController::boardButtonAtIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(boardButtons_.size())) return nullptr;
    return boardButtons_[index].get();
}

std::shared_ptr<UIViewController> HomeViewController::openBoardItem(int index) {
    if (index < 0 || index >= static_cast<int>(boardMenus_.size())) return nullptr;
    const auto& item = boardMenus_[index];
    if (item && stripQuery(item->link()) == kInboxLink) return openMessageInbox(item);
    return VTAUIFactory::openMenuWithTradeGate(item);
}

std::shared_ptr<UIViewController> HomeViewController::openMessageInbox(const std::shared_ptr<VTAMenu>& item) {
    std::shared_ptr<UIViewController> vc;
    if (auto factory = ScreenRegistry::shared().messageInbox()) {
        int sortType = static_cast<int>(NSUserDefaults::standardUserDefaults().integerForKey(kSortTypeKey));
        vc = factory(false, sortType);
    } else if (item) {
        return VTAUIFactory::openMenuWithTradeGate(item);
    }
    return pushViewController(vc) ? vc : nullptr;
}

std::shared_ptr<UIViewController> HomeViewController::openAccountsPager() {
    auto vc = VTAUIFactory::accountsPager(false);
    return pushViewController(vc) ? vc : nullptr;
}

void HomeViewController::updatePageMarks() {
    if (auto* dots = dynamic_cast<PageDots*>(pageMarks_.get())) dots->setPages(boardPageCount(), currentPage_);
}

void HomeViewController::scrollViewDidScroll(UIScrollView& scrollView) {
    int page = static_cast<int>(std::lround(scrollView.contentOffset().x / 320));
    page = std::clamp(page, 0, boardPageCount() - 1);
    if (page != currentPage_) {
        currentPage_ = page;
        updatePageMarks();
    }
}

void HomeViewController::scrollViewDidEndDecelerating(UIScrollView& scrollView) { scrollViewDidScroll(scrollView); }

// ---------------------------------------------------------------- information tabs

std::string HomeViewController::infoText() const { return infoLabel_ ? infoLabel_->text() : std::string(); }

void HomeViewController::selectInfoTab(int index) {
    if (index < 0 || index >= static_cast<int>(infoContents_.size())) return;
    infoIndex_ = index;
    infoLabel_->setText(infoContents_[index]);
    for (size_t i = 0; i < infoButtons_.size(); ++i)
        infoButtons_[i]->setBackgroundColor(static_cast<int>(i) == index ? UIColor::colorWithRed(0.85, 0.33, 0.25, 1)
                                                                         : UIColor::clearColor());
}

void HomeViewController::handleInfo(const RequestReply& reply) {
    if (!reply.first()) return;
    auto& set = *reply.first();
    infoTitles_.clear();
    infoContents_.clear();
    for (set.fetchFirst(); !set.isEOF() && infoTitles_.size() < 4; set.fetchNext()) {
        infoTitles_.push_back(set.toStringWithFieldName(SystemContract::Col::kTitle).value_or(""));
        infoContents_.push_back(set.toStringWithFieldName(SystemContract::Col::kContent).value_or(""));
    }
    for (auto& b : infoButtons_) b->removeFromSuperview();
    infoButtons_.clear();
    double width = infoTitles_.empty() ? 0 : 320.0 / infoTitles_.size();
    for (size_t i = 0; i < infoTitles_.size(); ++i) {
        auto b = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(i * width, 2, width, 24));
        b->setTitle(infoTitles_[i]);
        b->setTitleColor(UIColor::whiteColor());
        b->setFont(UIFont::boldSystemFontOfSize(13));
        b->addTarget(
            this, [this, i](UIControl&) { selectInfoTab(static_cast<int>(i)); }, UIControlEventTouchUpInside);
        infoBar_->addSubview(b);
        infoButtons_.push_back(b);
    }
    if (infoTitles_.empty())
        infoLabel_->setText("暂无资讯");
    else
        selectInfoTab(std::min(infoIndex_, static_cast<int>(infoTitles_.size()) - 1));
}

// ---------------------------------------------------------------- quotes

void HomeViewController::handleQuotes(const RequestReply& reply) {
    if (!reply.first()) return;
    auto& set = *reply.first();
    quoteStocks_.clear();
    quotePrices_.clear();
    quoteChanges_.clear();
    quoteSigns_.clear();
    for (set.fetchFirst(); !set.isEOF() && quoteStocks_.size() < kMaxQuoteRows; set.fetchNext()) {
        auto stock = std::make_shared<VTAStock>(set.toStringWithFieldName(QuoteContract::Col::kCode).value_or(""),
                                                set.toStringWithFieldName(QuoteContract::Col::kName).value_or(""),
                                                static_cast<int>(set.toIntWithFieldName(QuoteContract::Col::kMarket)));
        // The quote page gives an index two pages only.
        if (set.fieldsIndexWithName(QuoteContract::Col::kClass) >= 0)
            stock->setTypeID(static_cast<int>(set.toIntWithFieldName(QuoteContract::Col::kClass)));
        else if (showingIndices_)
            stock->setTypeID(QuoteContract::Class::kIndex);
        auto price = set.toVTAFloatWithFieldName(QuoteContract::Col::kLast);
        auto change = set.toVTAFloatWithFieldName(QuoteContract::Col::kChangePercent);
        if (price) stock->setPrice(price->toFloat());
        quoteStocks_.push_back(stock);
        quotePrices_.push_back(price ? price->toString() : "--");
        quoteChanges_.push_back(formatChange(change));
        quoteSigns_.push_back(change ? (change->value() > 0 ? 1 : change->value() < 0 ? -1 : 0) : 0);
    }
    layoutQuotes();
}

void HomeViewController::layoutQuotes() {
    if (!quoteArea_) return;
    for (auto& v : std::vector<std::shared_ptr<UIView>>(quoteArea_->subviews())) v->removeFromSuperview();
    if (quoteStocks_.empty()) {
        auto empty = rowLabel(CGRectMake(8, 0, 304, kRowHeight), 13, UITextAlignment::Left, UIColor::grayColor());
        empty->setText("正在获取行情...");
        quoteArea_->addSubview(empty);
        return;
    }
    for (size_t i = 0; i < quoteStocks_.size(); ++i) {
        auto row = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(0, i * kRowHeight, 320, kRowHeight));
        row->setBackgroundColor(UIColor::clearColor());
        auto color = colorWithCompareResult(quoteSigns_[i]);
        auto name = rowLabel(CGRectMake(8, 0, 120, kRowHeight), 14, UITextAlignment::Left, UIColor::whiteColor());
        name->setText(quoteStocks_[i]->name().empty() ? quoteStocks_[i]->code() : quoteStocks_[i]->name());
        auto price = rowLabel(CGRectMake(130, 0, 90, kRowHeight), 14, UITextAlignment::Right, color);
        price->setText(quotePrices_[i]);
        auto change = rowLabel(CGRectMake(222, 0, 90, kRowHeight), 14, UITextAlignment::Right, color);
        change->setText(quoteChanges_[i]);
        row->addSubview(name);
        row->addSubview(price);
        row->addSubview(change);
        row->addTarget(
            this, [this, i](UIControl&) { openQuoteAtIndex(static_cast<int>(i)); }, UIControlEventTouchUpInside);
        quoteArea_->addSubview(row);
    }
}

void HomeViewController::openQuoteAtIndex(int index) {
    pushViewController(VTAUIFactory::stockPageWithStocks(quoteStocks_, index));
}

// ---------------------------------------------------------------- messages

void HomeViewController::reloadMessages() {
    messages_.clear();
    if (auto dao = DaoFactory::sharedInstance().messageExpressDao())
        if (auto list = dao->listRecentMessagesWithLimit(kMaxMessageRows)) messages_ = *list;
    refreshBadge();
    layoutMessages();
}

void HomeViewController::refreshBadge() {
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    unread_ = dao ? dao->countOfUnreadMessage() : 0;
    if (unread_ == 0) UIApplication::sharedApplication().setApplicationIconBadgeNumber(0);
    if (badge_) {
        badge_->setHidden(unread_ == 0);
        badge_->setBadgeText(std::to_string(unread_));
    }
}

void HomeViewController::layoutMessages() {
    if (!messageArea_) return;
    for (auto& v : std::vector<std::shared_ptr<UIView>>(messageArea_->subviews())) v->removeFromSuperview();
    if (messages_.empty()) {
        auto empty = rowLabel(CGRectMake(8, 0, 304, kRowHeight), 13, UITextAlignment::Left, UIColor::grayColor());
        empty->setText("暂无消息");
        messageArea_->addSubview(empty);
        return;
    }
    for (size_t i = 0; i < messages_.size(); ++i) {
        const auto& m = messages_[i];
        auto row = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(0, i * kRowHeight, 320, kRowHeight));
        row->setBackgroundColor(UIColor::clearColor());
        auto title = rowLabel(CGRectMake(8, 0, 220, kRowHeight), 13, UITextAlignment::Left,
                              m->isRead() ? UIColor::lightGrayColor() : UIColor::whiteColor());
        title->setText((m->isRead() ? "" : "● ") + m->messageTitle());
        auto date = rowLabel(CGRectMake(230, 0, 82, kRowHeight), 12, UITextAlignment::Right, UIColor::grayColor());
        date->setText(m->sendDate().size() >= 10 ? m->sendDate().substr(5, 5) : m->sendDate());
        row->addSubview(title);
        row->addSubview(date);
        std::weak_ptr<QZMessageExpress> weak = m;
        row->addTarget(
            this,
            [this, weak](UIControl&) {
                if (auto message = weak.lock()) openMessage(message);
            },
            UIControlEventTouchUpInside);
        messageArea_->addSubview(row);
    }
}

bool HomeViewController::openMessage(const std::shared_ptr<QZMessageExpress>& message) {
    if (!message || !ScreenRegistry::shared().messageDetail()) return false;
    // Read before the detail is made: the detail shows the stored state.
    if (auto dao = DaoFactory::sharedInstance().messageExpressDao()) dao->markMessageIsRead(message->messageId(), true);
    message->setIsRead(true);
    auto factory = ScreenRegistry::shared().messageDetail();
    auto vc = factory(message);
    if (!vc) {
        reloadMessages();
        return false;
    }
    pushViewController(vc);
    reloadMessages();
    return true;
}

void HomeViewController::newMessageExpressArrived() {
    reloadMessages();
    auto& ud = NSUserDefaults::standardUserDefaults();
    std::string id = ud.stringForKey(kNeedPushMessageIdKey).value_or("");
    if (id.empty()) return;
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    auto message = dao ? dao->messageWithMessageId(id) : nullptr;
    if (message && openMessage(message)) ud.removeObjectForKey(kNeedPushMessageIdKey);
}

// ---------------------------------------------------------------- replies

void HomeViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kInfoTag && infoLabel_ && infoTitles_.empty()) infoLabel_->setText("资讯获取失败");
}
