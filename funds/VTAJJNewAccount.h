#pragma once
// Fund account opening ("of_jjkh", 500/44): the customer opens a new account
// with a fund company's registrar ("新开基金帐号") or registers one held
// already with the brokerage ("添加基金帐号"). A fund form (FundForm.h)
// whose order is the opening.
//
// The first appearance shows the fund-account risk disclosure; "取消" leaves,
// "确定" asks for the fund companies (500/48, kCompaniesTag) and then for the
// customer's own data (500/49, kCustomerTag): name and sex, the identity
// document, the address and post code; the phone comes from the number the
// customer registered the client with. Rows: 基金公司 (a picker), the name and
// sex, 证件类型, 证件号码, in the adding mode 基金帐号, then 联系电话, 通信地址 and
// 邮政编码.
//
// "确定" needs the customer's data ("用户信息获取错误！"), a phone of digits and
// "-" (7 to 18), an address and a six-digit post code ("请填写用户信息!"), and in
// the adding mode an account of 2 to 50 letters and digits ("请填写要添加的基金
// 账号"). The opening carries the name (twice) and the address as the
// UTF-16LE bytes of their text in lower-case hex; the id type is the one the
// brokerage knows the customer by (the identity card when it names none).
#include <map>

#include "funds/FundForm.h"
#include "funds/FundPickerSheet.h"

class UISegmentedControl;

class VTAJJNewAccount : public FundForm {
public:
    static constexpr int kCompaniesTag = 1650;
    static constexpr int kCustomerTag = 1651;
    static constexpr int kOrderTag = 1652;
    static constexpr int kCompanyPickerTag = 90;
    static constexpr const char* kDisclosureTitle = "基金开户风险揭示书";
    static const char* const kDisclosureText;
    static constexpr const char* kDoneText = "设置已提交，请在当日委托中查询。";

    VTAJJNewAccount();

    UISegmentedControl* fundSegment();
    UILabel* fundcompony();
    UILabel* userName();
    UILabel* userBase();
    UILabel* passPortType();
    UILabel* passPortNumber();
    VTATextField* phone();
    VTATextField* address();
    VTATextField* zipCode();
    VTATextField* fundSymbol();
    const std::string& componyCode() const { return componyCode_; }
    bool hasCustomerData() const { return userInfoRs_ != nullptr; }
    FundPickerSheet& pickers() { return pickers_; }
    int mode() const;

    // The request of the stage: the companies, then the customer's data.
    void requestFundNewAccount();
    void segmentAction();

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void onCommandOK() override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;
    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;

protected:
    void buildForm() override;
    int formRowCount() const override;
    std::shared_ptr<UITableViewCell> formCell(int row) override;
    void formRowTapped(int row) override;
    std::string orderRefusal() override;
    std::string orderSummary() const override;
    std::optional<RequestBuilder> orderRequest() override;
    std::string successText() const override { return kDoneText; }
    void orderSucceeded(const RequestReply& reply) override;

private:
    void companiesReplied(const RequestReply& reply);
    void customerReplied(const RequestReply& reply);
    std::string idTypeCode() const;

    bool firstLoad_ = true;
    int lastTextTag_ = 0;
    std::string componyCode_;
    std::shared_ptr<VTATCRS> fundComponyRs_, userInfoRs_;
    const std::map<std::string, std::string> passPortTypeData_{{"0", "身份证"},  {"1", "护照"}, {"2", "营业执照"},
                                                               {"3", "军官证"},  {"4", "其他"}, {"A", "组织机构代码"},
                                                               {"B", "社会团体"}};
    std::shared_ptr<UISegmentedControl> segment_;
    std::shared_ptr<UILabel> fundcompony_, userName_, userBase_, passPortType_, passPortNumber_;
    std::shared_ptr<VTATextField> phone_, address_, zipCode_, fundSymbol_;
    std::shared_ptr<UIAlertView> disclosure_;
    FundPickerSheet pickers_;
};
