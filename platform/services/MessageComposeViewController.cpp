#include "platform/services/MessageComposeViewController.h"

#include <algorithm>
#include "platform/foundation/Clock.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"

namespace {
bool gCanSendText = true;

std::string joined(const std::vector<std::string>& items) {
    std::string s;
    for (auto& r : items) {
        if (!s.empty()) s += ", ";
        s += r;
    }
    return s;
}

// The message as a speech bubble: a rounded green box sized to the text.
class MessageBubbleView : public UIView {
public:
    using UIView::UIView;
    std::string className() const override { return "MFMessageBubble"; }
    void setLabelFrame(UILabel* label) { label_ = label; }
    void drawRect(const CGRect&) override {
        if (!label_ || label_->text().empty()) return;
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect r = CGRectInset(label_->frame(), -10, -6);
        ctx->setFillColor(0.55, 0.85, 0.45, 1);
        ctx->beginPath();
        ctx->addRoundedRect(r, 12);
        ctx->fillPath();
    }

private:
    UILabel* label_ = nullptr;
};
}  // namespace

SentMessageLog& SentMessageLog::shared() {
    static SentMessageLog log;
    return log;
}

bool SentMessageLog::send(const SentTextMessage& message) {
    messages_.push_back(message);
    return handler_ ? handler_(message) : true;
}

MFMessageComposeViewController::MFMessageComposeViewController() { setTitle("新信息"); }

MFMessageComposeViewController::~MFMessageComposeViewController() = default;

bool MFMessageComposeViewController::canSendText() { return gCanSendText; }

void MFMessageComposeViewController::setCanSendText(bool can) { gCanSendText = can; }

void MFMessageComposeViewController::setRecipients(std::vector<std::string> r) {
    recipients_ = std::move(r);
    refresh();
}

void MFMessageComposeViewController::setBody(const std::string& b) {
    body_ = b;
    refresh();
}

void MFMessageComposeViewController::loadView() {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, 320, 460));
    root->setBackgroundColor(UIColor::colorWithRed(0.86, 0.89, 0.93, 1));

    auto bar = std::make_shared<UINavigationBar>(CGRectMake(0, 0, 320, 44));
    auto item = std::make_shared<UINavigationItem>("新信息");
    item->setLeftBarButtonItem(std::make_shared<UIBarButtonItem>("取消", UIBarButtonItemStyle::Bordered, this,
                                                                 [this](UIBarButtonItem&) { cancel(); }));
    sendItem_ = std::make_shared<UIBarButtonItem>("发送", UIBarButtonItemStyle::Done, this,
                                                  [this](UIBarButtonItem&) { send(); });
    item->setRightBarButtonItem(sendItem_);
    bar->setItems({item});
    root->addSubview(bar);

    auto toRow = std::make_shared<UIView>(CGRectMake(0, 44, 320, 40));
    toRow->setBackgroundColor(UIColor::whiteColor());
    auto toLabel = std::make_shared<UILabel>(CGRectMake(8, 0, 56, 40));
    toLabel->setText("收件人:");
    toLabel->setFont(UIFont::systemFontOfSize(15));
    toLabel->setTextColor(UIColor::grayColor());
    toLabel->setBackgroundColor(UIColor::clearColor());
    toRow->addSubview(toLabel);
    recipientsLabel_ = std::make_shared<UILabel>(CGRectMake(66, 0, 246, 40));
    recipientsLabel_->setFont(UIFont::systemFontOfSize(15));
    recipientsLabel_->setBackgroundColor(UIColor::clearColor());
    toRow->addSubview(recipientsLabel_);
    root->addSubview(toRow);

    auto bubbleArea = std::make_shared<MessageBubbleView>(CGRectMake(0, 85, 320, 375));
    bubbleArea->setBackgroundColor(UIColor::clearColor());
    bodyLabel_ = std::make_shared<UILabel>(CGRectMake(100, 16, 200, 20));
    bodyLabel_->setNumberOfLines(0);
    bodyLabel_->setLineBreakMode(UILineBreakMode::CharacterWrap);
    bodyLabel_->setFont(UIFont::systemFontOfSize(16));
    bodyLabel_->setBackgroundColor(UIColor::clearColor());
    bubbleArea->addSubview(bodyLabel_);
    bubbleArea->setLabelFrame(bodyLabel_.get());
    root->addSubview(bubbleArea);

    setView(root);
    refresh();
}

void MFMessageComposeViewController::refresh() {
    if (sendItem_) sendItem_->setEnabled(!recipients_.empty() && !finished_);
    if (!recipientsLabel_ || !bodyLabel_) return;
    recipientsLabel_->setText(joined(recipients_));
    bodyLabel_->setText(body_);
    // The bubble hugs the text on the right, as a sent message does.
    auto font = bodyLabel_->font() ? bodyLabel_->font() : UIFont::systemFontOfSize(16);
    CGSize size = sizeWithFont(body_, *font, CGSizeMake(220, 330), UILineBreakMode::CharacterWrap);
    double w = std::max(20.0, size.width + 1), h = std::max(20.0, size.height);
    bodyLabel_->setFrame(CGRectMake(320 - 20 - w, 16, w, h));
    if (auto* area = bodyLabel_->superview()) area->setNeedsDisplay();
}

void MFMessageComposeViewController::send() {
    if (finished_ || recipients_.empty()) return;
    SentTextMessage message{recipients_, body_, Clock::now()};
    bool ok = gCanSendText && SentMessageLog::shared().send(message);
    finish(ok ? MessageComposeResult::Sent : MessageComposeResult::Failed);
}

void MFMessageComposeViewController::cancel() { finish(MessageComposeResult::Cancelled); }

void MFMessageComposeViewController::finish(MessageComposeResult result) {
    if (finished_) return;
    finished_ = true;
    refresh();
    // The delegate usually dismisses (and may release) this sheet: keep it alive.
    auto keep = sharedController();
    if (delegate_) delegate_->messageComposeViewControllerDidFinishWithResult(*this, result);
}
