#include "margin/VTADBPTransferCodeViewController.h"

#include "core/Utilities.h"
#include "margin/MarginCreditQueries.h"
#include "margin/MarginToolbar.h"
#include "platform/uikit/UINavigationBar.h"
#include "shell/Navigation.h"
#include "trade/TradeFormViews.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace {
constexpr int kNumberPad = 4;
}

VTADBPTransferCodeViewController::~VTADBPTransferCodeViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

VTATextField* VTADBPTransferCodeViewController::codeField() {
    view();
    return code_.get();
}

UITableView* VTADBPTransferCodeViewController::tableView() {
    view();
    return table_.get();
}

void VTADBPTransferCodeViewController::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    code_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 6, "请输入股票代码", kNumberPad);
    code_->setFont(defaultFont());
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void VTADBPTransferCodeViewController::createToolbarItems() { setMarginToolbar(*this); }

std::shared_ptr<UITableViewCell> VTADBPTransferCodeViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                                  const NSIndexPath&) {
    return tradeFormCell("股票代码", code_, false);
}

void VTADBPTransferCodeViewController::onCommandOK() {
    view()->endEditing(true);
    const std::string code = code_->text();
    if (utf8Length(code) != 6) {
        showAlert("股票代码输入有误！");
        return;
    }
    auto list = VTARZRQDBPZQSelectViewController::initWithStockCode(code);
    list->setViewMenu(viewMenu());
    list->setTitle(title());
    pushViewController(list);
}
