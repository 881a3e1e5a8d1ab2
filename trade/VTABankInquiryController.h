#pragma once
// The older bank balance query (银行余额): the banks that offer the query
// come from the bank list (500/20, asked on each appearance); the query goes
// with the function numbers of the menu link ("tc_mfuncno", "tc_sfuncno";
// 500/67 by default), the trading password of the session, the chosen bank
// and currency and the bank password (closed, "不用输入银行密码！", when the
// bank does not ask for it). It is confirmed on an action sheet; success says
// "请求已提交，请到转帐查询中查询余额!". Without a bank to query the bank row and
// "确定" say "没有可查询银行".
//
// Stage (frameStatus): 0 waiting for the bank list, 1 idle, 100 a query on
// its way; a network or service failure goes back to 0, any other failure to
// 1. A reply that does not parse says "结果集构建错误".
#include <memory>
#include <string>
#include <vector>

#include "core/contracts/FunctionId.h"
#include "trade/BankForm.h"
#include "trade/VTABank.h"
#include "ui/VTATextField.h"

class UILabel;

class VTABankInquiryController : public BankForm, public VTATextFieldDelegate {
public:
    static constexpr int kBankListTag = 7069;
    static constexpr int kBalanceTag = 7070;
    static constexpr int kAwaitingList = 0;
    static constexpr int kIdle = 1;
    static constexpr int kQuerying = 100;
    static constexpr const char* kNoBankText = "没有可查询银行";
    static constexpr const char* kSubmittedText = "请求已提交，请到转帐查询中查询余额!";
    static constexpr const char* kUnreadableReplyText = "结果集构建错误";

    VTABankInquiryController();
    ~VTABankInquiryController() override;

    const std::vector<VTABank>& bankData() const { return bankData_; }
    UILabel* bankNameLabel();
    UILabel* currencyLabel();
    VTATextField* passwordField();
    TradePickerStrip* bankPicker() const { return bankPicker_; }
    TradePickerStrip* currencyPicker() const { return currencyPicker_; }

    // Shows the first bank of that name: its currency and password need.
    void setTransferInfoWithBankName(const std::string& name);
    void pickBank(int row);
    void pickCurrency(int row);
    // The balance request's function: the menu link's numbers, 500/67 when it has none.
    FunctionId balanceFunction() const;
    void onCommandOK() override;

    void viewWillAppear(bool animated) override;
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;

protected:
    void makeFormViews() override;
    int rowCount() const override { return 3; }
    std::shared_ptr<UITableViewCell> cellForRow(int row) override;
    void rowTapped(int row) override;
    void confirmed() override;
    void requestDidFail(const RequestFailure& failure) override;

private:
    void bankListArrived(const RequestReply& reply);
    void balanceArrived(const RequestReply& reply);
    std::vector<std::string> bankNames() const;
    const VTABank* firstBankNamed(const std::string& name) const;

    std::vector<VTABank> bankData_;
    std::shared_ptr<UILabel> bankNameLabel_, currencyLabel_;
    std::shared_ptr<VTATextField> password_;
    TradePickerStrip* bankPicker_ = nullptr;
    TradePickerStrip* currencyPicker_ = nullptr;
};
