#pragma once
// The lists of the quoted repo (澄穗通), on the paged trade query list (the
// menu link names the list's function):
//   queryType 0, "kvrcp": the products. "买入" opens the buy form of the menu
//     item beside this one whose link is "kvrmr", with the selected product
//     handed in (a VTAMessage of type 1 holding a VTAStock); "提前终止" opens
//     the item beside this one whose link is "kvrzz".
//   queryType 1, "kvrzz": the customer's deals still running. "确定" ends the
//     selected deal before its term (500/58, tag kEndTag) after a
//     confirmation sheet; a deal is always ended whole ("matchqty").
//
// The list and the termination have tags of their own: paging and refreshing
// only ever ask for the list, a list reply is never taken for the
// termination's, and "确定" does nothing while a termination is on its way.
#include <memory>
#include <string>

#include "trade/VTATradeQueryViewController.h"

class VTAKVRQueryViewController : public VTATradeQueryViewController {
public:
    static constexpr int kEndTag = 1670;
    static constexpr const char* kEndAcceptedText = "终止委托已提交，请进入当日委托查询!";
    static constexpr const char* kBuyCommand = "kvrmr";
    static constexpr const char* kEndCommand = "kvrzz";

    VTAKVRQueryViewController();
    ~VTAKVRQueryViewController() override;

    int queryType() const { return queryType_; }
    void setQueryType(int type) { queryType_ = type; }
    // A termination is on its way.
    bool isEnding() const { return ending_; }
    UIActionSheet* endSheet() const { return endSheet_.get(); }

    void viewWillDisappear(bool animated) override;
    void createToolbarItems() override;
    void onCommandOK() override;
    // "提前终止": the deals' list.
    void endAction();
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void buyAction();
    void askToEnd();
    void endReplied(const RequestReply& reply);
    // The screen of this item's sibling of that link command; null when none.
    std::shared_ptr<UIViewController> siblingScreen(const std::string& command) const;

    int queryType_ = 0;
    bool ending_ = false;
    std::string endRequest_;
    std::shared_ptr<UIActionSheet> endSheet_;
    std::shared_ptr<UIAlertView> acceptedAlert_;
};
