#pragma once
// One card of the logged-in accounts pager: the account's user name, its full
// account number (BuildCompleteZh), its branch's name (filled by the pager:
// the label with tag kBranchLabelTag), its last login time, the log-out
// button "注 销" and the check button that makes the account the trading one
// (a face image: "checkFace.png" for the selected account). Both buttons work
// only while the account is logged on.
#include <memory>
#include <string>

#include "platform/uikit/UIViewController.h"

class UIButton;
class UILabel;
class VTAAccount;

class VTAAccountViewController : public UIViewController {
public:
    static constexpr int kBranchLabelTag = 1001;

    void loadView() override;
    void viewWillAppear(bool animated) override;

    // Sets the account and refreshes the card's values.
    void loadAccount(std::shared_ptr<VTAAccount> account);
    const std::shared_ptr<VTAAccount>& account() const { return account_; }
    // The account number for display, by the soft token's rule (normalizeTokenAccount).
    static std::string BuildCompleteZh(const std::string& account, const std::string& yybCode, const std::string& type);

    UILabel* accNameLabel() const { return accName_.get(); }
    UILabel* accIdLabel() const { return accId_.get(); }
    UILabel* accYYBnameLabel() const { return accYYBName_.get(); }
    UILabel* accLoginTime() const { return loginTime_.get(); }
    UIButton* loginBtn() const { return loginBtn_.get(); }
    UIButton* checkBtn() const { return checkBtn_.get(); }

private:
    void refresh();

    std::shared_ptr<VTAAccount> account_;
    std::shared_ptr<UILabel> accName_, accId_, accYYBName_, loginTime_;
    std::shared_ptr<UIButton> loginBtn_, checkBtn_;
};
