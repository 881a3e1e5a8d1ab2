#pragma once
// A titled pop-up panel that slides up from the bottom of a view: a title bar
// (`titleBar`, with "取消" at the left and "确定" at the right), a grouped
// table that the subclass serves (`myTableView`), and an optional footer
// toolbar of bar items (flexible spaces spread them). onOK / onCancel hide the
// panel (animated) and then tell the delegate.
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UITableView.h"

#include <vector>

class VTAParamView;

class VTAParamViewDelegate {
public:
    virtual ~VTAParamViewDelegate() = default;
    virtual void paramViewOnCommandOK(VTAParamView& view) {}
    virtual void paramViewOnCommandCancel(VTAParamView& view) {}
};

class VTAParamView : public UIView {
public:
    VTAParamView(const CGRect& frame, const std::string& title);
    std::string className() const override { return "VTAParamView"; }

    void setDelegate(VTAParamViewDelegate* d) { delegate_ = d; }
    void showFromBottomInView(UIView* view);
    void hide(bool animated);
    void onOK();
    void onCancel();
    bool isShown() const { return superview() != nullptr && shown_; }

    UIView* titleBar() const { return titleBar_.get(); }
    UILabel* titleLabel() const { return title_.get(); }
    UIButton* okButton() const { return ok_.get(); }
    UIButton* cancelButton() const { return cancel_.get(); }
    UITableView* myTableView() const { return table_.get(); }
    // The items of a footer toolbar under the table, left to right (empty: no
    // bar). Views are shown as custom-view items at their own size.
    void setFootBarItems(const std::vector<std::shared_ptr<UIBarButtonItem>>& items);
    void setFootBarItems(const std::vector<std::shared_ptr<UIView>>& views);
    UIToolbar* footBar() const { return footBar_.get(); }

    void layoutSubviews() override;

protected:
    VTAParamViewDelegate* delegate_ = nullptr;

private:
    std::shared_ptr<UIView> titleBar_;
    std::shared_ptr<UILabel> title_;
    std::shared_ptr<UIButton> ok_, cancel_;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UIToolbar> footBar_;
    bool shown_ = false;
};

// The date-range pop-up: two rows (start, end) stepped by their "-" and "+"
// buttons by a day (the start never after the end, the end never after
// today); starts with the seven days before now up to today.
class VTADateView : public VTAParamView, private UITableViewDataSource {
public:
    VTADateView(const CGRect& frame, const std::string& title);
    ~VTADateView() override;
    std::string className() const override { return "VTADateView"; }

    // "strdate=yyyyMMdd&enddate=yyyyMMdd".
    std::string getDate() const;
    double startDate() const { return start_; }
    double endDate() const { return end_; }
    void setRange(double start, double end);

private:
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override { return 2; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double start_, end_;
};
