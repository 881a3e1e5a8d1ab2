#pragma once
// The intraday chart of one past trading day of a stock, full screen and
// modal over whatever opened it. The K-line charts open it for a bar: they
// build the whole request text (31000/1 with that day's "date") and the title
// ("name-day"); this screen sends the request, draws the reply in an older
// intraday chart and closes on "关闭".
//
// An error set or an unreadable reply shows its alert and leaves the chart
// empty; leaving the screen cancels the request.
#include <memory>
#include <string>

#include "charts/VTAChartView.h"
#include "core/RequestBuilder.h"
#include "platform/uikit/UIViewController.h"
#include "shell/RequestBinding.h"

class VTAFSView;
class VTATCRS;

class HistoryTimeSharingChartViewController : public UIViewController,
                                              public RequestBinding,
                                              public VTAChartViewDelegate {
public:
    static constexpr const char* kCloseTitle = "关闭";
    static constexpr const char* kUnreadableText = "数据解析错误！";
    static constexpr int kHistoryTag = 1;

    HistoryTimeSharingChartViewController();
    ~HistoryTimeSharingChartViewController() override;

    const std::string& requestStr() const { return requestStr_; }
    void setRequestStr(std::string text) { requestStr_ = std::move(text); }
    VTAFSView* timeSharingChartView() const { return timeSharingChartView_.get(); }

    void loadView() override;
    void viewDidLoad() override;
    void viewDidUnload() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void requestHistoryTimeSharing();
    void backAction();

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    std::string requestStr_;
    std::shared_ptr<VTAFSView> timeSharingChartView_;
};

// The request of a past day's intraday chart of a stock (day as yyyyMMdd).
RequestBuilder historyTimeSharingRequest(const std::string& code, int marketId, const std::string& day);

// Opens the past day's intraday chart of the stock of a K-line header set:
// the screen inside a black navigation controller, presented modally from the
// application's navigation controller. Answers the screen (null when nothing
// could be opened: no stock, no day, no navigation stack).
std::shared_ptr<HistoryTimeSharingChartViewController> openHistoryTimeSharing(VTATCRS& header, const std::string& day);
