#pragma once
// The base of the newer bank forms (bank-securities transfer, bank balance,
// fund-account transfer): a BankForm working from the screen's copy of the
// bank bindings (GTPBankList: taken on appearing, given up on leaving). While
// the form holds no binding a tap on a row, or the form's action, only tells
// the customer "银行信息获取中，请稍后再试": nothing indexes an empty list.
#include "trade/BankForm.h"
#include "trade/GTPBankChoice.h"
#include "trade/GTPBankList.h"

class GTPBankForm : public BankForm {
public:
    const std::vector<GTPBankInfo>& bankData() const { return bankData_.items(); }

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

protected:
    explicit GTPBankForm(double editingOffset);

    // The form's list changed; the form reloads after it.
    virtual void bankListChanged() {}
    // Shows "银行信息获取中，请稍后再试" while the form holds no binding; answers whether it holds some.
    bool hasBindings();
    // Strips of the bank names of the bindings, of the fund accounts of the
    // chosen bank, and of the currencies.
    TradePickerStrip* addBankStrip(std::function<void(int)> picked);
    TradePickerStrip* addFundStrip(const GTPBankChoice& choice, std::function<void(int)> picked);
    TradePickerStrip* addCurrencyStrip(std::function<void(int)> picked);

    GTPBankList bankData_;
};
