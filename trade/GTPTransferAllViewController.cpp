#include "trade/GTPTransferAllViewController.h"

#include <algorithm>

#include "core/RequestBuilder.h"
#include "core/contracts/BankContract.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextView.h"
#include "trade/BankTransferRules.h"
#include "ui/Alerts.h"

using namespace BankContract;

GTPTransferAllViewController::GTPTransferAllViewController() : bankData_(nullptr) {
    bindRequest(kCollectTag, [this](const RequestReply& r) { collected(r); },
                {.order = true, .unknownOutcomeText = kFundTransferSubmittedText});
}

UIButton* GTPTransferAllViewController::transferButton() {
    view();
    return button_.get();
}

UITextView* GTPTransferAllViewController::noteView() {
    view();
    return note_.get();
}

void GTPTransferAllViewController::viewWillDidLoad() {
    contentView()->setBackgroundColor(UIColor::whiteColor());
    note_ = std::make_shared<UITextView>(CGRectMake(10, 30, 300, 80));
    note_->setFont(UIFont::boldSystemFontOfSize(16));
    note_->setTextColor(UIColor::redColor());
    note_->setBackgroundColor(UIColor::clearColor());
    note_->setEditable(false);
    note_->setUserInteractionEnabled(false);
    note_->setText("说明：执行此操作，系统会将您所有辅助资金帐户的人民币资金全部转到主资金帐户下。");
    contentView()->addSubview(note_);

    button_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    button_->setFrame(CGRectMake(24, 260, 272, 40));
    button_->setTitle("一键转帐");
    button_->setTitleColor(UIColor::whiteColor());
    button_->titleLabel()->setFont(UIFont::systemFontOfSize(20));
    button_->setBackgroundImage(UIImage::imageNamed("GTPTransferAll_Normal.png"));
    button_->setBackgroundImage(UIImage::imageNamed("GTPTransferAll_Highlighted.png"), UIControlStateHighlighted);
    button_->addTarget(
        this, [this](UIControl&) { onCommandOK(); }, UIControlEventTouchUpInside);
    contentView()->addSubview(button_);
}

void GTPTransferAllViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton()});
}

void GTPTransferAllViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    bankData_.appear();
}

void GTPTransferAllViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    bankData_.disappear();
}

void GTPTransferAllViewController::onCommandOK() {
    if (bankData_.empty()) {
        showAlert(kBankInfoLoadingText);
        return;
    }
    if (isConfirm_) return;
    const auto& list = bankData_.items();
    auto main = std::find_if(list.begin(), list.end(), [](const GTPBankInfo& b) { return b.isMainFunId; });
    if (main == list.end()) {
        showAlert(kNoMainAccountText);
        return;
    }
    RequestBuilder request = RequestBuilder::trade(kFundTransfer.sub);  // with the login's fund account
    request.add(Key::kOutFundId, BankContract::Value::kAllSecondary)
        .add(Key::kInFundId, main->bankFundId)
        .add(Key::kMoneyType, Currency::kRMB)
        .add(Key::kCollectAmount, 0);
    if (sendRequest(kCollectTag, request, 4)) isConfirm_ = true;
}

void GTPTransferAllViewController::collected(const RequestReply&) {
    isConfirm_ = false;
    showAlert(kFundTransferSubmittedText);
}

void GTPTransferAllViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kCollectTag) isConfirm_ = false;
    VTAViewControllers::requestDidFail(failure);
}
