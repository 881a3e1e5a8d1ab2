// The order rules both order screens share: the order types per market, the
// quantity shortcuts, the checks with their messages, the request texts of
// the stock information and the order, and the shareholder list with its
// preferred account.
#include <gtest/gtest.h>

#include "core/TCRSWriter.h"
#include "core/VTAChoice.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "shell/TradeSession.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
#include "trade/OrderRules.h"
#include "trade/RiskReask.h"
#include "trade/StockholderList.h"

namespace {

std::vector<std::string> codes(const std::string& market, int direction) {
    std::vector<std::string> out;
    for (const auto& t : orderTypesFor(market, direction)) out.push_back(t.code);
    return out;
}

TEST(OrderRulesTest, OrderTypesFollowTheShareholderMarketAndTheDirection) {
    using V = std::vector<std::string>;
    EXPECT_EQ(codes("0", kBuy), (V{"0B", "0a", "0b", "0c", "0d", "0e"}));
    EXPECT_EQ(codes("2", kSell), (V{"0S", "0f", "0g", "0h", "0i", "0j"}));
    EXPECT_EQ(codes("1", kSell), (V{"0S", "0i", "0r"}));
    EXPECT_EQ(codes("3", kBuy), (V{"0B", "0d", "0q"}));
    EXPECT_EQ(codes("", kBuy), (V{"0B"}));
    EXPECT_EQ(codes("9", kSell), (V{"0S"}));
    auto shanghai = orderTypesFor("1", kBuy);
    EXPECT_EQ(shanghai[0].label, "限价委托");
    EXPECT_EQ(shanghai[1].label, "五档即成剩撤");
    EXPECT_EQ(shanghai[2].label, "五档即成转限价");
    EXPECT_EQ(orderTypesFor("0", kBuy)[5].label, "全部成交或撤销");

    // The picker's list is filled again each time, keeping the selection by position.
    VTAChoice list;
    fillOrderTypes(list, "0", kBuy);
    list.selectIndex(3);
    fillOrderTypes(list, "1", kBuy);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.selectedIndex(), 3);
    EXPECT_FALSE(list.selectedValue());
    EXPECT_TRUE(isLimitOrderCode(limitOrderCode(kBuy)) && isLimitOrderCode(limitOrderCode(kSell)));
    EXPECT_FALSE(isLimitOrderCode("0a"));
}

// A sell's fraction carries the odd lot whole, as the exchanges take it,
// counted in the security's own lot (a bond's 10 张).
TEST(OrderRulesTest, ShortcutsRoundBuysToLotsAndLetSellsKeepOddLots) {
    auto all = [](int max, int direction, bool oddLots, int lot = kShareLot) {
        std::vector<int> out;
        for (int s = 0; s < 5; ++s) out.push_back(quantityForShortcut(s, max, direction, oddLots, lot).value_or(-1));
        return out;
    };
    using V = std::vector<int>;
    EXPECT_EQ(all(1234, kBuy, true), (V{200, 300, 400, 600, 1234}));
    EXPECT_EQ(all(1234, kSell, true), (V{234, 334, 434, 634, 1234}));
    EXPECT_EQ(all(500, kSell, true), (V{100, 100, 100, 200, 500}));
    EXPECT_EQ(all(50, kSell, true), (V{50, 50, 50, 50, 50}));
    EXPECT_EQ(all(1234, kSell, false), (V{200, 300, 400, 600, 1234}));
    EXPECT_EQ(all(0, kBuy, true), (V{0, 0, 0, 0, 0}));
    EXPECT_EQ(all(-1, kSell, true), (V{-1, -1, -1, -1, -1}));
    EXPECT_EQ(all(20, kSell, true, kBondLot), (V{0, 0, 0, 10, 20}));
    EXPECT_EQ(all(50, kSell, true, kBondLot), (V{10, 10, 10, 20, 50}));
    EXPECT_EQ(all(25, kSell, true, kBondLot), (V{5, 5, 5, 15, 25}));
    EXPECT_EQ(all(25, kSell, false, kBondLot), (V{0, 0, 0, 10, 25}));
    EXPECT_EQ(all(1234, kBuy, true, kBondLot), (V{240, 300, 410, 610, 1234}));
    EXPECT_FALSE(quantityForShortcut(5, 1000, kBuy, true, kShareLot));

    // The lot is the brokerage's for every security it trades.
    const SimMarket market;
    for (const SimInstrument& i : market.instruments())
        if (i.classId != 2 && i.market != 3) {
            EXPECT_EQ(lotSizeOf(i.code, simShareholderMarket(i)), i.lot()) << i.code;
        }
    // And at the edges of the bond ranges, which that market need not reach.
    struct LotRow {
        const char* code;
        const char* market;
        int lot;
    };
    const LotRow edges[] = {
        {"000000", "1", kBondLot},  {"099999", "1", kBondLot},  {"100000", "3", kBondLot},  {"199999", "1", kBondLot},
        {"200000", "1", kShareLot}, {"299999", "3", kShareLot}, {"099999", "0", kShareLot}, {"100000", "0", kBondLot},
        {"119999", "2", kBondLot},  {"130000", "0", kBondLot},  {"139999", "0", kBondLot},  {"140000", "0", kShareLot},
        {"149999", "2", kShareLot}, {"10000", "0", kShareLot},  {"100000", "", kShareLot},
    };
    for (const auto& r : edges) EXPECT_EQ(lotSizeOf(r.code, r.market), r.lot) << r.code << " in " << r.market;
}

TEST(OrderRulesTest, ChecksRunInOrderWithTheirMessages) {
    EXPECT_EQ(orderCheckRefusal({"", "0B", "", ""}), "请选择证券");
    EXPECT_EQ(orderCheckRefusal({"600000", "0B", "", "100"}), "价格输入错误");
    EXPECT_EQ(orderCheckRefusal({"600000", "0S", "1.2.3", "100"}), "价格输入错误");
    EXPECT_EQ(orderCheckRefusal({"600000", "0B", "abc", "100"}), "价格输入错误");
    EXPECT_EQ(orderCheckRefusal({"600000", "0B", ".", "100"}), "价格输入错误");
    EXPECT_EQ(orderCheckRefusal({"600000", "0B", "12.", ""}), "请输入数量");
    EXPECT_EQ(orderCheckRefusal({"600000", "0B", ".5", "0"}), "请输入数量");
    EXPECT_EQ(orderCheckRefusal({"600000", "0B", "7", "000"}), "请输入数量");
    EXPECT_EQ(orderCheckRefusal({"600000", "0B", "7.45", "100"}), "");
    // A market type's price is the exchange's: not checked.
    EXPECT_EQ(orderCheckRefusal({"000001", "0a", "", "100"}), "");
    EXPECT_EQ(orderCheckRefusal({"000001", "0f", "市价委托", "100"}), "");
}

TEST(OrderRulesTest, ConfirmationTextListsTheOrder) {
    EXPECT_EQ(orderConfirmationText(kBuy, "浦发银行", "600000", "限价委托", "7.45", "100"),
              "您确定要发送如下信息吗？\n买入证券：浦发银行 \n证券代码：600000 \n报价方式：限价委托 \n"
              "买入价格：7.45 \n买入数量：100 \n");
    EXPECT_EQ(orderConfirmationText(kSell, "平安银行", "000001", "对方最优价格", "市价委托", "50"),
              "您确定要发送如下信息吗？\n卖出证券：平安银行 \n证券代码：000001 \n报价方式：对方最优价格 \n"
              "卖出价格：市价委托 \n卖出数量：50 \n");
    EXPECT_EQ(quoteMarketOfShareholderMarket("0"), 1);
    EXPECT_EQ(quoteMarketOfShareholderMarket("2"), 1);
    EXPECT_EQ(quoteMarketOfShareholderMarket("1"), 2);
    EXPECT_EQ(quoteMarketOfShareholderMarket("3"), 2);
}

class OrderSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto customer = TCRSWriter()
                            .beginSet()
                            .addField("fundid", TCRSFieldType::VarText)
                            .addField("market", TCRSFieldType::VarText)
                            .addRecord({"010110001234", "0"})
                            .addRecord({"010110001234", "1"})
                            .bytes();
        auto holders = TCRSWriter()
                           .beginSet()
                           .addField("market", TCRSFieldType::VarText)
                           .addField("~market", TCRSFieldType::VarText)
                           .addField("secuid", TCRSFieldType::VarText)
                           .addRecord({"0", "深A", "0010001234"})
                           .addRecord({"1", "沪A", "A100001234"})
                           .addRecord({"1", "沪A", "A100005555"})
                           .addRecord({"3", "沪B", "C900001234"})
                           .bytes();
        auto& p = VTAParamter::shareParamter();
        p.setString("custid=110001234&custorgid=0101&authid=AB12&operway=i", TradeSessionKey::kInfo);
        p.setTCRS(VTATCRS::buildMuTableTCRSWithData(customer)->front(), TradeSessionKey::kCustomer);
        p.setTCRS(VTATCRS::buildMuTableTCRSWithData(holders)->front(), TradeSessionKey::kShareholders);
        // A reader left the cursor elsewhere.
        p.getTCRSForKey(TradeSessionKey::kCustomer)->fetchLast();
    }
    void TearDown() override { clearTradeSession(); }
};

TEST_F(OrderSessionTest, RequestTextsCarryTheSessionAndTheOrderInItsOrder) {
    EXPECT_EQ(stockInfoRequest(kBuy, "600000", std::string("7.45")).text(),
              "tc_mfuncno=500&tc_sfuncno=4&custid=110001234&custorgid=0101&authid=AB12&operway=i"
              "&fundid=010110001234&bsflag=0B&stkcode=600000&price=7.45");
    EXPECT_EQ(stockInfoRequest(kSell, "000001").text(),
              "tc_mfuncno=500&tc_sfuncno=4&custid=110001234&custorgid=0101&authid=AB12&operway=i"
              "&fundid=010110001234&bsflag=0S&stkcode=000001");

    OrderTicket buy{kBuy, "0B", "7.45", "100", "600000", "market=1&secuid=A100001234"};
    const std::string prefix = "tc_mfuncno=500&tc_sfuncno=6&custid=110001234&custorgid=0101&authid=AB12&operway=i";
    EXPECT_EQ(orderRequest(buy).text(), prefix +
                                            "&fundid=010110001234&bsflag=0B&price=7.45&qty=100&stkcode=600000"
                                            "&market=1&secuid=A100001234&chkriskflag=1");
    buy.riskAccepted = true;
    EXPECT_EQ(orderRequest(buy).text().substr(orderRequest(buy).text().size() - 14), "&chkriskflag=0");
    // A sell asks nothing about the risk; a market type sends no price.
    OrderTicket sell{kSell, "0f", "市价委托", "50", "000001", "market=0&secuid=0010001234"};
    EXPECT_EQ(orderRequest(sell).text(), prefix +
                                             "&fundid=010110001234&bsflag=0f&price=&qty=50&stkcode=000001"
                                             "&market=0&secuid=0010001234");
    // Nothing typed may change the request's shape.
    OrderTicket forged{kBuy, "0B", "7&qty=9", "100", "600000", "market=1&secuid=A100001234"};
    EXPECT_TRUE(orderRequest(forged).refused());
    EXPECT_TRUE(stockInfoRequest(kBuy, "600000=").refused());
    EXPECT_TRUE(RiskReask::isWarning("[88001]风险揭示"));
    EXPECT_FALSE(RiskReask::isWarning("可用资金不足"));
}

TEST_F(OrderSessionTest, ShareholdersLoadFilterAndKeepThePreferredOne) {
    StockholderList list;
    EXPECT_EQ(list.load(), "0");  // the first customer record's market, wherever the cursor stood
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.fragment(1), "market=1&secuid=A100001234");
    EXPECT_EQ(list.display(1), "沪AA100001234");
    EXPECT_EQ(list.label(), "深A0010001234");

    list.filterByMarket("1");
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.selected(), 0);
    // A holding row's display text, or a request fragment, selects its pair.
    list.setPreferred("沪AA100005555");
    list.filterByMarket("1");
    EXPECT_EQ(list.selected(), 1);
    EXPECT_EQ(list.selectedFragment(), "market=1&secuid=A100005555");
    list.setPreferred("market=1&secuid=A100001234");
    list.filterByMarket("1");
    EXPECT_EQ(list.selected(), 0);
    // Another market's stock matches nothing: the first pair.
    list.setPreferred("沪AA100005555");
    list.filterByMarket("0");
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(list.label(), "深A0010001234");
    // The customer's pick is preferred from then on; out of range is ignored.
    list.filterByMarket("1");
    list.pick(0);
    EXPECT_EQ(list.preferred(), "沪AA100001234");
    list.pick(7);
    EXPECT_EQ(list.selected(), 0);
    // A market without an account.
    list.filterByMarket("2");
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.label(), "无对应股东代码");
    EXPECT_EQ(list.selectedFragment(), "");
}

}  // namespace
