#include "funds/VTAJJNewAccount.h"

#include <algorithm>

#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/WealthContract.h"
#include "funds/FundRules.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISegmentedControl.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace Key = WealthContract::Key;
namespace Col = WealthContract::Col;

const char* const VTAJJNewAccount::kDisclosureText =
    "1、本开户系统仅适用于个人开放式基金帐户开户。\n2、恒岳证券仅作为基金代理销售机构，对所代理基金的业绩不作任何保证和"
    "承诺。"
    "各类基金委托业务以注册登记机构确认结果为准，请于T+"
    "2日后（T日为委托日，以上均指交易日）查询确认结果。\n3、您已仔细阅读基金产品"
    "法律文件并确认接受其强制性法律效力。\n4、您了解自身风险承受能力并自愿承担投资风险。请投资与风险承受能力相匹配的产"
    "品。\n5、您自愿"
    "申请办理恒岳证券代理的上述基金业务，并保证所提供的资料真实准确、完整有效。\n6、您已阅读《网上交易风险提示》。请注"
    "意防范因信息安全、"
    "异常操作、系统故障等因素而产生的风险，并妥善保管自己帐户密码、证书等身份数据。您可通过第三方核实我公司信息。\n7、"
    "您已阅读《基金投资"
    "者权益须知》，并完全了解和接受其内容。";

namespace {

constexpr const char* kPhoneNumberKey = "your phone number";  // the number the client was registered with
constexpr const char* kNoCustomerTitle = "用户信息获取错误！";
constexpr const char* kNoCustomerMessage = "请返回上级页面，再次进入。";
constexpr const char* kIncompleteText = "请填写用户信息!";
constexpr const char* kNoAccountText = "请填写要添加的基金账号";

bool allOf(const std::string& s, const char* chars) {
    return !s.empty() && s.find_first_not_of(chars) == std::string::npos;
}

std::shared_ptr<UILabel> label(double width, double height, UITextAlignment alignment,
                               std::shared_ptr<UIColor> color = nullptr) {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, width, height));
    l->setFont(defaultFont());
    l->setTextAlignment(alignment);
    l->setBackgroundColor(UIColor::clearColor());
    if (color) l->setTextColor(std::move(color));
    return l;
}

}  // namespace

VTAJJNewAccount::VTAJJNewAccount()
    : FundForm(kOrderTag, false), pickers_([this](int, int row) {
          if (!fundComponyRs_ || row >= fundComponyRs_->rowsAffected()) return;
          fundComponyRs_->moveToIndex(row);
          fundcompony_->setText(fundComponyRs_->toStringAtIndex(1).value_or(""));
          componyCode_ = fundComponyRs_->toStringAtIndex(0).value_or("");
      }) {
    bindRequest(kCompaniesTag, [this](const RequestReply& r) { companiesReplied(r); });
    bindRequest(kCustomerTag, [this](const RequestReply& r) { customerReplied(r); });
}

UISegmentedControl* VTAJJNewAccount::fundSegment() {
    view();
    return segment_.get();
}
UILabel* VTAJJNewAccount::fundcompony() {
    view();
    return fundcompony_.get();
}
UILabel* VTAJJNewAccount::userName() {
    view();
    return userName_.get();
}
UILabel* VTAJJNewAccount::userBase() {
    view();
    return userBase_.get();
}
UILabel* VTAJJNewAccount::passPortType() {
    view();
    return passPortType_.get();
}
UILabel* VTAJJNewAccount::passPortNumber() {
    view();
    return passPortNumber_.get();
}
VTATextField* VTAJJNewAccount::phone() {
    view();
    return phone_.get();
}
VTATextField* VTAJJNewAccount::address() {
    view();
    return address_.get();
}
VTATextField* VTAJJNewAccount::zipCode() {
    view();
    return zipCode_.get();
}
VTATextField* VTAJJNewAccount::fundSymbol() {
    view();
    return fundSymbol_.get();
}

int VTAJJNewAccount::mode() const { return segment_ ? std::max(segment_->selectedSegmentIndex(), 0) : 0; }

// ---- the form ----

void VTAJJNewAccount::buildForm() {
    fundcompony_ = label(150, 20, UITextAlignment::Right, UIColor::blueColor());
    userName_ = label(200, 40, UITextAlignment::Left);
    userName_->setFrame(CGRectMake(8, 2, 200, 40));
    userBase_ = label(150, 20, UITextAlignment::Right);
    passPortType_ = label(150, 20, UITextAlignment::Right);
    passPortType_->setText(passPortTypeData_.at("0"));
    passPortNumber_ = label(180, 20, UITextAlignment::Right);
    phone_ = inputField(18, "请输入您的手机或座机号码", 5);
    phone_->setTag(101);
    address_ = inputField(100, "请输入您的地址", 0);
    address_->setTag(102);
    zipCode_ = inputField(6, "请输入您的邮编", 4);
    zipCode_->setTag(103);
    fundSymbol_ = inputField(50, "请输入您的基金帐号", 0);
    fundSymbol_->setTag(104);
    watchFields({phone_.get(), address_.get(), zipCode_.get(), fundSymbol_.get()});
}

void VTAJJNewAccount::viewWillDidLoad() {
    FundForm::viewWillDidLoad();
    auto header = std::make_shared<UIView>(CGRectMake(0, 0, 320, 38));
    segment_ = std::make_shared<UISegmentedControl>(std::vector<std::string>{"新开基金帐号", "添加基金帐号"});
    segment_->setFrame(CGRectMake(60, 8, 200, 32));
    segment_->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
    segment_->setSelectedSegmentIndex(0);
    segment_->addTarget(
        this, [this](UIControl&) { segmentAction(); }, UIControlEventValueChanged);
    header->addSubview(segment_);
    formTable()->setTableHeaderView(header);
}

int VTAJJNewAccount::formRowCount() const { return mode() == 0 ? 7 : 8; }

std::shared_ptr<UITableViewCell> VTAJJNewAccount::formCell(int row) {
    if (mode() == 1 && row >= 4) {
        if (row == 4) return formRow("基金帐号", fundSymbol_);
        --row;
    }
    switch (row) {
        case 0:
            return formRow("基金公司", fundcompony_, true);
        case 1: {
            auto cell = formRow("", userBase_);
            userName_->removeFromSuperview();
            cell->contentView()->addSubview(userName_);
            return cell;
        }
        case 2:
            return formRow("证件类型", passPortType_);
        case 3:
            return formRow("证件号码", passPortNumber_);
        case 4:
            return formRow("联系电话", phone_);
        case 5:
            return formRow("通信地址", address_);
        default:
            return formRow("邮政编码", zipCode_);
    }
}

void VTAJJNewAccount::formRowTapped(int row) {
    if (row != 0) return;
    view()->endEditing(true);
    std::vector<std::string> names;
    if (fundComponyRs_) {
        const int at = fundComponyRs_->currentIndex();
        for (fundComponyRs_->fetchFirst(); !fundComponyRs_->isEOF(); fundComponyRs_->fetchNext())
            names.push_back(fundComponyRs_->toStringAtIndex(1).value_or(""));
        fundComponyRs_->moveToIndex(at);
    }
    pickers_.show(*view(), kCompanyPickerTag, "请选择您要开户的基金公司", names,
                  fundComponyRs_ ? fundComponyRs_->currentIndex() : 0);
}

void VTAJJNewAccount::segmentAction() {
    fundSymbol_->setText("");
    formTable()->reloadData();
}

bool VTAJJNewAccount::myTextFieldWillShowKeyboard(VTATextField& field) {
    lastTextTag_ = field.tag();
    formTable()->setContentOffset(CGPointMake(0, mode() == 1 ? 220 : 160), true);
    return true;
}

void VTAJJNewAccount::myTextFieldDidHideKeyboard(VTATextField& field) {
    if (field.tag() == lastTextTag_) formTable()->setContentOffset(CGPointMake(0, 0), true);
}

// ---- the disclosure and the stages ----

void VTAJJNewAccount::viewDidAppear(bool animated) {
    FundForm::viewDidAppear(animated);
    if (!firstLoad_) return;
    firstLoad_ = false;
    disclosure_ = dialogOKCancelActionWithTitle(kDisclosureTitle, kDisclosureText);
}

void VTAJJNewAccount::viewWillDisappear(bool animated) {
    pickers_.dismiss();
    FundForm::viewWillDisappear(animated);
}

void VTAJJNewAccount::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (&alert == disclosure_.get()) {
        disclosure_.reset();
        if (buttonIndex == 0)
            requestFundNewAccount();
        else
            popViewControllers(1);
        return;
    }
    FundForm::alertViewClickedButtonAtIndex(alert, buttonIndex);
}

void VTAJJNewAccount::requestFundNewAccount() {
    if (!fundComponyRs_)
        sendQuery(kCompaniesTag, RequestBuilder::trade(WealthContract::kCompanies.sub), 4);
    else if (!userInfoRs_)
        sendQuery(kCustomerTag, RequestBuilder::trade(WealthContract::kCustomer.sub), 4);
}

void VTAJJNewAccount::companiesReplied(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set) return;
    fundComponyRs_ = set;
    if (set->rowsAffected() > 0) {
        fundcompony_->setText(set->toStringAtIndex(1).value_or(""));
        componyCode_ = set->toStringAtIndex(0).value_or("");
    }
    if (!userInfoRs_) requestFundNewAccount();
}

void VTAJJNewAccount::customerReplied(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set || set->rowsAffected() == 0) return;
    userInfoRs_ = set;
    auto text = [&](const char* name) { return set->toStringWithFieldName(name).value_or(""); };
    userName_->setText("姓名：" + text(Col::kCustomerName));
    userBase_->setText("性别：" + text(Col::kSexText));
    passPortNumber_->setText(text(Col::kIdNo));
    // The document the brokerage knows the customer by; the identity card when it names none.
    if (auto type = passPortTypeData_.find(text(Col::kIdType)); type != passPortTypeData_.end())
        passPortType_->setText(type->second);
    phone_->setText(VTAUserDefoult::standerDefoult().getStringForKey(kPhoneNumberKey).value_or(""));
    address_->setText(text(Col::kAddress));
    zipCode_->setText(text(Col::kPostCode));
}

// ---- the opening ----

void VTAJJNewAccount::onCommandOK() {
    if (isOrdering()) return;
    if (isViewLoaded()) view()->endEditing(true);
    if (!userInfoRs_) {
        showAlert(kNoCustomerTitle, kNoCustomerMessage);
        return;
    }
    FundForm::onCommandOK();
}

std::string VTAJJNewAccount::orderRefusal() {
    const std::string phone = phone_->getText(), address = address_->getText(), zip = zipCode_->getText();
    if (phone.size() < 7 || !allOf(phone, "0123456789-") || address.empty() || zip.size() != 6 ||
        !allOf(zip, "0123456789"))
        return kIncompleteText;
    if (mode() == 1) {
        const std::string account = fundSymbol_->getText();
        if (account.size() < 2 || !allOf(account, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"))
            return kNoAccountText;
    }
    return "";
}

std::string VTAJJNewAccount::orderSummary() const {
    return mode() == 0 ? "您确认要申请开通基金帐号吗?" : "您确认要申请添加基金帐号吗?";
}

std::string VTAJJNewAccount::idTypeCode() const {
    for (const auto& [code, title] : passPortTypeData_)
        if (title == passPortType_->text()) return code;
    return "0";
}

std::optional<RequestBuilder> VTAJJNewAccount::orderRequest() {
    if (!userInfoRs_) return std::nullopt;
    auto text = [&](const char* name) { return userInfoRs_->toStringWithFieldName(name).value_or(""); };
    const std::string name = hexFundName(text(Col::kCustomerName));
    RequestBuilder r = RequestBuilder::trade(WealthContract::kOpenAccount.sub);
    r.add(FundContract::Key::kCompany, componyCode_);
    if (mode() == 1) r.add(Key::kTaAccount, fundSymbol_->getText());
    r.add(Key::kName, name)
        .add(Key::kFullName, name)
        .add(Key::kIdType, idTypeCode())
        .add(Key::kIdNo, text(Col::kIdNo))
        .add(Key::kSex, text(Col::kSexText) == "女" ? WealthContract::Sex::kFemale : WealthContract::Sex::kMale)
        .add(Key::kAddress, hexFundName(address_->getText()))
        .add(Key::kPostCode, zipCode_->getText())
        .add(Key::kPhone, phone_->getText());
    return r;
}

void VTAJJNewAccount::orderSucceeded(const RequestReply&) { showAlert(kDoneText); }
