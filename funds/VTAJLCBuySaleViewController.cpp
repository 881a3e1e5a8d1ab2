#include "funds/VTAJLCBuySaleViewController.h"

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "funds/FundRules.h"
#include "funds/WealthRules.h"
#include "platform/uikit/UIAlertView.h"
#include "ui/Alerts.h"

const char* const VTAJLCBuySaleViewController::kNoticeText =
    "尊敬的客户：\n   "
    "感谢您对本集合计划的关注，在您做出投资决策前，本公司郑重提醒您：\n本集合计划的管理人和托管人不保证"
    "本集合计划一定盈利，也不保证最低收益。\n在您参与本集合计划前，请充分考虑自身的风险承受能力、收益预期、资金投\n资期"
    "限"
    "等几个方面的因素，慎重做出投资决策。请您参与前仔细阅读产品说明\n书以及合同等有关法律文件，明确知晓参与费用以及业绩"
    "报酬"
    "、风险揭示等条\n款，并联系当地恒岳证券网点，将有专人为您办理签署集合计划合同及参与手\n续。";

std::shared_ptr<UITableViewCell> VTAJLCBuySaleViewController::formCell(int row) {
    return VTAJJBuySaleViewController::formCell(row + 1);  // no list of funds here
}

void VTAJLCBuySaleViewController::viewDidAppear(bool animated) {
    FundForm::viewDidAppear(animated);  // no code handed over through the user defaults
    auto message = viewMessage();
    if (!message || message->type() != 1) return;
    auto plan = message->dataStock();
    if (!plan || plan->code().empty()) return;
    fundCode()->setText(plan->code());
    if (!isOrdering()) requestFundTrade();
}

std::string VTAJLCBuySaleViewController::orderRefusal() {
    if (fundCode()->getText().empty()) return kNoFundCodeText;
    return planAmountRefusal(tradePrice()->getText());
}

void VTAJLCBuySaleViewController::onCommandOK() {
    if (isOrdering()) return;
    if (isViewLoaded()) view()->endEditing(true);
    if (std::string refusal = orderRefusal(); !refusal.empty()) {
        showAlert(refusal);
        return;
    }
    strCommandOK_ = orderSummary();
    alertWithDelegate(kNoticeTitle, kNoticeAlertTag)->setMessage(kNoticeText);
}

void VTAJLCBuySaleViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (alert.tag() == kNoticeAlertTag) {
        if (buttonIndex == 0) showConfirmation(strCommandOK_);
        return;
    }
    VTAJJBuySaleViewController::alertViewClickedButtonAtIndex(alert, buttonIndex);
}

std::string VTAJLCBuySaleViewController::successText() const {
    return tradeType() == kSubscriptionType ? "认购已提交，请在当日委托中查询" : "申购已提交，请在当日委托中查询";
}

void VTAJLCBuySaleViewController::orderSucceeded(const RequestReply&) {
    tradePrice()->setText("");
    showAlert(successText());  // the form stays for another order
}
