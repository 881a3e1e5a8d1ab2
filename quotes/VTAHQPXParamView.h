#pragma once
// The chooser of the ranking list, titled "选择排序参数": the market as a
// segmented control, the class and the sort field as rows with a check mark
// on the chosen one. The lists come from the server's configuration (the keys
// "market", "type" and "sort" of the session value "commomdSettingForHQ":
// items of a code and a display name joined by "^", the items joined by "#"),
// in their order; without it the chooser alerts "配置错误" ("请重新请求配置文件")
// and its lists stay empty. "确定" tells the owner (paramViewOnCommandOK).
#include <memory>
#include <string>

#include "core/VTADictionary.h"
#include "platform/uikit/UISegmentedControl.h"
#include "ui/VTAParamView.h"

class VTAHQPXParamView : public VTAParamView, private UITableViewDataSource, private UITableViewDelegate {
public:
    static constexpr const char* kTitle = "选择排序参数";
    static constexpr const char* kSectionTitles[3] = {"选择市场：", "选择类型：", "选择排序字段："};
    // Display names to codes, in the configuration's order.
    using Names = VTADictionary<std::string, std::string>;

    VTAHQPXParamView(const CGRect& frame, const std::string& title);
    ~VTAHQPXParamView() override;
    std::string className() const override { return "VTAHQPXParamView"; }

    // Whether the configuration was there when the chooser was made.
    bool hasConfiguration() const { return configured_; }
    const Names& markets() const { return markets_; }
    const Names& types() const { return types_; }
    const Names& sorts() const { return sorts_; }

    // The chosen codes.
    const std::string& selectedMarket() const { return selectedMarket_; }
    const std::string& selectedType() const { return selectedType_; }
    const std::string& selectedSort() const { return selectedSort_; }
    void setSelectedMarket(const std::string& code);
    void setSelectedType(const std::string& code);
    void setSelectedSort(const std::string& code);
    // The display names of the chosen codes (the code itself when the
    // configuration does not name it).
    std::string getMarketName() const;
    std::string getTypeName() const;
    std::string getSortName() const;

    UISegmentedControl* marketSegment() const { return marketSegment_.get(); }

private:
    int numberOfSectionsInTableView(UITableView&) override { return 3; }
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    std::string tableViewTitleForHeaderInSection(UITableView&, int section) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void marketChanged();

    bool configured_ = false;
    Names markets_, types_, sorts_;
    std::string selectedMarket_, selectedType_, selectedSort_;
    std::shared_ptr<UISegmentedControl> marketSegment_;
};
