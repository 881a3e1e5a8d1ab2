#pragma once
// The older bank transfer (银行转证券 / 证券转银行): direction 1 moves money
// from the bank to the login's fund account, direction 2 back; the menu item
// titled "证券转银行" opens direction 2. It works from its own bank list
// (500/20, asked on appearing until it arrived): the banks offering the
// direction, each in its currencies.
//
// Rows: "选择银行" (the bank names), "币  种" (the chosen bank's currencies),
// "银行密码" or "资金密码" (open only when the chosen bank in the chosen
// currency asks for it: "请输入银行密码！" / "不用输入银行密码！" ...), and
// "转帐金额" (in 元). "确定" checks the amount ("请检查转帐金额"), asks for
// confirmation and sends 500/21 with the bank code of the chosen bank and
// currency ("银行信息有误" when the bank does not offer that currency: nothing
// is sent) and the password only when it is asked. Success says
// "请求已提交，请到转帐查询中查询!"; any failure ends the pending transfer.
#include <memory>
#include <string>
#include <vector>

#include "trade/BankForm.h"
#include "trade/VTABank.h"
#include "ui/VTATextField.h"

class UILabel;

class VTATransferController : public BankForm, public VTATextFieldDelegate {
public:
    static constexpr int kBankListTag = 7067;
    static constexpr int kTransferTag = 7068;
    static constexpr const char* kBankInfoWrongText = "银行信息有误";

    explicit VTATransferController(int direction);
    static std::shared_ptr<VTATransferController> initWithDirection(int direction) {
        return std::make_shared<VTATransferController>(direction);
    }
    ~VTATransferController() override;

    int direction() const { return direction_; }
    bool hasBankList() const { return listArrived_; }
    const std::vector<std::string>& userBankNames() const { return userBankNames_; }
    const std::vector<std::string>& curencyNames() const { return curencyNames_; }
    bool needPwd() const { return needPwd_; }
    bool sureToTransfer() const { return sureToTransfer_; }
    UILabel* bankName();
    UILabel* currency();
    VTATextField* password();
    VTATextField* money();
    TradePickerStrip* bankPicker() const { return bankPicker_; }
    TradePickerStrip* currencyPicker() const { return currencyPicker_; }

    // Chooses the bank userBankNames()[index] (its first currency).
    void chooseBank(int index);
    void pickCurrency(int row);
    // Shows the bank of a bank key ("name.currency") and the password it asks for.
    void setTransferInfoWithBankName(const std::string& bankKey);
    // The code of the bank of that name in that currency ("" when there is none).
    std::string bankCodeForKey(const std::string& name, const std::string& currencyCode) const;
    void onCommandOK() override;

    void viewWillAppear(bool animated) override;
    void myTextFieldDidShowKeyboard(VTATextField& field) override { closeStrips(); }

protected:
    void makeFormViews() override;
    int rowCount() const override { return 4; }
    std::shared_ptr<UITableViewCell> cellForRow(int row) override;
    void rowTapped(int row) override;
    void confirmed() override;
    void requestDidFail(const RequestFailure& failure) override;

private:
    void bankListArrived(const RequestReply& reply);
    void transferArrived(const RequestReply& reply);
    void transfer();
    const VTABank* bankOfKey(const std::string& key) const;
    int currencyRow() const;

    int direction_;
    bool listArrived_ = false;
    std::vector<VTABank> userBanks_;  // one per bank key, in first-seen order
    std::vector<std::string> userBankNames_;
    std::vector<std::string> curencyNames_;
    int bankRow_ = 0;
    bool needPwd_ = false;
    bool sureToTransfer_ = false;
    std::shared_ptr<UILabel> bankName_, currency_;
    std::shared_ptr<VTATextField> password_, money_;
    TradePickerStrip* bankPicker_ = nullptr;
    TradePickerStrip* currencyPicker_ = nullptr;
};
