#pragma once
// The own-fund editor: a pop-up panel (VTAParamView) over which the customer
// arranges the own-fund list: rows "name(code)" in editing mode, to delete
// and to reorder; "添加" asks for a six-digit code, which is checked with the
// brokerage (504/24, kCheckTag) and appended with the fund's name; a code
// already listed is refused ("添加失败，<name>已经存在"). "确定" writes the codes
// in their order to the setting "fund you care" (only when something
// changed) and tells the delegate; "取消" writes nothing. The footer holds
// "添加", "确定", "取消"; the title bar has no buttons of its own.
//
// The panel talks to the server through its own request binding; going
// away cancels only its own requests.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UITableView.h"
#include "shell/RequestBinding.h"
#include "ui/VTAParamView.h"

class VTAAlertTextField;

class VTAJJZXView : public VTAParamView,
                    public RequestBinding,
                    public UITableViewDataSource,
                    public UITableViewDelegate,
                    public UIAlertViewDelegate {
public:
    static constexpr int kCheckTag = 1605;
    static constexpr int kAddAlertTag = 100;
    static constexpr double kRowHeight = 38;
    static constexpr const char* kTitle = "编辑自选基金";

    using Fund = std::pair<std::string, std::string>;  // name, code

    VTAJJZXView(const CGRect& frame, const std::string& title, std::vector<Fund> data);
    ~VTAJJZXView() override;
    std::string className() const override { return "VTAJJZXView"; }

    const std::vector<Fund>& data() const { return data_; }
    bool needUpdate() const { return needUpdate_; }
    int selectedIndex() const { return selectedIndex_; }
    const std::string& theNewCode() const { return theNewCode_; }
    // The code dialog shown last (null before "添加").
    VTAAlertTextField* addDialog() const { return addDialog_.get(); }

    void onAddCode();
    void onCommandOK();
    void onCommandCancel();
    void requestFundEdit();

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return static_cast<int>(data_.size()); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    bool tableViewCanEditRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    bool tableViewCanMoveRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    void tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                     const NSIndexPath& indexPath) override;
    void tableViewMoveRowAtIndexPath(UITableView& table, const NSIndexPath& from, const NSIndexPath& to) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return kRowHeight; }
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void checkReplied(const RequestReply& reply);

    std::vector<Fund> data_;
    int selectedIndex_ = 0;
    bool needUpdate_ = false;
    std::string theNewCode_;
    std::shared_ptr<VTAAlertTextField> addDialog_;
};
