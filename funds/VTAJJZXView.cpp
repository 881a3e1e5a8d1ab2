#include "funds/VTAJJZXView.h"

#include <algorithm>

#include "core/RequestBuilder.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "funds/OwnFunds.h"
#include "platform/uikit/UILabel.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"
#include "ui/VTAAlertTextField.h"

namespace Col = FundContract::Col;

VTAJJZXView::VTAJJZXView(const CGRect& frame, const std::string& title, std::vector<Fund> data)
    : VTAParamView(frame, title), data_(std::move(data)) {
    bindRequest(kCheckTag, [this](const RequestReply& r) { checkReplied(r); });
    auto item = [this](const char* t, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(t, UIBarButtonItemStyle::Bordered, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    setFootBarItems(std::vector<std::shared_ptr<UIBarButtonItem>>{
        item("添加", [this] { onAddCode(); }), UIBarButtonItem::flexibleSpace(),
        item("确定", [this] { onCommandOK(); }), UIBarButtonItem::flexibleSpace(),
        item("取消", [this] { onCommandCancel(); })});
    okButton()->removeFromSuperview();
    cancelButton()->removeFromSuperview();
    UITableView* table = myTableView();
    table->setEditing(true, true);
    table->setAllowsSelectionDuringEditing(true);
    table->setDataSource(this);
    table->setDelegate(this);
}

VTAJJZXView::~VTAJJZXView() {
    myTableView()->setDataSource(nullptr);
    myTableView()->setDelegate(nullptr);
    if (addDialog_) addDialog_->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
}

// ---- the list ----

std::shared_ptr<UITableViewCell> VTAJJZXView::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                             const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("myIndentifier");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "myIndentifier");
    const Fund& f = data_[ip.row];
    cell->textLabel()->setText(f.first + "(" + f.second + ")");
    cell->textLabel()->setFont(defaultFont());
    return cell;
}

void VTAJJZXView::tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) { selectedIndex_ = ip.row; }

void VTAJJZXView::tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                              const NSIndexPath& ip) {
    if (style != UITableViewCellEditingStyle::Delete || ip.row < 0 || ip.row >= static_cast<int>(data_.size())) return;
    data_.erase(data_.begin() + ip.row);
    table.deleteRowsAtIndexPaths({ip}, UITableViewRowAnimation::Fade);
    needUpdate_ = true;
}

void VTAJJZXView::tableViewMoveRowAtIndexPath(UITableView&, const NSIndexPath& from, const NSIndexPath& to) {
    const int n = static_cast<int>(data_.size());
    if (from.row < 0 || from.row >= n || to.row < 0 || to.row >= n) return;
    Fund moved = data_[from.row];
    data_.erase(data_.begin() + from.row);
    data_.insert(data_.begin() + to.row, moved);
    selectedIndex_ = to.row;
    needUpdate_ = true;
}

// ---- adding a code ----

void VTAJJZXView::onAddCode() {
    if (addDialog_) addDialog_->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
    addDialog_ =
        std::make_shared<VTAAlertTextField>("输入要添加的基金代码", UIKeyboardType::NumberPad, 6, this, "确定", "取消");
    addDialog_->setTag(kAddAlertTag);
    if (auto field = addDialog_->textField()) field->setFont(defaultFont());
    addDialog_->show();
}

void VTAJJZXView::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (alert.tag() != kAddAlertTag || buttonIndex != 0) return;
    auto field = alert.textFieldAtIndex(0);
    theNewCode_ = field ? field->text() : "";
    if (theNewCode_.size() != 6) {
        showAlert("代码错误！");
        return;
    }
    requestFundEdit();
}

void VTAJJZXView::requestFundEdit() {
    RequestBuilder request(FundContract::kFundInformation);
    request.add(FundContract::Key::kFundCode, theNewCode_);
    sendRequest(kCheckTag, request, 5);
}

void VTAJJZXView::checkReplied(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set || set->rowsAffected() == 0) {
        showAlert("无此代码的基金");
        return;
    }
    const std::string name = set->toStringWithFieldName(Col::kShortName).value_or("");
    const std::string code = set->toStringWithFieldName(Col::kTradingCode).value_or("");
    if (std::any_of(data_.begin(), data_.end(), [&](const Fund& f) { return f.second == code; })) {
        showAlert("添加失败，" + name + "已经存在");
        return;
    }
    data_.emplace_back(name, code);
    needUpdate_ = true;
    myTableView()->reloadData();
}

void VTAJJZXView::requestDidFail(const RequestFailure& failure) {
    showAlert(failure.kind == RequestFailure::Kind::Unreadable ? "数据解析错误！" : failure.text);
}

// ---- closing ----

void VTAJJZXView::onCommandOK() {
    if (needUpdate_) {
        std::vector<std::string> codes;
        for (const auto& f : data_) codes.push_back(f.second);
        setOwnFundCodes(codes);
    }
    onOK();
}

void VTAJJZXView::onCommandCancel() {
    needUpdate_ = false;
    onCancel();
}
