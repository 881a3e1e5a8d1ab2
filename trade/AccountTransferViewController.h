#pragma once
// 资金调拨: moves an amount from one of the customer's fund accounts to
// another (500/84). The form (GTPBankForm): "主资金帐号" (the login's fund
// account), "币种", "转出帐号" and "转入帐号" (both pick among all the
// bindings, shown as "bank(fund account)"), "转帐金额". "确定" checks the
// amount ("请检查转帐金额"), asks for confirmation and sends; success says
// "请求已提交，请到帐户资金中查询!". Source and target are sent as chosen (the
// server refuses the same account twice); a failure ends the pending state.
#include <memory>
#include <string>

#include "trade/GTPBankForm.h"

class AccountTransferViewController : public GTPBankForm {
public:
    static constexpr int kTransferTag = 7065;
    static constexpr double kEditingOffset = 80;

    AccountTransferViewController();

    int transferOutIndex() const { return transferOutIndex_; }
    int transferInIndex() const { return transferInIndex_; }
    int currencyIndex() const { return currencyIndex_; }
    const std::string& mainFundId() const { return mainFundId_; }
    bool isConfirm() const { return isConfirm_; }
    UITextField* amountTextField();
    TradePickerStrip* currencyPicker() const { return currencyPicker_; }
    TradePickerStrip* transferOutPicker() const { return transferOutPicker_; }
    TradePickerStrip* transferInPicker() const { return transferInPicker_; }

    void pickCurrency(int row);
    void pickTransferOut(int row);
    void pickTransferIn(int row);
    void onCommandOK() override;

protected:
    void makeFormViews() override;
    int rowCount() const override { return 5; }
    std::shared_ptr<UITableViewCell> cellForRow(int row) override;
    void rowTapped(int row) override;
    void bankListChanged() override;
    void confirmed() override;
    void requestDidFail(const RequestFailure& failure) override;

private:
    void transferArrived(const RequestReply& reply);
    std::shared_ptr<UITableViewCell> accountCell(const std::string& title, int index);
    bool pick(int& index, int row, size_t count);

    int transferOutIndex_ = 0;
    int transferInIndex_ = 0;
    int currencyIndex_ = 0;
    std::string mainFundId_;
    bool isConfirm_ = false;
    std::shared_ptr<UITextField> amount_;
    TradePickerStrip* currencyPicker_ = nullptr;
    TradePickerStrip* transferOutPicker_ = nullptr;
    TradePickerStrip* transferInPicker_ = nullptr;
};
