#include "trade/VTAAccountViewController.h"

#include "core/Utilities.h"
#include "core/VTAAccount.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"

namespace {

std::shared_ptr<UILabel> cardLabel(UIView& card, const CGRect& frame, const std::string& text, bool value) {
    auto l = std::make_shared<UILabel>(frame);
    l->setText(text);
    l->setTextColor(UIColor::whiteColor());
    l->setFont(UIFont::systemFontOfSize(17));
    l->setBackgroundColor(UIColor::clearColor());
    if (value) {
        l->setTextAlignment(UITextAlignment::Right);
        l->setAdjustsFontSizeToFitWidth(true);
    }
    card.addSubview(l);
    return l;
}

}  // namespace

std::string VTAAccountViewController::BuildCompleteZh(const std::string& account, const std::string& yybCode,
                                                      const std::string& type) {
    return normalizeTokenAccount(account, yybCode, type);
}

void VTAAccountViewController::loadView() {
    auto card = std::make_shared<UIView>(CGRectMake(0, 0, 320, 400));
    card->setBackgroundColor(UIColor::blackColor());
    auto pad = std::make_shared<UIImageView>(UIImage::imageNamed("modePad.png"));
    pad->setFrame(CGRectMake(9, -12, 302, 393));
    card->addSubview(pad);
    cardLabel(*card, CGRectMake(38, 26, 96, 24), "帐户名称：", false);
    cardLabel(*card, CGRectMake(38, 65, 96, 24), "帐       号：", false);
    cardLabel(*card, CGRectMake(38, 104, 96, 24), "营  业  部：", false);
    cardLabel(*card, CGRectMake(38, 153, 96, 24), "登录时间：", false);
    accName_ = cardLabel(*card, CGRectMake(142, 26, 141, 24), "", true);
    accId_ = cardLabel(*card, CGRectMake(142, 65, 141, 24), "", true);
    accYYBName_ = cardLabel(*card, CGRectMake(142, 104, 141, 24), "", true);
    accYYBName_->setTag(kBranchLabelTag);
    loginTime_ = cardLabel(*card, CGRectMake(142, 155, 141, 24), "", true);
    loginBtn_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    loginBtn_->setFrame(CGRectMake(34, 200, 249, 37));
    loginBtn_->setTitle("注 销");
    loginBtn_->setFont(UIFont::boldSystemFontOfSize(15));
    card->addSubview(loginBtn_);
    checkBtn_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    checkBtn_->setFrame(CGRectMake(34, 262, 249, 99));
    card->addSubview(checkBtn_);
    setView(card);
    refresh();
}

void VTAAccountViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    refresh();
}

void VTAAccountViewController::loadAccount(std::shared_ptr<VTAAccount> account) {
    account_ = std::move(account);
    view();
    refresh();
}

void VTAAccountViewController::refresh() {
    if (!accName_) return;
    const VTAAccount* a = account_.get();
    accName_->setText(a ? a->accUserName() : "");
    accId_->setText(a ? BuildCompleteZh(a->accID(), a->yybCode(), a->accTypeCode()) : "");
    loginTime_->setText(a ? a->lastLoginTime() : "");
    checkBtn_->setImage(UIImage::imageNamed(a && a->isSelected() ? "checkFace.png" : "uncheckFace.png"));
    const bool usable = !a || a->isLogon();
    loginBtn_->setEnabled(usable);
    checkBtn_->setEnabled(usable);
}
