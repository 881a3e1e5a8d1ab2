#pragma once
// The fund query hub: one paged list (the paged trade query list of
// trade/VTATradeQueryViewController.h) serving nine fund lists by page type:
//   1 "of_jjxx"  fund information (the function of the link: 504/24, or the
//                finder's 100/26)        认购 申购 加入自选 资讯
//   2 "of_wtcd"  fund orders that can be cancelled      首页 个股 确定 (cancel)
//   3 "of_fecx"  fund shares held                       首页 赎回 分红 资讯
//   4 "of_wdjj"  the own funds ("fund you care")        认购 申购 编辑 资讯
//   5 "of_jjpx"  ranking by fund type and period        分类 加入自选 资讯
//   6 "of_jjpj"  rating by fund type                    分类 加入自选 资讯
//   7 "of_jycx"  fund trade query                       首页 个股 刷新
//   8 the order form's list of funds open for it        首页 个股 确定 (pick)
//   9 the plan form's list of funds open for plans      首页 个股 确定 (pick)
//
// Requests (the cursor: the top of the cursor stack; each kind its tag):
//   1, 8     the base list request (the link's pairs, "count" 12, the
//            cursor, the fund account and the session), type 5;
//   2, 3, 7  the same without "count";
//   4        the link's pairs, "ofcode" the own codes joined by "," and
//            "count" their number ("ofcode=" and "count=0" for none), type 3;
//   5        504/25 "style" and "ordertype" (the period, 1 to 5), type 3;
//   6        504/26 "style", "qryflag=0", "count", "poststr" the cursor;
//   5, 6     first, once a session, the fund types (504/22, kTypesTag), kept
//            in the session as "the types forFunds"; the first type is
//            chosen; an empty type list is not kept and nothing more is
//            asked (the next appearance asks for the types again);
//   9        500/50 "qryflag=1&count=30&poststr=" the cursor, type 4,
//            tag 1101 (rows that do not run are left out).
// Pages 5 and 6 are titled by the type's name, the period (page 5) and the
// menu's title; "分类" opens a picker of type and period (tag 50) whose
// "确定" asks again.
//
// Row actions read the selected record: 认购 and 申购 open the order form
// with the message "ofcode=<TradingCode>" (type 1); 加入自选 adds the fund to
// the own funds; 资讯 opens the fund information list ("of_jjzx" at the
// menu's top) with "ofcode=<code>" (type 0); 编辑 opens the own-fund editor;
// 赎回 puts the holding in the session ("the funds you have") and opens the
// redemption form; 分红 opens the dividend form with "ofcode=<code>"; on
// page 2 "确定" cancels the order (500/37 "sno", after a sheet); on page 8
// it leaves the code under "JJSGRG" for the order form and goes back, on
// page 9 under "IFIFundSymbol" for the plan form. A fund code is read from
// "TradingCode", or "ofcode" where a list has no such column.
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIPickerView.h"
#include "trade/VTATradeQueryViewController.h"
#include "ui/VTAParamView.h"

class VTAJJZXView;
class VTASheetPicker;

class VTAJJQueryViewController : public VTATradeQueryViewController,
                                 public UIPickerViewDataSource,
                                 public UIPickerViewDelegate,
                                 public VTAParamViewDelegate {
public:
    enum PageType {
        kInformation = 1,
        kCancellable = 2,
        kHoldings = 3,
        kOwnFunds = 4,
        kRanking = 5,
        kRating = 6,
        kTradeQuery = 7,
        kPickForOrder = 8,
        kPickForPlan = 9,
    };
    static constexpr int kTypesTag = 1607;
    static constexpr int kOptionSheetTag = 50;
    static constexpr const char* kPickedForPlanKey = "IFIFundSymbol";
    static constexpr const char* kUnknownOutcomeText = "返回结果异常，请进入当日委托查询";
    static inline const std::vector<std::string> kPeriods = {"最近一天", "最近一周", "最近一月", "最近六月",
                                                             "最近一年"};

    VTAJJQueryViewController();
    ~VTAJJQueryViewController() override;

    int pageType() const { return pageType_; }
    void setPageType(int type) { pageType_ = type; }
    const std::string& style() const { return style_; }
    void setStyle(const std::string& style) { style_ = style; }
    int orderType() const { return orderType_; }
    const std::string& fundWithdrawRequestStr() const { return withdrawRequest(); }
    UIPickerView* optionPicker() const { return picker_.get(); }
    std::shared_ptr<VTAJJZXView> editor() const { return editor_.lock(); }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void requestTradeInfo() override;
    void onCommandOK() override;

    // ---- row actions ----
    void rgAction();
    void sgAction();
    void addAction();
    void infoAction();
    void editAction();
    void redeemAction();
    void shareAction();
    void optionAction();
    void doneAction();

    void paramViewOnCommandOK(VTAParamView& view) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

    int numberOfComponentsInPickerView(UIPickerView& picker) override;
    int pickerViewNumberOfRowsInComponent(UIPickerView& picker, int component) override;
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;
    void pickerViewDidSelectRow(UIPickerView& picker, int row, int component) override;

protected:
    void listReplyArrived(const RequestReply& reply) override;
    std::string unreadableWithdrawText() const override { return kUnknownOutcomeText; }
    void requestDidFail(const RequestFailure& failure) override;

private:
    void typesArrived(const RequestReply& reply);
    // The fund code of the selected record: "TradingCode", else "ofcode".
    std::string selectedFundCode();
    void openWithMessage(const std::string& link, const std::string& title, const std::string& text, int type);
    // The selected record of a list that has rows; null after the alert
    // (`emptyListText` for no rows, "没有选中记录." for no row selected).
    VTATCRS* chosenRecord(const char* emptyListText);
    void cancelOrder();
    void pickForOrder();
    bool rankedPage() const { return pageType_ == kRanking || pageType_ == kRating; }

    int pageType_ = kInformation;
    std::string style_;
    int orderType_ = 0;
    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<VTASheetPicker> optionSheet_;
    std::weak_ptr<VTAJJZXView> editor_;
};
