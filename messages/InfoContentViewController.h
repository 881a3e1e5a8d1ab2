#pragma once
// One news article: its headline, a line with its source and time, a rule and
// its text, in a vertical scroll view. A list that opens it hands over the
// article's id, the headline, source and time and the ready request text
// (setContentUrl); from the menu link "newscontent?..." the link's own
// request is sent (messages/NewsTexts.h), with "&newstypeid=" and the setting
// "newstypeid" when that is set. An article opened with an id is recorded as
// read when the screen loads. The article is fetched every time the screen
// comes into view. The navigation bar's search button opens the stock finder.
//
// A headline not handed over is taken from the reply's "title"; a headline
// of more than one line moves everything under it down by one line. An error
// set shows its text in place of the article, a reply without records
// "没有相关信息", one that is no record sets alerts "数据处理错误".
#include <memory>
#include <string>

#include "shell/VTAViewControllers.h"

class UILabel;
class UIScrollView;

class InfoContentViewController : public VTAViewControllers {
public:
    static constexpr int kArticleTag = 3302;
    static constexpr const char* kNoArticleText = "没有相关信息";

    InfoContentViewController();

    // ---- what the opener hands over ----
    void setInfoContentId(const std::string& id) { infoContentId_ = id; }
    const std::string& infoContentId() const { return infoContentId_; }
    void setContentTitle(const std::string& title) { contentTitle_ = title; }
    const std::string& contentTitle() const { return contentTitle_; }
    void setContentUrl(const std::string& request) { contentUrl_ = request; }
    const std::string& contentUrl() const { return contentUrl_; }
    void setSource(const std::string& source) { source_ = source; }
    const std::string& source() const { return source_; }
    void setTime(const std::string& time) { time_ = time; }
    const std::string& time() const { return time_; }

    void viewWillDidLoad() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Sends the article request; false when there is nothing to ask.
    bool requestDigest();
    void doSearchStock();

    // ---- what is shown (tests) ----
    UIScrollView* scrollView() const { return scrollView_.get(); }
    UILabel* titleLabel() const { return titleLabel_.get(); }
    UILabel* timeLabel() const { return timeLabel_.get(); }
    UIView* separateView() const { return separateView_.get(); }
    UILabel* contentLabel() const { return contentLabel_.get(); }

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void showArticle(const RequestReply& reply);
    void layoutHead();
    void showContent(const std::string& text);

    std::string infoContentId_, contentTitle_, contentUrl_, source_, time_;
    std::shared_ptr<UIScrollView> scrollView_;
    std::shared_ptr<UILabel> titleLabel_, timeLabel_, contentLabel_;
    std::shared_ptr<UIView> separateView_;
};
