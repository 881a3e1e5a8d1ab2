#include "shell/VTASettingViewController.h"

#include <cstdio>

#include "core/VTAUserDefoult.h"
#include "net/NetworkManager.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "shell/VTAUIFactory.h"

namespace {
constexpr const char* kMessageSettingLink = "msgsetting";
}

VTASettingViewController::VTASettingViewController() { setTitle("系统设置"); }

VTASettingViewController::~VTASettingViewController() {
    if (table_) {
        table_->setDelegate(nullptr);
        table_->setDataSource(nullptr);
    }
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

void VTASettingViewController::buildSections() {
    using K = RowKind;
    sections_.clear();
    Section quotes{"行情设置",
                   {
                       {K::Switch, "自动刷新", "auto refresh", {}, "", 0},
                       {K::Choice, "刷新间隔", "auto refresh wait time", {5, 10, 15, 30, 60}, "秒", 10},
                       {K::Switch, "分时叠加指数", "fschart dj set", {}, "", 0},
                       {K::Choice, "大单标准", "StepForBS", {100, 500, 1000, 2000, 5000}, "手", 500},
                   }};
    if (VTAUIFactory::hasScreen(kMessageSettingLink))
        quotes.rows.push_back({K::Action, "消息提醒设置", kMessageSettingLink, {}, "", 0});
    sections_.push_back(quotes);
    sections_.push_back({"交易设置",
                         {
                             {K::Choice, "保存帐号个数", "logaccnum", {1, 3, 5, 10}, "个", 10},
                             {K::Choice,
                              "交易锁定时间",
                              kTradeLockIntervalKey,
                              {5, 10, 15, 30, 60},
                              "分钟",
                              kDefaultTradeLockMinutes,
                              tradeLockIntervalMinutes,
                              setTradeLockIntervalMinutes},
                         }});
    sections_.push_back({"显示设置", {{K::Choice, "字体大小", "defoult font size", {13, 15, 17, 19}, "", 15}}});
    sections_.push_back({"流量统计",
                         {
                             {K::Info, "发送", "sent", {}, "", 0},
                             {K::Info, "接收", "received", {}, "", 0},
                             {K::Action, "流量清零", "", {}, "", 0},
                         }});
    sections_.push_back({"其他",
                         {
                             {K::Action, "软件更新", "update", {}, "", 0},
                             {K::Action, "意见反馈", "feedback", {}, "", 0},
                             {K::Action, "客户服务", "customerservice", {}, "", 0},
                             {K::Action, "邀请好友", "invite", {}, "", 0},
                             {K::Action, "关于", "about", {}, "", 0},
                             {K::Action, "免责声明", "disclaimer", {}, "", 0},
                         }});
}

void VTASettingViewController::viewWillDidLoad() {
    hideToolBar();
    buildSections();
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void VTASettingViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    reload();
}

void VTASettingViewController::reload() {
    buildSections();
    if (table_) table_->reloadData();
}

int VTASettingViewController::choiceValue(const Row& row) const {
    if (row.read) return row.read();
    int64_t v = VTAUserDefoult::standerDefoult().getIntForKey(row.key);
    return v > 0 ? static_cast<int>(v) : row.fallback;
}

void VTASettingViewController::setChoiceValue(const Row& row, int value) {
    if (row.write) {
        row.write(value);
    } else {
        auto& s = VTAUserDefoult::standerDefoult();
        s.setInt(value, row.key);
        s.save();
    }
}

std::string VTASettingViewController::trafficText(int64_t bytes) {
    char buf[32];
    if (bytes < 1024)
        std::snprintf(buf, sizeof buf, "%lldB", static_cast<long long>(bytes));
    else if (bytes < 1024 * 1024)
        std::snprintf(buf, sizeof buf, "%.1fKB", bytes / 1024.0);
    else
        std::snprintf(buf, sizeof buf, "%.2fMB", bytes / (1024.0 * 1024.0));
    return buf;
}

std::string VTASettingViewController::valueText(const Row& row) const {
    switch (row.kind) {
        case RowKind::Switch:
            return VTAUserDefoult::standerDefoult().getBoolForKey(row.key) ? "开" : "关";
        case RowKind::Choice:
            return std::to_string(choiceValue(row)) + row.unit;
        case RowKind::Info:
            return trafficText(row.key == "sent" ? NetworkManager::manager().sentBytes()
                                                 : NetworkManager::manager().receivedBytes());
        case RowKind::Action:
            return "";
    }
    return "";
}

void VTASettingViewController::selectRow(int section, int row) {
    if (section < 0 || section >= static_cast<int>(sections_.size())) return;
    const auto& rows = sections_[section].rows;
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    const Row r = rows[row];
    switch (r.kind) {
        case RowKind::Switch: {
            auto& s = VTAUserDefoult::standerDefoult();
            s.setBool(!s.getBoolForKey(r.key), r.key);
            s.save();
            reload();
            break;
        }
        case RowKind::Choice: {
            std::vector<std::string> titles;
            for (int v : r.values) titles.push_back(std::to_string(v) + r.unit);
            if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
            sheet_ = std::make_shared<UIActionSheet>(r.title, this, std::string("取消"), std::nullopt, titles);
            sheetSection_ = section;
            sheetRow_ = row;
            sheet_->showInView(view().get());
            break;
        }
        case RowKind::Info:
            break;
        case RowKind::Action:
            if (r.key.empty()) {
                NetworkManager::manager().resetTraffic();
                reload();
            } else if (r.key == kMessageSettingLink) {
                // The message notification settings come without a title.
                auto vc = VTAUIFactory::viewControllerWithLink(r.key, "");
                pushViewController(vc);
            } else {
                pushViewController(VTAUIFactory::viewControllerWithLink(r.key, r.title));
            }
            break;
    }
}

void VTASettingViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != sheet_.get()) return;
    int section = sheetSection_, row = sheetRow_;
    sheetSection_ = sheetRow_ = -1;
    if (section < 0 || section >= static_cast<int>(sections_.size())) return;
    if (row < 0 || row >= static_cast<int>(sections_[section].rows.size())) return;
    const Row r = sections_[section].rows[row];
    if (buttonIndex == sheet.cancelButtonIndex()) return;
    int first = sheet.firstOtherButtonIndex();
    int pick = buttonIndex - (first < 0 ? 0 : first);
    if (pick < 0 || pick >= static_cast<int>(r.values.size())) return;
    setChoiceValue(r, r.values[pick]);
    reload();
}

int VTASettingViewController::numberOfSectionsInTableView(UITableView&) { return static_cast<int>(sections_.size()); }

int VTASettingViewController::tableViewNumberOfRowsInSection(UITableView&, int section) {
    if (section < 0 || section >= static_cast<int>(sections_.size())) return 0;
    return static_cast<int>(sections_[section].rows.size());
}

std::shared_ptr<UITableViewCell> VTASettingViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                          const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("SettingCell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "SettingCell");
    if (ip.section < 0 || ip.section >= static_cast<int>(sections_.size())) return cell;
    const auto& rows = sections_[ip.section].rows;
    if (ip.row < 0 || ip.row >= static_cast<int>(rows.size())) return cell;
    const Row& r = rows[ip.row];
    cell->textLabel()->setText(r.title);
    if (cell->detailTextLabel()) cell->detailTextLabel()->setText(valueText(r));
    cell->setAccessoryType(r.kind == RowKind::Action && !r.key.empty()
                               ? UITableViewCellAccessoryType::DisclosureIndicator
                               : UITableViewCellAccessoryType::None);
    cell->setSelectionStyle(r.kind == RowKind::Info ? UITableViewCellSelectionStyle::None
                                                    : UITableViewCellSelectionStyle::Blue);
    return cell;
}

std::string VTASettingViewController::tableViewTitleForHeaderInSection(UITableView&, int section) {
    return section >= 0 && section < static_cast<int>(sections_.size()) ? sections_[section].title : "";
}

void VTASettingViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    selectRow(ip.section, ip.row);
}
