#include "trade/VTAXGTableViewController.h"

#include <algorithm>

#include "core/QZUtil.h"
#include "core/Utilities.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/NewIssueContract.h"
#include "platform/graphics/UIColor.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "trade/VTAXGBuyViewController.h"
#include "ui/Alerts.h"
#include "ui/Palette.h"

namespace {

using namespace NewIssueContract;

constexpr int kBlue = 45;  // the palette's blue, readable on the grid's black

std::string textOf(const VTATCRS& set, const std::string& field) {
    return set.toStringWithFieldName(field).value_or("");
}

// Whether the current record's issue can be subscribed today.
bool isToday(const VTATCRS& set) {
    const std::string status = textOf(set, Col::kStatus);
    return !status.empty() && intValueOfText(status) == Status::kToday;
}

}  // namespace

const std::vector<std::string>& VTAXGTableViewController::fixedTitles() {
    static const std::vector<std::string> titles{"股票名称", "申购代码",   "发行价格", "申购日期",
                                                 "发行数量", "发行市盈率", "申购上限", "上市时间"};
    return titles;
}

RequestBuilder VTAXGTableViewController::tradeInfoRequest() const {
    auto menu = viewMenu();
    RequestBuilder request = RequestBuilder::fromLinkQuery(menu ? menu->link() : "");
    std::string markets;
    if (auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer)) {
        for (customer->fetchFirst(); !customer->isEOF(); customer->fetchNext())
            markets += (markets.empty() ? "" : ",") + textOf(*customer, Col::kMarket);
        customer->fetchFirst();
    }
    return request.add(Key::kListMarkets, markets);
}

void VTAXGTableViewController::requestTradeInfo() {
    auto menu = viewMenu();
    if (!menu || menu->link().empty() || !VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer))
        return;
    sendListRequest(tradeInfoRequest(), tradeInfoRequestType());
}

bool VTAXGTableViewController::showsField(const std::string& name) const {
    // Unlike the other lists, a field named "poststr" is shown here.
    if (positionName_ && name == *positionName_) return false;
    return unlist_.find(name) == std::string::npos;
}

bool VTAXGTableViewController::subscribableAt(int index) const {
    if (!tableData_ || index < 0 || index >= tableData_->rowsAffected()) return false;
    tableData_->moveToIndex(index);
    const bool today = isToday(*tableData_);
    tableData_->fetchFirst();
    return today;
}

void VTAXGTableViewController::loadTable() {
    replaceGrid();
    myTableView_->setSupportsMutiSelect(true);
    if (tableData_) {
        VTATCRS& set = *tableData_;
        std::vector<int> columns;
        std::vector<std::string> titles;
        for (int i = 0; i < set.fieldCount(); ++i)
            if (showsField(set.getFieldNameAtIndex(i))) columns.push_back(i);
        const bool fixed = !columns.empty() && set.getFieldDescAtIndex(columns.front()).empty();
        for (size_t k = 0; k < columns.size(); ++k) {
            // Fixed titles cover eight columns; a reply with more keeps the field names beyond.
            if (fixed)
                titles.push_back(k < fixedTitles().size() ? fixedTitles()[k] : set.getFieldNameAtIndex(columns[k]));
            else
                titles.push_back(set.getFieldDescAtIndex(columns[k]));
        }
        myTableView_->appendTopTitles(titles, VTATableView::Colors(titles.size(), UIColor::whiteColor()));
        const int signIndex = signField_.empty() ? -1 : set.fieldsIndexWithName(signField_);
        for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
            const bool today = isToday(set);
            std::vector<std::string> items;
            VTATableView::Colors colors;
            for (size_t k = 0; k < columns.size(); ++k) {
                items.push_back(set.toStringAtIndex(columns[k]).value_or(""));
                if (k == 0 && today)
                    colors.push_back(colorWithIndex(kBlue));
                else if (columns[k] == signIndex)
                    colors.push_back(signColor(QZUtil::integerFromSignStr(set.toStringAtIndex(signIndex))));
                else
                    colors.push_back(UIColor::whiteColor());
            }
            auto radio = std::make_shared<VTARadioButton>(CGRectMake(0, 0, 30, 37));
            radio->setEnable(today);
            myTableView_->appendMutiButton(radio);
            myTableView_->appendRowItems(items, colors);
        }
        set.fetchFirst();
    }
    myTableView_->loadData();
}

void VTAXGTableViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto buy = std::make_shared<UIBarButtonItem>("申购", UIBarButtonItemStyle::Bordered, this,
                                                 [this](UIBarButtonItem&) { onCommandOK(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), buy});
}

void VTAXGTableViewController::tableViewDoubleClickAtIndex(VTATableView&, int index) {
    if (tableData_ && index >= 0 && index < tableData_->rowsAffected() && !subscribableAt(index))
        showAlert(kNotTodayText);
}

void VTAXGTableViewController::onCommandOK() {
    const auto ticked = myTableView_ ? myTableView_->getMutiSelectedIndex() : std::nullopt;
    if (!ticked || ticked->empty() || !tableData_) {
        showAlert(kNoTickText);
        return;
    }
    std::vector<std::string> codes, markets;
    for (int row : *ticked) {
        if (row >= tableData_->rowsAffected() || !subscribableAt(row)) continue;
        tableData_->moveToIndex(row);
        const std::string code = textOf(*tableData_, Col::kCode);
        if (std::find(codes.begin(), codes.end(), code) == codes.end()) {
            codes.push_back(code);
            markets.push_back(textOf(*tableData_, Col::kMarket));
        }
    }
    tableData_->fetchFirst();
    auto buy = std::make_shared<VTAXGBuyViewController>();
    buy->setTitle(kBuyTitle);
    buy->setXgCodes(codes);
    buy->setXgMarkets(markets);
    ::pushViewController(buy);
}
