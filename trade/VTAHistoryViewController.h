#pragma once
// The history of orders or deals over a chosen range of days ("hisquery"):
// the paged query list of its menu link, 20 rows a page, asked only once the
// customer confirms the date view ("选择日期区间", shown on entry and again by
// "日期"), which starts on the seven days up to today. Its request is the
// list's with the range ("strdate", "enddate", yyyyMMdd) and "qryflag=1".
// A new range starts again from its first page.
#include <memory>

#include "trade/VTATradeQueryViewController.h"
#include "ui/VTAParamView.h"

class VTAHistoryViewController : public VTATradeQueryViewController, public VTAParamViewDelegate {
public:
    static constexpr int kHistoryPageSize = 20;
    static constexpr const char* kDateViewTitle = "选择日期区间";

    ~VTAHistoryViewController() override;

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    RequestBuilder tradeInfoRequest() const override;
    void createToolbarItems() override;
    // "日期": the date view again.
    void onCommandOK() override;
    void paramViewOnCommandOK(VTAParamView& view) override;

    VTADateView* dateView() const { return myDateView_.get(); }
    // Whether a range was confirmed (the list is asked for only then).
    bool hasRange() const { return hasRange_; }

private:
    void showDateView();

    std::shared_ptr<VTADateView> myDateView_;
    bool hasRange_ = false;
};
