#pragma once
// The settings screen: a grouped list of the settings the screens read, the
// traffic counters and the other shell screens.
//
//   行情设置  自动刷新 ("auto refresh", on/off), 刷新间隔 ("auto refresh wait
//             time", seconds), 分时叠加指数 ("fschart dj set", on/off), 大单标准
//             ("StepForBS", lots), 消息提醒设置 (the "msgsetting" screen, shown
//             once one is registered)
//   交易设置  保存帐号个数 ("logaccnum"), 交易锁定时间 (tradeLockIntervalMinutes
//             of shell/TradeSession.h)
//   显示设置  字体大小 ("defoult font size")
//   流量统计  发送, 接收 (NetworkManager's counters), 流量清零
//   其他      软件更新, 意见反馈, 客户服务, 邀请好友, 关于, 免责声明
//
// A switch row flips its setting when tapped; a choice row offers its values
// in an action sheet. Every change is written at once (the settings file, or
// the platform user defaults).
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class VTASettingViewController : public VTAViewControllers,
                                 public UITableViewDataSource,
                                 public UITableViewDelegate,
                                 public UIActionSheetDelegate {
public:
    enum class RowKind { Switch, Choice, Info, Action };
    struct Row {
        RowKind kind;
        std::string title;
        std::string key;          // setting of a switch or choice; screen link of an action
        std::vector<int> values;  // of a choice
        std::string unit;         // shown after a choice's value
        int fallback = 0;         // shown while the setting is absent or not positive
        // A setting with its own reader and writer elsewhere (the trade lock
        // interval, also read by the idle lock) instead of the settings file.
        int (*read)() = nullptr;
        void (*write)(int) = nullptr;
    };
    struct Section {
        std::string title;
        std::vector<Row> rows;
    };

    VTASettingViewController();
    ~VTASettingViewController() override;

    const std::vector<Section>& sections() const { return sections_; }
    // The text a row shows on its right.
    std::string valueText(const Row& row) const;
    // What a tap on the row does (answers the action sheet of a choice, the
    // screen pushed by an action).
    void selectRow(int section, int row);
    UIActionSheet* choiceSheet() const { return sheet_.get(); }
    UITableView* tableView() {
        view();
        return table_.get();
    }

    // The current value of a choice setting (its first value when absent).
    int choiceValue(const Row& row) const;
    void setChoiceValue(const Row& row, int value);

    void viewWillDidLoad() override;
    void viewWillAppear(bool animated) override;

    int numberOfSectionsInTableView(UITableView& table) override;
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    std::string tableViewTitleForHeaderInSection(UITableView& table, int section) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

    // Bytes as "12.3KB" / "1.20MB" / "512B".
    static std::string trafficText(int64_t bytes);

private:
    void buildSections();
    void reload();

    std::vector<Section> sections_;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UIActionSheet> sheet_;
    int sheetSection_ = -1, sheetRow_ = -1;
};
