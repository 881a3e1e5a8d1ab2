#pragma once
// The detailed quote screen around the panel (VTAXXJGView): the snapshot of
// one stock (31000/4 with the panel's field list), asked for each time the
// screen is shown and on "刷新" (no auto refresh). The toolbar offers "选项"
// (an action sheet: "返回首页", "加入自选"), the stock finder, "买入" and
// "卖出" (refused for an index and for Hong Kong stocks) and "刷新".
//
// A reply that does not parse shows "数据构建错误"; an error set shows its
// text; the panel keeps what it showed.
#include <memory>
#include <string>

#include "platform/uikit/UIActionSheet.h"
#include "shell/VTAViewControllers.h"

class VTAXXJGView;

class VTAXXJGViewController : public VTAViewControllers, public UIActionSheetDelegate {
public:
    static constexpr int kSnapshotTag = 3104;
    static constexpr const char* kFields =
        "1|2|3|4|6|11|13|14|15|16|17|18|20|21|26|27|32|29|30|50|51|52|53|54|55|56|57|58|59|70|71|72|73|74|75|76|77|"
        "78|79|";
    static constexpr const char* kUnreadableText = "数据构建错误";

    VTAXXJGViewController();
    ~VTAXXJGViewController() override;

    // The stock: code, a point and the market id ("600000.2").
    const std::string& stkcode() const { return stkcode_; }
    void setStkcode(const std::string& id) { stkcode_ = id; }

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void createToolbarItems() override;

    void requestDetailPrice();
    void onCommandOption() override;
    void onBuyStock();
    void onSaleStock();
    void onCommandRefresh() override { requestDetailPrice(); }
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

    VTAXXJGView* myJGView() const { return myJGView_.get(); }
    UIActionSheet* optionSheet() const { return optionSheet_.get(); }

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void snapshotArrived(const RequestReply& reply);
    void trade(int action);

    std::shared_ptr<VTAXXJGView> myJGView_;
    std::string stkcode_;
    std::shared_ptr<UIActionSheet> optionSheet_;
};
