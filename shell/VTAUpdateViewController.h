#pragma once
// Software update: the client's version and, when the login found a newer one
// (session values "newVersionGet": the version text, "newVersionURL": where to
// get it), that version with a button "立即升级" that hands the address to the
// platform; otherwise "已是最新版本".
#include <memory>
#include <string>

#include "shell/VTAViewControllers.h"

class UIButton;
class UILabel;

class VTAUpdateViewController : public VTAViewControllers {
public:
    VTAUpdateViewController();

    std::string statusText() const;
    bool hasNewVersion() const;
    // "立即升级": false when there is nothing to get.
    bool upgrade();
    UILabel* versionLabel() {
        view();
        return version_.get();
    }
    UILabel* statusLabel() {
        view();
        return status_.get();
    }
    UIButton* upgradeButton() {
        view();
        return button_.get();
    }

    void viewWillDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void refresh();
    std::shared_ptr<UILabel> version_, status_;
    std::shared_ptr<UIButton> button_;
};
