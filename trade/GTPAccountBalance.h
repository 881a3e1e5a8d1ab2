#pragma once
// 银行余额查询: asks the balance of a bound bank account (500/67) with the
// bank password; the answer goes to the transfer history, so success says
// "请求已提交，请到转帐查询中查询!". The form (GTPBankForm): "银行", "资金帐号"
// (the fund accounts bound to that bank), "币种", "银行密码".
//
// "确定" sends at once (no confirmation), unless a query is on its way or the
// application shows network activity (another request is running); a failure
// ends the pending query, so "确定" works again.
#include <memory>
#include <string>

#include "trade/GTPBankChoice.h"
#include "trade/GTPBankForm.h"

class GTPAccountBalance : public GTPBankForm {
public:
    static constexpr int kBalanceTag = 7064;
    static constexpr double kEditingOffset = 40;

    GTPAccountBalance();

    int bankIndex() const { return choice_.bankIndex(); }
    int accountIndex() const { return choice_.fundIndex(); }
    int currencyIndex() const { return currencyIndex_; }
    const std::vector<GTPBankInfo>& selectedBankData() const { return choice_.fundsOfBank(); }
    bool isAccountBalanceQuery() const { return isAccountBalanceQuery_; }
    UITextField* passwordTextField();
    TradePickerStrip* bankPicker() const { return bankPicker_; }
    TradePickerStrip* accountPicker() const { return accountPicker_; }
    TradePickerStrip* currencyPicker() const { return currencyPicker_; }

    void pickBank(int row);
    void pickAccount(int row);
    void pickCurrency(int row);
    void onCommandOK() override;

protected:
    void makeFormViews() override;
    int rowCount() const override { return 4; }
    std::shared_ptr<UITableViewCell> cellForRow(int row) override;
    void rowTapped(int row) override;
    void bankListChanged() override;
    void requestDidFail(const RequestFailure& failure) override;

private:
    void balanceArrived(const RequestReply& reply);

    GTPBankChoice choice_{bankData_};
    int currencyIndex_ = 0;
    bool isAccountBalanceQuery_ = false;
    std::shared_ptr<UITextField> password_;
    TradePickerStrip* bankPicker_ = nullptr;
    TradePickerStrip* accountPicker_ = nullptr;
    TradePickerStrip* currencyPicker_ = nullptr;
};
