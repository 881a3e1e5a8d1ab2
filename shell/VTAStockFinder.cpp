#include "shell/VTAStockFinder.h"

#include <algorithm>
#include <cctype>

#include "core/RequestBuilder.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "shell/VTAViewControllers.h"
#include "ui/Alerts.h"
#include "ui/Palette.h"
#include "ui/VTAStockKeyboard.h"

namespace {

constexpr double kBarHeight = 44;

struct HistoryStore {
    std::vector<std::shared_ptr<VTAStock>> stocks;
    bool loaded = false;
};

HistoryStore& store() {
    static HistoryStore s;
    return s;
}

void loadIfNeeded() {
    if (!store().loaded) VTAStockFinder::reloadHistory();
}

bool isAlphanumeric(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

}  // namespace

VTAStockFinder::VTAStockFinder(const CGRect& frame) : UIView(frame) {
    bindRequest(kSearchTag, [this](const RequestReply& reply) { showResults(reply); });
    setBackgroundColor(colorWithIndex(13));
    field_ = std::make_shared<UITextField>(CGRectZero);
    field_->setBorderStyle(UITextBorderStyle::RoundedRect);
    field_->setPlaceholder("代码/拼音首字母");
    // Typed codes read as large as the codes in the rows below.
    field_->setFont(UIFont::systemFontOfSize(17));
    field_->setKeyboardType(UIKeyboardType::ASCIICapable);
    field_->setReturnKeyType(UIReturnKeyType::Search);
    field_->setDelegate(this);
    field_->addTarget(
        this, [this](UIControl&) { textChanged(); }, UIControlEventEditingChanged);
    // Codes and pinyin initials come from the stock-code keyboard; its keys
    // type through the field, so the editing-changed search above still runs.
    keyboard_ = VTAStockKeyboard::attachToTextField(field_);
    keyboard_->onConfirm = [this](const std::string& text) { searchWithKey(text); };
    close_ = std::make_shared<UIButton>(UIButtonType::RoundedRect);
    close_->setTitle("关闭");
    close_->addTarget(
        this, [this](UIControl&) { hide(); }, UIControlEventTouchUpInside);
    table_ = std::make_shared<UITableView>(CGRectZero, UITableViewStyle::Plain);
    table_->setRowHeight(40);
    table_->setDataSource(this);
    table_->setDelegate(this);
    addSubview(field_);
    addSubview(close_);
    addSubview(table_);
    loadIfNeeded();
    layoutSubviews();
}

VTAStockFinder::~VTAStockFinder() {
    field_->setDelegate(nullptr);
    field_->removeTarget(this);
    close_->removeTarget(this);
    table_->setDelegate(nullptr);
    table_->setDataSource(nullptr);
}

void VTAStockFinder::layoutSubviews() {
    CGRect b = bounds();
    field_->setFrame(CGRectMake(8, 7, b.size.width - 88, 30));
    close_->setFrame(CGRectMake(b.size.width - 72, 7, 64, 30));
    table_->setFrame(CGRectMake(0, kBarHeight, b.size.width, std::max(0.0, b.size.height - kBarHeight)));
}

std::shared_ptr<VTAStockFinder> VTAStockFinder::showFinder(const std::shared_ptr<VTAViewControllers>& opener) {
    UIWindow* window = UIApplication::sharedApplication().keyWindow();
    if (!window) return nullptr;
    CGRect frame = UIScreen::mainScreen().applicationFrame();
    frame.origin.y = 0;
    auto finder = std::make_shared<VTAStockFinder>(frame);
    finder->setOpener(opener);
    window->addSubview(finder);
    finder->slideUp();
    return finder;
}

void VTAStockFinder::slideUp() {
    CGRect screen = UIScreen::mainScreen().bounds();
    CGRect f = frame();
    f.origin.y = screen.size.height;
    setFrame(f);
    double top = screen.size.height - f.size.height;
    std::weak_ptr<UIView> weak = shared();
    UIView::animateWithDuration(
        kSlideSeconds,
        [this, top] {
            CGRect to = frame();
            to.origin.y = top;
            setFrame(to);
        },
        [weak](bool) {
            if (auto self = std::dynamic_pointer_cast<VTAStockFinder>(weak.lock())) self->endShown();
        });
}

void VTAStockFinder::endShown() {
    if (!hiding_ && window()) field_->becomeFirstResponder();
}

void VTAStockFinder::hide() {
    if (hiding_) return;
    hiding_ = true;
    cancelRequests();
    field_->resignFirstResponder();
    auto keep = std::dynamic_pointer_cast<VTAStockFinder>(shared());
    CGRect screen = UIScreen::mainScreen().bounds();
    UIView::animateWithDuration(
        kSlideSeconds,
        [this, screen] {
            CGRect to = frame();
            to.origin.y = screen.size.height;
            setFrame(to);
        },
        [keep](bool) {
            keep->removeFromSuperview();
            if (auto opener = keep->opener_.lock()) opener->myViewWillHidden(*keep);
        });
}

// ---- search ----

bool VTAStockFinder::textFieldShouldChangeCharactersInRange(UITextField&, NSRange, const std::string& replacement) {
    return isAlphanumeric(replacement);
}

bool VTAStockFinder::textFieldShouldReturn(UITextField& field) {
    searchWithKey(field.text());
    return true;
}

void VTAStockFinder::textChanged() { searchWithKey(field_->text()); }

void VTAStockFinder::searchWithKey(const std::string& key) {
    cancelRequests();
    if (key.empty() || (!isAlphanumeric(key) && !changesRequestShape(key))) {
        results_.clear();
        showingResults_ = false;
        table_->reloadData();
        return;
    }
    // A pasted key must not change the request's shape: the builder refuses it.
    RequestBuilder request(QuoteContract::kSearch);
    request.addTyped(QuoteContract::Key::kKey, key, kShapeChangingKeyText)
        .add(QuoteContract::Key::kCount, kResultCount);
    sendRequest(kSearchTag, request, 3);
}

void VTAStockFinder::showResults(const RequestReply& reply) {
    results_.clear();
    if (auto* found = reply.first()) {
        auto& set = *found;
        for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
            auto code = set.toStringWithFieldName(QuoteContract::Col::kCode).value_or("");
            if (code.empty()) continue;
            auto stock =
                std::make_shared<VTAStock>(code, set.toStringWithFieldName(QuoteContract::Col::kName).value_or(""),
                                           static_cast<int>(set.toIntWithFieldName(QuoteContract::Col::kMarket)));
            stock->setPinyinCode(set.toStringWithFieldName(QuoteContract::Col::kPinyin).value_or(""));
            stock->setTypeID(static_cast<int>(set.toIntWithFieldName(QuoteContract::Col::kClass)));
            results_.push_back(stock);
        }
    }
    showingResults_ = true;
    table_->reloadData();
}

// ---- the list ----

int VTAStockFinder::numberOfSectionsInTableView(UITableView&) { return showingResults_ ? 1 : 2; }

int VTAStockFinder::tableViewNumberOfRowsInSection(UITableView&, int section) {
    if (showingResults_) return static_cast<int>(results_.size());
    return section == 0 ? static_cast<int>(history().size()) : static_cast<int>(rankingLinks().size());
}

std::shared_ptr<UITableViewCell> VTAStockFinder::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("FinderCell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "FinderCell");
    const VTAStock* stock = nullptr;
    if (showingResults_) {
        if (ip.row >= 0 && ip.row < static_cast<int>(results_.size())) stock = results_[ip.row].get();
    } else if (ip.section == 0) {
        if (ip.row >= 0 && ip.row < static_cast<int>(history().size())) stock = history()[ip.row].get();
    } else if (ip.row >= 0 && ip.row < static_cast<int>(rankingLinks().size())) {
        cell->textLabel()->setText(rankingLinks()[ip.row].first);
        if (cell->detailTextLabel()) cell->detailTextLabel()->setText("");
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
    cell->setAccessoryType(UITableViewCellAccessoryType::None);
    cell->textLabel()->setText(stock ? stock->code() : "");
    if (cell->detailTextLabel()) cell->detailTextLabel()->setText(stock ? stock->name() : "");
    return cell;
}

std::string VTAStockFinder::tableViewTitleForHeaderInSection(UITableView&, int section) {
    if (showingResults_) return results_.empty() ? "没有找到相关股票" : "";
    if (section == 0) return history().empty() ? "" : "最近查询";
    return "排行榜";
}

void VTAStockFinder::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, false);
    if (showingResults_)
        pickResult(ip.row);
    else if (ip.section == 0)
        pickHistory(ip.row);
    else
        pickRanking(ip.row);
}

void VTAStockFinder::pickResult(int index) {
    if (index < 0 || index >= static_cast<int>(results_.size())) return;
    openStock(results_[index]);
}

void VTAStockFinder::pickHistory(int index) {
    if (index < 0 || index >= static_cast<int>(history().size())) return;
    openStock(history()[index]);
}

void VTAStockFinder::pickRanking(int index) {
    if (index < 0 || index >= static_cast<int>(rankingLinks().size())) return;
    const auto& [title, link] = rankingLinks()[index];
    auto vc = VTAUIFactory::viewControllerWithLink(link, title);
    hide();
    pushViewController(vc);
}

void VTAStockFinder::openStock(const std::shared_ptr<VTAStock>& stock) {
    auto keep = stock;  // the history may drop the entry the caller names
    addToHistory(keep);
    auto vc = VTAUIFactory::stockPageWithStocks({keep}, 0);
    // Without the quote page the older chart screen shows the stock.
    if (!vc) vc = VTAUIFactory::viewControllerWithLink(chartLinkOfStock(*keep), keep->name());
    hide();
    pushViewController(vc);
}

std::string VTAStockFinder::chartLinkOfStock(const VTAStock& stock) {
    return "fschart?code=" + stock.code() + "." + std::to_string(stock.marketID());
}

// ---- history ----

const std::vector<std::shared_ptr<VTAStock>>& VTAStockFinder::history() {
    loadIfNeeded();
    return store().stocks;
}

void VTAStockFinder::addToHistory(const std::shared_ptr<VTAStock>& stock) {
    if (!stock || stock->code().empty()) return;
    loadIfNeeded();
    auto& list = store().stocks;
    auto copy = std::make_shared<VTAStock>(*stock);
    list.erase(
        std::remove_if(list.begin(), list.end(),
                       [&](const auto& s) { return s->code() == copy->code() && s->marketID() == copy->marketID(); }),
        list.end());
    list.insert(list.begin(), copy);
    if (list.size() > kMaxHistory) list.resize(kMaxHistory);
}

bool VTAStockFinder::saveHistory() {
    loadIfNeeded();
    Value::Array items;
    for (const auto& s : store().stocks) {
        Value::Dict d;
        d["code"] = Value(s->code());
        d["name"] = Value(s->name());
        d["pycode"] = Value(s->pinyinCode());
        d["market"] = Value(static_cast<int64_t>(s->marketID()));
        d["type"] = Value(static_cast<int64_t>(s->typeID()));
        items.push_back(Value(std::move(d)));
    }
    return NSKeyedArchiver::archiveRootObject(Value(std::move(items)), documentsPath(kHistoryFile));
}

void VTAStockFinder::reloadHistory() {
    auto& s = store();
    s.stocks.clear();
    s.loaded = true;
    auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(documentsPath(kHistoryFile));
    if (!root || !root->isArray()) return;
    for (const auto& item : root->array()) {
        if (!item.isDict()) continue;
        auto field = [&](const char* k) -> const Value& { return item[k]; };
        std::string code = field("code").toString();
        if (code.empty()) continue;
        auto stock =
            std::make_shared<VTAStock>(code, field("name").toString(), static_cast<int>(field("market").toInt()));
        stock->setPinyinCode(field("pycode").toString());
        stock->setTypeID(static_cast<int>(field("type").toInt()));
        s.stocks.push_back(stock);
        if (s.stocks.size() >= kMaxHistory) break;
    }
}

void VTAStockFinder::clearHistory() {
    store().stocks.clear();
    store().loaded = true;
}

const std::vector<std::pair<std::string, std::string>>& VTAStockFinder::rankingLinks() {
    static const std::vector<std::pair<std::string, std::string>> links = {
        {"沪市A股", "pxhq?market=2^沪市&type=100^A股&tc_mfuncno=31000&tc_sfuncno=3"},
        {"沪市A股(全部)", "pxhq?market=2^沪市&type=101^A股&tc_mfuncno=31000&tc_sfuncno=3"},
        {"深市A股", "pxhq?market=1^深市&type=100^A股&tc_mfuncno=31000&tc_sfuncno=3"},
        {"深市A股(全部)", "pxhq?market=1^深市&type=101^A股&tc_mfuncno=31000&tc_sfuncno=3"},
        {"深沪债券", "pxhq?market=1|2^深沪&type=6^债券&tc_mfuncno=31000&tc_sfuncno=3"},
        {"深沪基金", "pxhq?market=1|2^深沪&type=4^基金&tc_mfuncno=31000&tc_sfuncno=3"},
        {"开放式基金", "pxhq?market=1|2^深沪&type=103^开放式基金&tc_mfuncno=31000&tc_sfuncno=3"},
        {"深沪权证", "pxhq?market=1|2^深沪&type=5^权证&tc_mfuncno=31000&tc_sfuncno=3"},
    };
    return links;
}
