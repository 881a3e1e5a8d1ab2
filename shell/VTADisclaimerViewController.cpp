#include "shell/VTADisclaimerViewController.h"

VTADisclaimerViewController::VTADisclaimerViewController() : VTATextPageViewController("免责声明", disclaimerText()) {
    setTitle("免责声明");
}

const char* VTADisclaimerViewController::disclaimerText() {
    return "一、本软件提供的行情、资讯等信息仅供参考，不构成任何投资建议。投资者据此操作，风险自担。\n"
           "二、本软件所提供的行情数据来源于证券交易所及相关信息服务商，我公司力求准确可靠，但对其准确性、"
           "完整性及及时性不作任何保证。\n"
           "三、因通讯线路故障、系统维护、网络拥堵、黑客攻击、不可抗力等原因造成的交易中断、延迟或数据错误，"
           "我公司不承担责任。\n"
           "四、请妥善保管您的交易帐号、密码及手机，因密码泄露或手机遗失造成的损失由投资者自行承担。\n"
           "五、股市有风险，投资需谨慎。";
}

void VTADisclaimerViewController::createToolbarItems() {
    if (!completion_) {
        VTATextPageViewController::createToolbarItems();
        return;
    }
    // Asked at the first start, before there is a home screen to go to: only the two answers.
    navigationItem()->setRightBarButtonItem(nullptr);
    auto no = std::make_shared<UIBarButtonItem>("不同意", UIBarButtonItemStyle::Bordered, this,
                                                [this](UIBarButtonItem&) { disagree(); });
    auto yes = std::make_shared<UIBarButtonItem>("同意", UIBarButtonItemStyle::Done, this,
                                                 [this](UIBarButtonItem&) { agree(); });
    toolbar()->setItems({no, flexibleSpaceBarBtn(), yes});
}

void VTADisclaimerViewController::finish(bool agreed) {
    if (!completion_) return;
    auto done = std::move(completion_);
    completion_ = nullptr;
    done(agreed);
}
