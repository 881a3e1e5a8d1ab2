#pragma once
// The soft-token page (手机令牌): the tokens this phone holds for the
// registered phone number ("your phone number"), or, while it holds none, the
// way to apply; the brokerage's texts come from 100/5 (tag kNoticesTag,
// asked each time the page shows): "direction" (说明), "riskinfo" (the notice
// before applying) and "promotion" (a row of its own when it has 2 characters
// or more).
//
// Applying: "申请" shows the notice "申请提示" (riskinfo), its "确定" the notice
// "使用说明" (direction), which must be accepted; its "确定" opens the
// application form (VTASjlpApplyController) in the notices' place. A token
// issued there brings the customer back here, where it is listed.
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class BrasnikSign;
class VTASjlpApplyController;
class VTASjlpDirectionController;

class VTASJLPViewController : public VTAViewControllers, public UITableViewDataSource, public UITableViewDelegate {
public:
    static constexpr int kNoticesTag = 7003;
    static constexpr const char* kTitle = "手机令牌";
    static constexpr const char* kNoDataText = "数据获取错误";
    static constexpr const char* kNoTokenHeader = "您尚未在本手机申请手机令牌，请申请后再使用";
    static constexpr const char* kTokensHeader = "您已申请手机令牌的帐号";

    VTASJLPViewController();
    ~VTASJLPViewController() override;

    const std::string& direction() const { return direction_; }
    const std::string& riskinfo() const { return riskinfo_; }
    const std::string& promotion() const { return promotion_; }
    // The tokens of this phone's registered number, as the table lists them.
    std::vector<std::shared_ptr<BrasnikSign>> theSjlp() const;
    bool showsPromotion() const;
    UITableView* tableView() {
        view();
        return table_.get();
    }

    void requestTokenHint();
    // "申请": the first notice.
    std::shared_ptr<VTASjlpDirectionController> goToApply();
    // "说明": the usage notice in an alert.
    void shouDection();
    // A notice page's "确定" (the next notice, or the form in their place).
    void directionControllerDidOK(VTASjlpDirectionController& page);
    // The form issued a token: back here, the list shows it.
    void applyControllerDidOK(VTASjlpApplyController& form);

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;

    int numberOfSectionsInTableView(UITableView& table) override;
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    std::string tableViewTitleForHeaderInSection(UITableView& table, int section) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    enum class Section { Promotion, Token, Apply };
    std::vector<Section> sections() const;
    void noticesArrived(const RequestReply& reply);

    std::string direction_, riskinfo_, promotion_;
    std::shared_ptr<UITableView> table_;
};
