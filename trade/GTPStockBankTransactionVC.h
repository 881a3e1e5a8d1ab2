#pragma once
// 银证转帐: moves money between a bank account and the fund account bound to
// it, in the direction of the segmented control: 0 "银行转证券" (with the
// bank password), 1 "证券转银行" (with the fund password, after the
// transferable amount, 500/85, shown as "可转金额").
//
// The form (GTPBankForm): "选择银行" (one row per binding, by bank name),
// "资金帐号" (the fund accounts bound to the chosen bank), "币种", then in
// direction 0 "银行密码 " and "转帐金额", in direction 1 "可转金额", "资金密码"
// and "转帐金额". In direction 1 the transferable amount is asked on switching
// to it, after every pick and when the bindings arrive; a newer ask while one
// is on its way is sent once that one lands, so the amount shown is always
// the one of the choice shown.
//
// "确定" checks the amount ("请检查转帐金额"), asks for confirmation and sends
// 500/21 (the login's fund account, then the chosen one); its success says
// "请求已提交，请到转帐查询中查询!". The query and the transfer have tags of
// their own; a failure of either ends its pending state, so "确定" works again.
#include <memory>
#include <string>

#include "trade/GTPBankChoice.h"
#include "trade/GTPBankForm.h"

class UISegmentedControl;

class GTPStockBankTransactionVC : public GTPBankForm {
public:
    static constexpr int kTransferableTag = 7062;
    static constexpr int kTransferTag = 7063;
    static constexpr double kEditingOffset = 120;

    GTPStockBankTransactionVC();

    int segmentIndex() const { return segmentIndex_; }
    UISegmentedControl* segment();
    int bankIndex() const { return choice_.bankIndex(); }
    int fundIndex() const { return choice_.fundIndex(); }
    int currencyIndex() const { return currencyIndex_; }
    const std::vector<GTPBankInfo>& selectedBankData() const { return choice_.fundsOfBank(); }
    const std::string& avaliableAmount() const { return avaliableAmount_; }
    bool isConfirm() const { return isConfirm_; }
    bool isAvaliableQuery() const { return isAvaliableQuery_; }
    UITextField* passwordTextField();
    UITextField* amountTextField();
    TradePickerStrip* bankPicker() const { return bankPicker_; }
    TradePickerStrip* fundPicker() const { return fundPicker_; }
    TradePickerStrip* currencyPicker() const { return currencyPicker_; }

    void segmentAction(int index);
    void pickBank(int row);
    void pickFund(int row);
    void pickCurrency(int row);
    void onCommandOK() override;

protected:
    void makeFormViews() override;
    int rowCount() const override { return segmentIndex_ == 0 ? 5 : 6; }
    std::shared_ptr<UITableViewCell> cellForRow(int row) override;
    void rowTapped(int row) override;
    void bankListChanged() override;
    void confirmed() override;
    void requestDidFail(const RequestFailure& failure) override;

private:
    void queryTransferable();
    void transferableArrived(const RequestReply& reply);
    void transferArrived(const RequestReply& reply);
    void afterPick();

    int segmentIndex_ = 0;
    GTPBankChoice choice_{bankData_};
    int currencyIndex_ = 0;
    std::string avaliableAmount_;
    bool isConfirm_ = false;
    bool isAvaliableQuery_ = false;
    bool askAgain_ = false;  // the choice changed while a query was on its way
    std::shared_ptr<UISegmentedControl> segment_;
    std::shared_ptr<UITextField> password_, amount_;
    TradePickerStrip* bankPicker_ = nullptr;
    TradePickerStrip* fundPicker_ = nullptr;
    TradePickerStrip* currencyPicker_ = nullptr;
};
