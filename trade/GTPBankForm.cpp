#include "trade/GTPBankForm.h"

#include "trade/BankTransferRules.h"
#include "ui/Alerts.h"

GTPBankForm::GTPBankForm(double editingOffset)
    : BankForm(editingOffset), bankData_([this] {
          bankListChanged();
          reloadForm();
      }) {}

void GTPBankForm::viewWillAppear(bool animated) {
    BankForm::viewWillAppear(animated);
    view();
    bankData_.appear();
}

void GTPBankForm::viewWillDisappear(bool animated) {
    BankForm::viewWillDisappear(animated);
    bankData_.disappear();
}

void GTPBankForm::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    if (!hasBindings()) {
        table.deselectRowAtIndexPath(ip, true);
        return;
    }
    rowTapped(ip.row);
}

bool GTPBankForm::hasBindings() {
    if (!bankData_.empty()) return true;
    showAlert(kBankInfoLoadingText);
    return false;
}

TradePickerStrip* GTPBankForm::addBankStrip(std::function<void(int)> picked) {
    return addStrip(
        [this] {
            std::vector<std::string> names;
            for (const auto& b : bankData()) names.push_back(b.bankName);
            return names;
        },
        std::move(picked));
}

TradePickerStrip* GTPBankForm::addFundStrip(const GTPBankChoice& choice, std::function<void(int)> picked) {
    return addStrip(
        [&choice] {
            std::vector<std::string> funds;
            for (const auto& b : choice.fundsOfBank()) funds.push_back(b.bankFundId);
            return funds;
        },
        std::move(picked));
}

TradePickerStrip* GTPBankForm::addCurrencyStrip(std::function<void(int)> picked) {
    return addStrip([] { return bankCurrencyLabels(); }, std::move(picked));
}
