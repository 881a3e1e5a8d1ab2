#include "shell/VTALinkTable.h"

#include <cstdlib>

#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "platform/uikit/UIScreen.h"

namespace {

LinkSetup plain(const char* command, const char* cls, bool trade = false) {
    LinkSetup s;
    s.command = command;
    s.screenClass = cls;
    s.trade = trade;
    return s;
}

LinkSetup withValue(const char* command, const char* cls, const char* setter, int value, bool trade = false) {
    LinkSetup s = plain(command, cls, trade);
    s.setter = setter;
    s.value = value;
    return s;
}

LinkSetup titled(LinkSetup s, const char* title, bool withoutMenu = false) {
    s.fixedTitle = true;
    s.title = title;
    s.withoutMenu = withoutMenu;
    return s;
}

std::vector<LinkSetup> buildTable() {
    constexpr bool T = true;
    std::vector<LinkSetup> t;
    // ---- quotes and charts ----
    t.push_back(plain("zxhq", "PortfolioViewController"));
    t.push_back(plain("pxhq", "MarketQuotationSortViewController"));
    t.push_back(withValue("fschart", "VTAHQViewController", "setChartType:", 0));
    t.push_back(withValue("kxchart", "VTAHQViewController", "setChartType:", 1));
    t.push_back(plain("bkph", "VTAZSViewController"));
    t.push_back(plain("zgzs", "VTAZSViewController"));
    t.push_back(withValue("bkhqlist", "VTABKTableViewController", "initWithContentType:", 1));
    // ---- stock trading and transfers ----
    t.push_back(withValue("buysale", "TradeViewController", "initWithTradeDirection:", 0, T));
    t.push_back(plain("wtcd", "VTATradeCancelViewController", T));
    t.push_back(plain("tradequery", "VTATradeQueryViewController", T));
    t.push_back(plain("trade_zjcx", "VTATradeQueryViewController", T));
    t.push_back(plain("trade_gfcx", "VTATradeQueryViewController", T));
    t.push_back(plain("xgsg", "VTAXGTableViewController", T));
    t.push_back(plain("hisquery", "VTAHistoryViewController", T));
    t.push_back(plain("qzxq", "VTAWarrant", T));
    t.push_back(plain("xgmm", "VTAResignPasswordController", T));
    t.push_back(withValue("banktransfer", "VTATransferController", "initWithDirection:", 1, T));
    t.push_back(plain("bankbalance", "VTABankInquiryController", T));
    t.push_back(plain("banktranquery", "VTATransferQueryViewController", T));
    t.push_back(plain("jsf_yzzz", "GTPStockBankTransactionVC", T));
    t.push_back(plain("jsf_yhye", "GTPAccountBalance", T));
    t.push_back(plain("jsf_zjzz", "AccountTransferViewController", T));
    t.push_back(plain("jsf_yjzz", "GTPTransferAllViewController", T));
    t.push_back(plain("jsf_cxzhzj", "GTPAccountQueryViewController", T));
    // ---- funds and wealth products ----
    t.push_back(withValue("of_jjrg", "VTAJJBuySaleViewController", "setTradeType:", 1, T));
    t.push_back(withValue("of_jjsg", "VTAJJBuySaleViewController", "setTradeType:", 2, T));
    t.push_back(withValue("jlcrg", "VTAJLCBuySaleViewController", "setTradeType:", 1, T));
    t.push_back(withValue("jlcsg", "VTAJLCBuySaleViewController", "setTradeType:", 2, T));
    t.push_back(plain("jlccp", "VTAJLCCPSelectViewController", T));
    const char* const queryPages[] = {"of_jjxx", "of_wtcd", "of_fecx", "of_wdjj", "of_jjpx", "of_jjpj", "of_jycx"};
    for (int i = 0; i < 7; ++i)
        t.push_back(withValue(queryPages[i], "VTAJJQueryViewController", "setPageType:", i + 1, T));
    t.push_back(plain("of_jjsh", "VTAJJRedeemViewController", T));
    t.push_back(plain("of_jjzh", "VTAJJExchangeViewController", T));
    t.push_back(plain("of_fhsz", "VTAJJFHViewController", T));
    t.push_back(plain("of_jjkh", "VTAJJNewAccount", T));
    // The fund finder and the fund menu lists need no trade session
    // themselves (the lists gate their rows).
    t.push_back(withValue("of_jjcx", "VTAJJFinderViewController", "setIsFindByName:", 0));
    t.push_back(withValue("of_jjmc", "VTAJJFinderViewController", "setIsFindByName:", 1));
    t.push_back(withValue("of_jjzx", "VTAJJListController", "setJjListDataSourceType:", 0));
    t.push_back(withValue("sgb", "VTAJJListController", "setJjListDataSourceType:", 1));
    t.push_back(withValue("openfund", "VTAJJListController", "setJjListDataSourceType:", 1));
    t.push_back(withValue("kvrcp", "VTAKVRQueryViewController", "setQueryType:", 0, T));
    t.push_back(withValue("kvrzz", "VTAKVRQueryViewController", "setQueryType:", 1, T));
    t.push_back(plain("kvrmr", "VTAKVRTradeViewController", T));
    t.push_back(titled(plain("zndt_kt", "IFIOpenViewController", T), "开通智能定投"));
    t.push_back(titled(plain("zndt_xg", "IFIModifyViewController", T), "修改智能定投"));
    t.push_back(titled(plain("zndt_zz", "IFICloseViewController", T), "终止智能定投"));
    t.push_back(titled(plain("zndt_cx", "IFIOpenedQueryViewController", T), "已开通的智能定投"));
    t.push_back(titled(plain("zghs", "CBTradeViewController", T), "转股回售", true));
    t.push_back(titled(plain("jysjjss", "EFTradeViewController", T), "交易所基金申赎", true));
    // ---- margin ----
    t.push_back(
        titled(withValue("rzrq_rzmr", "MarginTradeViewController", "initWithTradeDirection:", 0, T), "融资买入"));
    t.push_back(plain("rzrq_mqhq", "VTARZRQBuyBackQueryViewController", T));
    t.push_back(plain("rzrq_xqhq", "VTARZRQXQHQQueryViewController", T));
    t.push_back(plain("rzrq_xjhk", "VTARZRQXJHKViewController", T));
    t.push_back(plain("rzrq_mqhk", "VTARZRQMQHKSelectedViewController", T));
    t.push_back(titled(plain("rzrq_dbphz", "VTARZRQDBPHZSelectViewController", T), ""));
    t.push_back(plain("rzrq_dbpzq", "VTADBPTransferCodeViewController", T));
    t.push_back(plain("rzrq_bdzq", "VTADBPTransferCodeViewController", T));
    t.push_back(plain("rzrq_xysxcx", "VTARZRQXYSXSelectViewController", T));
    t.push_back(plain("rzrq_xyzccx", "VTARZRQXYZCSelectViewController", T));
    t.push_back(plain("rzrq_zdhksz", "MarginAutoRepaymentViewController", T));
    // ---- news ----
    t.push_back(plain("newslist", "InfoTitleViewController"));
    t.push_back(plain("newscontent", "InfoContentViewController"));
    return t;
}

bool newerSystem() { return compareVersionStrings(UIDevice::currentDevice().systemVersion(), "4.1") >= 0; }

// The integer a query value reads as: its leading digits (with a sign), 0 for none.
int leadingInt(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 10)); }

}  // namespace

const std::vector<LinkSetup>& VTALinkTable::entries() {
    static const std::vector<LinkSetup> table = buildTable();
    return table;
}

std::optional<LinkSetup> VTALinkTable::entryForCommand(const std::string& command) {
    for (const auto& e : entries())
        if (e.command == command) return e;
    return std::nullopt;
}

bool VTALinkTable::isTradeCommand(const std::string& link) {
    auto e = entryForCommand(stripQuery(link));
    return e && e->trade;
}

std::optional<LinkSetup> VTALinkTable::setupForMenu(const VTAMenu& menu) {
    const std::string& link = menu.link();
    auto entry = entryForCommand(stripQuery(link));
    if (!entry) return std::nullopt;
    LinkSetup s = *entry;
    if (s.command == "buysale") {
        int direction = leadingInt(queryValue(link, "MMLB").value_or("")) == 0 ? 0 : 1;
        s.value = direction;
        if (newerSystem()) {
            s.screenClass = "TradeViewController";
            s.setter = "initWithTradeDirection:";
        } else {
            s.screenClass = "VTATradeController";
            s.setter = "initWithType:";
        }
    } else if (s.command == "banktransfer") {
        s.value = menu.title() == "证券转银行" ? 2 : 1;
    } else if (s.command == "rzrq_rzmr") {
        std::string flag = queryValue(link, "creditflag").value_or("");
        if (flag != "0" && flag != "1") return std::nullopt;
        s.value = flag == "0" ? 0 : 1;
        s.title = flag == "0" ? "融资买入" : "融券卖出";
        if (newerSystem()) {
            s.screenClass = "MarginTradeViewController";
            s.setter = "initWithTradeDirection:";
            s.textValue.clear();
        } else {
            s.screenClass = "VTARZRQTradeViewController";
            s.setter = "initWithTradeSide:";
            s.textValue = flag == "0" ? "B" : "S";
        }
    }
    return s;
}
