#include "shell/VTAUpdateViewController.h"

#include "core/VTAParamter.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "shell/ClientIdentity.h"

namespace {
std::string sessionText(const char* key) { return VTAParamter::shareParamter().getStringForKey(key).value_or(""); }
}  // namespace

VTAUpdateViewController::VTAUpdateViewController() { setTitle("软件更新"); }

bool VTAUpdateViewController::hasNewVersion() const {
    return !sessionText("newVersionGet").empty() && !sessionText("newVersionURL").empty();
}

std::string VTAUpdateViewController::statusText() const {
    return hasNewVersion() ? "发现新版本 " + sessionText("newVersionGet") : std::string("已是最新版本");
}

bool VTAUpdateViewController::upgrade() {
    if (!hasNewVersion()) return false;
    return UIApplication::sharedApplication().openURL(sessionText("newVersionURL"));
}

void VTAUpdateViewController::viewWillDidLoad() {
    hideToolBar();
    CGRect b = contentView()->bounds();
    version_ = std::make_shared<UILabel>(CGRectMake(10, 20, b.size.width - 20, 30));
    version_->setTextAlignment(UITextAlignment::Center);
    version_->setText(std::string("当前版本：") + kClientVersion);
    status_ = std::make_shared<UILabel>(CGRectMake(10, 60, b.size.width - 20, 30));
    status_->setTextAlignment(UITextAlignment::Center);
    button_ = std::make_shared<UIButton>(UIButtonType::RoundedRect, CGRectMake(60, 110, b.size.width - 120, 40));
    button_->setTitle("立即升级");
    button_->addTarget(
        this, [this](UIControl&) { upgrade(); }, UIControlEventTouchUpInside);
    contentView()->addSubview(version_);
    contentView()->addSubview(status_);
    contentView()->addSubview(button_);
    refresh();
}

void VTAUpdateViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    refresh();
}

void VTAUpdateViewController::refresh() {
    if (!status_) return;
    status_->setText(statusText());
    button_->setHidden(!hasNewVersion());
}
