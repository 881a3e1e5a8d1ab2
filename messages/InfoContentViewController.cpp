#include "messages/InfoContentViewController.h"

#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/NewsContract.h"
#include "messages/NewsTexts.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "ui/Alerts.h"

namespace {

constexpr double kHeadLine = 22;

std::shared_ptr<UILabel> label(const CGRect& frame, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color,
                               UITextAlignment align) {
    auto l = std::make_shared<UILabel>(frame);
    l->setFont(std::move(font));
    l->setTextColor(std::move(color));
    l->setTextAlignment(align);
    l->setBackgroundColor(UIColor::clearColor());
    return l;
}

}  // namespace

InfoContentViewController::InfoContentViewController() {
    bindRequest(kArticleTag, [this](const RequestReply& reply) { showArticle(reply); }, {.handlesErrorSet = true});
}

void InfoContentViewController::viewWillDidLoad() {
    hideToolBar();
    scrollView_ = std::make_shared<UIScrollView>(contentView()->frame());
    scrollView_->setScrollEnabled(true);
    // Black, as the news lists: the article's light texts are made for it.
    scrollView_->setBackgroundColor(UIColor::blackColor());
    contentView()->addSubview(scrollView_);
    titleLabel_ = label(CGRectMake(20, 10, 280, kHeadLine), UIFont::boldSystemFontOfSize(18),
                        UIColor::colorWithRed(0.89, 0.863, 0.851, 1), UITextAlignment::Center);
    titleLabel_->setNumberOfLines(0);
    titleLabel_->setLineBreakMode(UILineBreakMode::WordWrap);
    timeLabel_ =
        label(CGRectMake(10, 36, 300, 12), UIFont::systemFontOfSize(12), UIColor::grayColor(), UITextAlignment::Center);
    separateView_ = std::make_shared<UIView>(CGRectMake(20, 52, 280, 1));
    separateView_->setBackgroundColor(UIColor::colorWithRed(0.2, 0.2, 0.2, 1));
    contentLabel_ = label(CGRectMake(10, 60, 300, 300), UIFont::systemFontOfSize(18),
                          UIColor::colorWithRed(0.78, 0.753, 0.741, 1), UITextAlignment::Left);
    contentLabel_->setNumberOfLines(0);
    contentLabel_->setLineBreakMode(UILineBreakMode::WordWrap);
    for (const auto& v : std::vector<std::shared_ptr<UIView>>{titleLabel_, timeLabel_, separateView_, contentLabel_})
        scrollView_->addSubview(v);
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        UIBarButtonSystemItem::Search, this, [this](UIBarButtonItem&) { doSearchStock(); }));
}

void InfoContentViewController::viewDidLoad() {
    VTAViewControllers::viewDidLoad();
    if (!infoContentId_.empty()) {
        recordNewsRead(infoContentId_);
        VTAUserDefoult::standerDefoult().save();
    }
}

void InfoContentViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    requestDigest();
}

bool InfoContentViewController::requestDigest() {
    std::string text = contentUrl_;
    if (text.empty()) {
        text = newsLinkRequest(viewMenu().get(), viewMessage().get());
        std::string typeId = VTAUserDefoult::standerDefoult().getStringForKey(kNewsTypeIdKey).value_or("");
        if (!text.empty() && !typeId.empty()) text += "&" + std::string(NewsContract::Key::kCategoryId) + "=" + typeId;
    }
    if (text.empty()) return false;
    return sendRequest(kArticleTag, text, 3);
}

void InfoContentViewController::doSearchStock() { showStockFinder(); }

void InfoContentViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kNewsNoDataTitle, kNewsNoDataText);
        return;
    }
    VTAViewControllers::requestDidFail(failure);
}

void InfoContentViewController::showArticle(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(kNewsNoDataTitle, kNewsNoDataText);
        return;
    }
    if (contentTitle_.empty() && !set->isEOF())
        contentTitle_ = set->toStringWithFieldName(NewsContract::Col::kTitle).value_or("");
    layoutHead();
    if (set->isError()) {
        showContent(set->getError());
        return;
    }
    showContent(set->isEOF() ? kNoArticleText : newsArticleText(*set));
}

void InfoContentViewController::layoutHead() {
    double top = 60;
    if (!contentTitle_.empty()) {
        titleLabel_->setText(contentTitle_);
        const double height = sizeWithFont(contentTitle_, *UIFont::boldSystemFontOfSize(18), CGSizeMake(280, 9999),
                                           UILineBreakMode::WordWrap)
                                  .height;
        const double down = height > kHeadLine ? kHeadLine : 0;
        titleLabel_->setFrame(CGRectMake(20, 10, 280, kHeadLine + down));
        titleLabel_->setTextAlignment(down > 0 ? UITextAlignment::Left : UITextAlignment::Center);
        timeLabel_->setFrame(CGRectMake(10, 36 + down, 300, 12));
        separateView_->setFrame(CGRectMake(20, 52 + down, 280, 1));
        timeLabel_->setText(newsTimeLine(source_, time_));
        top = 60 + down;
    } else {
        titleLabel_->removeFromSuperview();
        timeLabel_->removeFromSuperview();
        separateView_->removeFromSuperview();
        top = 10;
    }
    CGRect f = contentLabel_->frame();
    contentLabel_->setFrame(CGRectMake(f.origin.x, top, f.size.width, f.size.height));
}

void InfoContentViewController::showContent(const std::string& text) {
    contentLabel_->setText(text);
    const double height =
        sizeWithFont(text, *UIFont::systemFontOfSize(18), CGSizeMake(300, 99999), UILineBreakMode::WordWrap).height;
    CGRect f = contentLabel_->frame();
    contentLabel_->setFrame(CGRectMake(f.origin.x, f.origin.y, f.size.width, height));
    // Never wider than the view: the page scrolls only vertically.
    scrollView_->setContentSize(CGSizeMake(scrollView_->frame().size.width, height + 80));
}
