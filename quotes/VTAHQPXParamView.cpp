#include "quotes/VTAHQPXParamView.h"

#include "core/RequestText.h"
#include "core/VTAParamter.h"
#include "ui/Alerts.h"

namespace {

constexpr double kSegmentRowHeight = 52;

// "code^name#code^name": name to code, in order; items without a name are left out.
VTAHQPXParamView::Names namesOf(const Value::Dict& conf, const std::string& key) {
    VTAHQPXParamView::Names out;
    auto it = conf.find(key);
    if (it == conf.end() || !it->second.isString()) return out;
    for (const std::string& item : splitText(it->second.string(), "#")) {
        auto caret = item.find('^');
        if (caret == std::string::npos || caret == 0 || caret + 1 == item.size()) continue;
        out.setValue(item.substr(0, caret), item.substr(caret + 1));
    }
    return out;
}

std::string nameOf(const VTAHQPXParamView::Names& names, const std::string& code) {
    return names.keyForValue(code).value_or(code);
}

}  // namespace

VTAHQPXParamView::VTAHQPXParamView(const CGRect& frame, const std::string& title) : VTAParamView(frame, title) {
    if (auto conf = VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ")) {
        configured_ = true;
        markets_ = namesOf(*conf, "market");
        types_ = namesOf(*conf, "type");
        sorts_ = namesOf(*conf, "sort");
    } else {
        showAlert("配置错误", "请重新请求配置文件");
    }
    marketSegment_ = std::make_shared<UISegmentedControl>(markets_.allKeys());
    marketSegment_->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
    marketSegment_->setFrame(CGRectMake(10, 6, 280, 40));
    marketSegment_->addTarget(
        this, [this](UIControl&) { marketChanged(); }, UIControlEventValueChanged);
    myTableView()->setDataSource(this);
    myTableView()->setDelegate(this);
}

VTAHQPXParamView::~VTAHQPXParamView() {
    myTableView()->setDelegate(nullptr);
    myTableView()->setDataSource(nullptr);
}

void VTAHQPXParamView::setSelectedMarket(const std::string& code) {
    selectedMarket_ = code;
    const auto codes = markets_.allValues();
    int index = UISegmentedControlNoSegment;
    for (size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == code) index = static_cast<int>(i);
    marketSegment_->setSelectedSegmentIndex(index);
}

void VTAHQPXParamView::setSelectedType(const std::string& code) {
    selectedType_ = code;
    myTableView()->reloadData();
}

void VTAHQPXParamView::setSelectedSort(const std::string& code) {
    selectedSort_ = code;
    myTableView()->reloadData();
}

std::string VTAHQPXParamView::getMarketName() const { return nameOf(markets_, selectedMarket_); }
std::string VTAHQPXParamView::getTypeName() const { return nameOf(types_, selectedType_); }
std::string VTAHQPXParamView::getSortName() const { return nameOf(sorts_, selectedSort_); }

void VTAHQPXParamView::marketChanged() {
    const auto codes = markets_.allValues();
    int index = marketSegment_->selectedSegmentIndex();
    if (index >= 0 && index < static_cast<int>(codes.size())) selectedMarket_ = codes[static_cast<size_t>(index)];
}

int VTAHQPXParamView::tableViewNumberOfRowsInSection(UITableView&, int section) {
    if (section == 0) return 1;
    return static_cast<int>(section == 1 ? types_.count() : sorts_.count());
}

std::string VTAHQPXParamView::tableViewTitleForHeaderInSection(UITableView&, int section) {
    return section >= 0 && section < 3 ? kSectionTitles[section] : "";
}

double VTAHQPXParamView::tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& path) {
    return path.section == 0 ? kSegmentRowHeight : -1;
}

std::shared_ptr<UITableViewCell> VTAHQPXParamView::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                  const NSIndexPath& path) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "Param");
    if (path.section == 0) {
        cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
        marketSegment_->removeFromSuperview();
        cell->contentView()->addSubview(marketSegment_);
        return cell;
    }
    const Names& names = path.section == 1 ? types_ : sorts_;
    const std::string& selected = path.section == 1 ? selectedType_ : selectedSort_;
    if (path.row < 0 || path.row >= static_cast<int>(names.count())) return cell;
    const auto& [name, code] = names.pairs()[static_cast<size_t>(path.row)];
    cell->textLabel()->setText(name);
    cell->setAccessoryType(code == selected ? UITableViewCellAccessoryType::Checkmark
                                            : UITableViewCellAccessoryType::None);
    return cell;
}

void VTAHQPXParamView::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& path) {
    table.deselectRowAtIndexPath(path, false);
    if (path.section == 0) return;
    const Names& names = path.section == 1 ? types_ : sorts_;
    if (path.row < 0 || path.row >= static_cast<int>(names.count())) return;
    const std::string& code = names.pairs()[static_cast<size_t>(path.row)].second;
    if (path.section == 1)
        setSelectedType(code);
    else
        setSelectedSort(code);
}
