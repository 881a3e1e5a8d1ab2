#include "trade/VTAXGBuyViewController.h"

#include "core/RequestBuilder.h"
#include "core/Utilities.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/NewIssueContract.h"
#include "core/contracts/TradeContract.h"
#include "platform/graphics/UIColor.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "shell/TradeSession.h"
#include "trade/TradeFormViews.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"
#include "ui/VTAButtonFactory.h"

namespace {

using namespace NewIssueContract;

struct Strategy {
    const char* label;
    const char* header;
    const char* caption;  // of the input row; null without one
    const char* unit;
};
const Strategy kStrategies[] = {
    {"自定义", "请输入每只新股的申购股数", "申购股数：", "股"},
    {"等资金", "平均分配所有资金申购多只股票", nullptr, ""},
    {"自定义比例", "请输入申购新股的资金比例", "资金比例：", "％"},
    {"自定义资金", "请输入每只新股的申购资金", "拟申购资金：", "元"},
    {"按上限申购", "按上限申购多只股票", nullptr, ""},
};

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "," : "") + parts[i];
    return out;
}

std::string textOf(const VTATCRS& set, const std::string& field) {
    return set.toStringWithFieldName(field).value_or("");
}
std::string fieldAt(const VTATCRS& set, int index) { return set.toStringAtIndex(index).value_or(""); }

std::shared_ptr<UILabel> label(const CGRect& frame, const std::string& text, double size,
                               std::shared_ptr<UIColor> color) {
    auto l = std::make_shared<UILabel>(frame);
    l->setText(text);
    l->setFont(UIFont::systemFontOfSize(size));
    l->setTextColor(std::move(color));
    l->setBackgroundColor(UIColor::clearColor());
    return l;
}

// The calculation answer's fields, by position.
constexpr int kCode = 0, kName = 1, kPriceAt = 2, kQuantity = 3, kAmount = 4, kMarketAt = 5;

}  // namespace

const std::vector<std::string>& VTAXGBuyViewController::strategies() {
    static const std::vector<std::string> labels = [] {
        std::vector<std::string> out;
        for (const auto& s : kStrategies) out.push_back(s.label);
        return out;
    }();
    return labels;
}

VTAXGBuyViewController::VTAXGBuyViewController() {
    bindRequest(kLimitsTag, [this](const RequestReply& r) { limitsArrived(r); }, {.handlesErrorSet = true});
    bindRequest(kCalcTag, [this](const RequestReply& r) { calculationArrived(r); });
    bindRequest(kOrderTag, [this](const RequestReply& r) { orderArrived(r); },
                {.order = true, .unknownOutcomeText = kUnknownOutcomeText});
}

VTAXGBuyViewController::~VTAXGBuyViewController() {
    for (auto& f : items_) f->setFieldDelegate(nullptr);
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

void VTAXGBuyViewController::viewWillDidLoad() {
    UIView* content = contentView();
    const CGRect b = content->bounds();
    content->addSubview(label(CGRectMake(10, 0, 65, 38), "资金总计:", 13, UIColor::darkGrayColor()));
    tolMoney_ = label(CGRectMake(70, 0, 80, 38), "", 13, UIColor::blueColor());
    content->addSubview(tolMoney_);
    content->addSubview(label(CGRectMake(155, 0, 60, 38), "申购策略:", 12, UIColor::darkGrayColor()));
    strategyBtn_ = VTAButtonFactory::imageButton(
        "select.png", CGRectMake(220, 4, 90, 30), [this](UIButton&) { showPicker(); }, strategies()[0]);
    strategyBtn_->titleLabel()->setFont(UIFont::systemFontOfSize(13));
    strategyBtn_->setTitleColor(UIColor::blackColor());
    content->addSubview(strategyBtn_);
    table_ =
        std::make_shared<UITableView>(CGRectMake(0, 40, b.size.width, b.size.height - 80), UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    content->addSubview(table_);
    strategyIndex_ = 0;
    items_.clear();
    for (size_t i = 0; i < xgCodes_.size(); ++i) {
        auto field = std::make_shared<VTATextField>(CGRectMake(0, 0, 180, 30), 10, "<请输入>", 4);
        field->setFont(defaultFont());
        field->setTellsLimit(true);
        field->setFieldDelegate(this);
        field->setTag(static_cast<int>(i));
        items_.push_back(field);
    }
    keepToolbarAboveKeyboard();
}

void VTAXGBuyViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    // Only the limits: an order or a calculation is sent by the customer's own press.
    requestLimits();
}

void VTAXGBuyViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    // Leaving cancels what was on its way: no stage waits for an answer any more.
    doTradeNow_ = getComformInfo_ = false;
    if (picker_) picker_->slideDown();
}

void VTAXGBuyViewController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("自选", [this] { goToZXHQ(); }), flexibleSpaceBarBtn(),
                         item("确定", [this] { onCommandOK(); })});
}

// ---- strategy ----

void VTAXGBuyViewController::showPicker() {
    if (!picker_)
        picker_ =
            std::make_unique<TradePickerStrip>([] { return strategies(); }, [this](int row) { setStrategy(row); });
    picker_->showIn(*view(), strategyIndex_);
}

void VTAXGBuyViewController::setStrategy(int index) {
    if (index < 0 || index >= static_cast<int>(strategies().size())) return;
    strategyIndex_ = index;
    strategyBtn_->setTitle(strategies()[static_cast<size_t>(index)] + "   ");
    for (auto& f : items_) f->setUnit(kStrategies[index].unit);
    table_->reloadData();
}

// ---- table ----

int VTAXGBuyViewController::numberOfSectionsInTableView(UITableView&) {
    return xgCodes_.empty() ? 1 : static_cast<int>(xgCodes_.size());
}

int VTAXGBuyViewController::tableViewNumberOfRowsInSection(UITableView&, int section) {
    // Only issues the limits answered for have rows.
    if (!xgInfo_ || xgCodes_.empty() || section >= xgInfo_->rowsAffected()) return 0;
    return hasInput(strategyIndex_) ? 6 : 5;
}

std::string VTAXGBuyViewController::tableViewTitleForHeaderInSection(UITableView&, int section) {
    return section == 0 ? kStrategies[strategyIndex_].header : "";
}

std::shared_ptr<UITableViewCell> VTAXGBuyViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                        const NSIndexPath& ip) {
    VTATCRS& info = *xgInfo_;
    info.moveToIndex(ip.section);
    switch (ip.row) {
        case 0:
            return tradeFormCell("股票名称：", tradeFormValueLabel(textOf(info, Col::kName), 20), false);
        case 1:
            return tradeFormCell("股票代码：", tradeFormValueLabel(textOf(info, Col::kCode), 20), false);
        case 2:
            return tradeFormCell("价格：", tradeFormValueLabel(textOf(info, Col::kPrice) + "元", 20), false);
        case 3:
            return tradeFormCell("上限：", tradeFormValueLabel(textOf(info, Col::kMaxQty) + "股", 20), false);
        case 4:
            return tradeFormCell("最大可申购：", tradeFormValueLabel(textOf(info, Col::kMaxBuy) + "股", 20), false);
        default:
            break;
    }
    auto field = item(static_cast<size_t>(ip.section));
    if (field) field->setUnit(kStrategies[strategyIndex_].unit);
    const char* caption = kStrategies[strategyIndex_].caption;
    return tradeFormCell(caption ? caption : "", field ? items_[static_cast<size_t>(ip.section)] : nullptr, false);
}

bool VTAXGBuyViewController::myTextFieldWillShowKeyboard(VTATextField& field) {
    // The issue's input comes to the top of the form, above the keyboard.
    table_->setContentOffset(CGPointMake(0, 280.0 * field.tag() + 260), true);
    table_->setScrollEnabled(false);
    return true;
}

void VTAXGBuyViewController::myTextFieldDidHideKeyboard(VTATextField&) { table_->setScrollEnabled(true); }

// ---- requests ----

bool VTAXGBuyViewController::requestNewShareBid() {
    if (doTradeNow_) return requestOrder();
    if (getComformInfo_) return requestCalculation();
    return requestLimits();
}

bool VTAXGBuyViewController::requestLimits() {
    if (xgInfo_ || xgCodes_.empty() || xgMarkets_.empty() || isRequestInFlight(kLimitsTag)) return false;
    RequestBuilder request = RequestBuilder::trade(kLimits, false);
    request.add(Key::kStockCode, joined(xgCodes_));
    return sendRequest(kLimitsTag, request, 4);
}

bool VTAXGBuyViewController::requestCalculation() {
    RequestBuilder request = RequestBuilder::trade(kCalculation, false);
    std::vector<std::string> params;
    if (hasInput(strategyIndex_))
        for (auto& f : items_) params.push_back(f->getText());
    request.add(Key::kPolicy, strategyIndex_)
        .add(Key::kCodes, joined(xgCodes_))
        .add(Key::kMarkets, joined(xgMarkets_))
        .add(Key::kParams, joined(params));
    getComformInfo_ = sendRequest(kCalcTag, request, 4);
    return getComformInfo_;
}

bool VTAXGBuyViewController::requestOrder() {
    std::vector<std::string> fundids, secuids, codes, markets, prices, quantities;
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    if (comFirtInfo_ && customer) {
        VTATCRS& calc = *comFirtInfo_;
        for (calc.fetchFirst(); !calc.isEOF(); calc.fetchNext()) {
            const std::string market = fieldAt(calc, kMarketAt);
            codes.push_back(fieldAt(calc, kCode));
            markets.push_back(market);
            prices.push_back(fieldAt(calc, kPriceAt));
            quantities.push_back(fieldAt(calc, kQuantity));
            for (customer->fetchFirst(); !customer->isEOF(); customer->fetchNext())
                if (textOf(*customer, TradeContract::Col::kMarket) == market) {
                    secuids.push_back(textOf(*customer, TradeContract::Col::kSecuId));
                    fundids.push_back(textOf(*customer, TradeContract::Col::kFundId));
                    break;
                }
        }
        calc.fetchFirst();
        customer->fetchFirst();
    }
    const size_t n = xgCodes_.size();
    if (fundids.size() != n || secuids.size() != n || codes.size() != n || markets.size() != n ||
        quantities.size() != n) {
        // An issue of a market the customer holds no account in: nothing can be ordered.
        doTradeNow_ = false;
        showAlert(kNoShareholderText);
        return false;
    }
    RequestBuilder request = RequestBuilder::trade(kSubscribe, false);
    request.add(Key::kFundIds, joined(fundids))
        .add(Key::kPrice, joined(prices))
        .add(Key::kMarkets, joined(markets))
        .add(Key::kSecuIds, joined(secuids))
        .add(Key::kQty, joined(quantities))
        .add(Key::kCodes, joined(codes));
    doTradeNow_ = sendRequest(kOrderTag, request, 4);
    return doTradeNow_;
}

void VTAXGBuyViewController::onCommandOK() {
    // One calculation or order at a time.
    if (isRequestInFlight(kCalcTag) || isRequestInFlight(kOrderTag)) return;
    for (auto& f : items_) f->resignFirstResponder();
    if (hasInput(strategyIndex_))
        for (auto& f : items_)
            if (f->getText().empty()) {
                showAlert(kEmptyInputText);
                return;
            }
    getComformInfo_ = true;
    requestNewShareBid();
}

void VTAXGBuyViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (&alert != confirmAlert_.get() || buttonIndex != 1) return;
    doTradeNow_ = true;
    requestNewShareBid();
}

// ---- replies ----

void VTAXGBuyViewController::limitsArrived(const RequestReply& reply) {
    VTATCRS* funds = reply.set(0);
    if (!funds) {
        showAlert(RequestBinding::kUnreadableText);
        return;
    }
    if (funds->isError()) {
        showAlert(funds->getError());
    } else {
        tolMoney_->setText(textOf(*funds, Col::kFundAvl));
    }
    auto issues = reply.sharedSet(1);
    if (!issues) return;
    if (issues->isError()) {
        showAlert(issues->getError());
        return;
    }
    xgInfo_ = issues;
    table_->reloadData();
}

void VTAXGBuyViewController::calculationArrived(const RequestReply& reply) {
    getComformInfo_ = false;
    auto set = reply.sharedSet(0);
    if (!set) {
        showAlert(RequestBinding::kUnreadableText);
        return;
    }
    comFirtInfo_ = set;
    std::string message;
    for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) {
        if (intValueOfText(fieldAt(*set, kQuantity)) < 1) {
            set->fetchFirst();
            showAlert(kZeroText);
            return;
        }
        message += "◆" + fieldAt(*set, kName) + "(" + fieldAt(*set, kCode) + ") 价格:" + fieldAt(*set, kPriceAt) +
                   " 金额:" + fieldAt(*set, kAmount) + "元 股数:" + fieldAt(*set, kQuantity) + "股\n";
    }
    set->fetchFirst();
    confirmAlert_ = std::make_shared<UIAlertView>(kConfirmTitle, message, nullptr, std::string("取消"),
                                                  std::vector<std::string>{"确认"});
    if (auto self = std::dynamic_pointer_cast<UIAlertViewDelegate>(sharedController()))
        confirmAlert_->setDelegate(std::weak_ptr<UIAlertViewDelegate>(self));
    confirmAlert_->show();
}

void VTAXGBuyViewController::orderArrived(const RequestReply& reply) {
    doTradeNow_ = false;
    // One result line per issue sent; an answer short of them cannot say
    // what became of the rest: the lines that came are shown, and the
    // customer is sent where the subscriptions show for the others.
    VTATCRS* set = reply.first();
    std::string lines;
    int answered = 0;
    for (; set && !set->isEOF(); set->fetchNext(), ++answered) {
        const std::string line = fieldAt(*set, 1);
        if (line.empty()) break;
        lines += "◆" + line + "\n";
    }
    if (set) set->fetchFirst();
    const bool whole = answered > 0 && answered >= static_cast<int>(xgCodes_.size());
    showAlert(whole ? lines : lines + kUnknownOutcomeText);
}

void VTAXGBuyViewController::requestDidFail(const RequestFailure& failure) {
    // The stage of the failed request is over; the customer may try again.
    if (failure.tag == kCalcTag) getComformInfo_ = false;
    if (failure.tag == kOrderTag) doTradeNow_ = false;
    VTAViewControllers::requestDidFail(failure);
}
