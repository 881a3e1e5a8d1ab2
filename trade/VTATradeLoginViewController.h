#pragma once
// The trade login (交易登录): branch, account type, account, trading password
// and either a typed authentication code or the one-time code of a soft token
// held on this phone (shown in its own row when the typed account has one).
//
// "确定" checks the form ("输入帐号错误", "输入密码错误", "输入口令错误" on the
// progress overlay; while no branch is known it asks for the branch list
// instead) and sends 500/1 (trade/TradeLogin.h) with authtype 5 and the
// token's code (the token's counter then moves on, is saved at once, and the
// row shows the next code, so a retry never sends a used code), else 2 and
// the typed code, else 0. A successful reply stores the four trade session
// values together, logs the account on and selects it among the accounts of
// this run, remembers it (without any password) when "记住帐号" is on, makes
// the branch the default one, starts the idle trade lock and opens the
// pending screen in the login's place (or goes back when there is none or
// the dispatcher makes none). A refused or unexpected reply changes no
// session value: "返回数据错误" for a reply without the session or customer.
// A soft-token error removes the phone's token (re-enrol dialog, or
// "请重新登录" for "此认证方式没有申请").
//
// Relate mode (links "tradelogin?relate=1" and "tradelogin?relate=1&mcjg=1",
// title "关联资金帐号"): the same form relates the account to the registered
// phone (3750/2, tag kRelateTag) and offers to add its holdings to the own
// stocks; a success alert then goes back, telling the in-app page
// ("RelateFromMCJGStatus") when it came from there.
//
// Requests: the branch list (tag kBranchTag, type 3), the login (kLoginTag,
// type 4), the relate (kRelateTag, type 4); each reply is read by its tag.
#include <memory>
#include <string>

#include "trade/TradeAccountForm.h"

class BrasnikSign;
class UIButton;
class UISwitch;
class UITextField;
struct TradeLoginValues;

class VTATradeLoginViewController : public TradeAccountForm {
public:
    static constexpr int kLoginTag = 7002;
    static constexpr int kRelateTag = 2001;
    static constexpr int kRelateAlertTag = 999;
    static constexpr const char* kTitle = "交易登录";
    static constexpr const char* kRelateTitle = "关联资金帐号";
    static constexpr const char* kSimpleModeText = "简易方式不用输入认证口令";
    static constexpr const char* kTokenModeText = "您已开通手机令牌模式，无需认证口令";
    static constexpr const char* kBadReplyText = "返回数据错误";
    static constexpr int kCodeFieldTag = 5;

    VTATradeLoginViewController();
    ~VTATradeLoginViewController() override;

    // A menu item whose link is the login's own ("tradelogin?relate=1[&mcjg=1]")
    // sets the relate mode; any other is the screen to open after the login.
    void setViewMenu(std::shared_ptr<VTAMenu> menu) override;
    // The pending item (null for a plain login or the relate mode).
    std::shared_ptr<VTAMenu> pendingMenu() const;
    void setIsRelateViewContorller(bool relate);
    bool isRelateViewContorller() const { return relate_; }
    void setIsRelateFromMCJG(bool fromPage) { relateFromPage_ = fromPage; }
    bool isRelateFromMCJG() const { return relateFromPage_; }

    // ---- the form (built on first use) ----
    VTATextField* codeField();
    UITextField* tokenCodeField();
    UISwitch* saveSwitch();
    UIButton* tokenButton();
    const std::shared_ptr<BrasnikSign>& currentToken() const { return token_; }
    std::string footerText() const;
    // The form's rows (6, or 7 with a token).
    int rowCount() const { return token_ ? 7 : 6; }
    TradePickerStrip* savedAccountPicker() const { return savedPicker_.get(); }

    // ---- commands ----
    void onCommandOK() override;
    void requestTradeLogin();
    void requestRelate();
    // The token lookup: the token this phone holds for the typed account.
    void checkTheAccount();
    void saveYourAccount();
    void goToSjlpView();
    // "选择帐号": the saved-account picker.
    void VTASelectAccountAction();
    void selectSavedAccount(int row);
    // A 12-character fund account as its first 4 characters, "*****" and its last 3; others whole.
    static std::string addpointtostring(const std::string& account);

    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override { return rowCount(); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;

    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;

    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;
    void makeFormViews() override;
    void accountTypeChanged() override { checkTheAccount(); }
    void branchListArrived() override;
    void closePickers() override;

private:
    void loginArrived(const RequestReply& reply);
    void relateArrived(const RequestReply& reply);
    void softTokenRefused(const std::string& text);
    void loggedIn(const TradeLoginValues& values);
    // Checks the form as "确定" does; the failure text ("" when it passes).
    std::string formRefusal(bool login) const;
    // Sends the login or the relate; the token's code is taken (and the token
    // advanced) only once the request can go.
    bool sendLoginOrRelate(bool login);
    void scrollForm(double y);

    bool relate_ = false;
    bool relateFromPage_ = false;
    bool relateSucceeded_ = false;
    std::shared_ptr<BrasnikSign> token_;
    int lastTextTag_ = 0;

    std::shared_ptr<UILabel> footer_;
    std::shared_ptr<VTATextField> code_;
    std::shared_ptr<UITextField> tokenCode_;
    std::shared_ptr<UISwitch> save_;
    std::shared_ptr<UIButton> tokenButton_, selectAccountButton_;
    std::unique_ptr<TradePickerStrip> savedPicker_;
    std::shared_ptr<UIAlertView> tokenDialog_;
};
