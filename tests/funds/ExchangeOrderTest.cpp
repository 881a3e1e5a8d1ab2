// The convertible-bond and exchange-fund order screens driven by finger
// against the simulated brokerage: a conversion, a put-back and their
// checks, an exchange fund subscribed and redeemed, the accounts narrowed to
// the security's market (and an order refused where none is left), and a
// lookup answer that comes after the direction changed.
#include "FundTestSupport.h"

#include "core/TCRSWriter.h"

#include "funds/CBTradeViewController.h"
#include "funds/EFTradeViewController.h"
#include "platform/uikit/UIButton.h"
#include "sim/SimBonds.h"
#include "trade/TradePickerStrip.h"

namespace {

class ExchangeOrderTest : public FundTest {
protected:
    CBTradeViewController* openBonds() { return openLink<CBTradeViewController>("zghs", "转股回售"); }
    EFTradeViewController* openFunds() { return openLink<EFTradeViewController>("jysjjss", "交易所基金申赎"); }

    // Types into a field of the form in place of what it holds.
    void typeInto(UITextField* field, const std::string& text) { retypeField(field, text); }
    // Types a six-character code: its last character asks for the security.
    void typeCode(ExchangeOrderScreen* vc, const std::string& code, int lookupTag) {
        typeInto(vc->tradeSymbolTF(), code);
        EXPECT_FALSE(vc->tradeSymbolTF()->isFirstResponder()) << "the sixth character closes the keyboard";
        ASSERT_TRUE(waitFor([&] { return !vc->isRequestInFlight(lookupTag); }));
        settle(0.5);
    }
    void placeOrder(ExchangeOrderScreen* vc) {
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        ASSERT_TRUE(sheet()) << topAlertTitle();
        ASSERT_TRUE(confirm());
    }
    // Presses "确定" and expects the alert, with nothing sent.
    void expectRefusal(ExchangeOrderScreen* vc, const std::string& text) {
        const size_t before = orderRequests().size();
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        EXPECT_FALSE(sheet());
        EXPECT_TRUE(dismissAlert(text)) << topAlertTitle();
        EXPECT_EQ(orderRequests().size(), before);
    }
    std::vector<SimOrder> ordersOf(const std::string& flag) {
        std::vector<SimOrder> found;
        for (const auto& o : orders())
            if (o.bsflag == flag) found.push_back(o);
        return found;
    }
};

TEST_F(ExchangeOrderTest, BondsAreConvertedIntoSharesOnTheAccountOfTheirMarket) {
    auto* vc = openBonds();
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "转股回售");
    EXPECT_EQ(toolbarTitles(vc), (std::vector<std::string>{"首页", "刷新", "确定"}));
    EXPECT_EQ(vc->stockholders().count(), 4) << "every account before a lookup";
    EXPECT_EQ(vc->tradeSymbolTF()->placeholder(), "<输入转债代码>");
    saveScreenshot("bond-empty");

    typeCode(vc, "110001", CBTradeViewController::kLookupTag);
    auto lookups = sim->requestsOf(3500, 1);
    ASSERT_EQ(lookups.size(), 1u) << "one lookup for the sixth character";
    EXPECT_EQ(fieldOf(lookups[0], "stkcode"), "110001");
    EXPECT_EQ(fieldOf(lookups[0], "bsflag"), "0G");
    EXPECT_EQ(fieldOf(lookups[0], "fundid"), "010110001234");
    EXPECT_EQ(vc->bondName(), "模拟转债");
    EXPECT_EQ(vc->tradeNameLabel()->text(), "模拟转债");
    EXPECT_EQ(vc->tradePriceTF()->text(), "7.000");
    EXPECT_EQ(vc->strMarketNO(), "1");
    EXPECT_EQ(vc->stockholders().count(), 1);
    EXPECT_EQ(vc->stockholderLabel()->text(), "沪AA100001234");

    typeInto(vc->tradeAmountTF(), "10");
    saveScreenshot("bond-filled-in");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(
        sheet()->title(),
        "您确定要发送如下信息吗？\n操作:可转债转股 \n代码：110001 \n名称：模拟转债 \n价格：7.000元 \n数量：10张 \n");
    saveScreenshot("bond-confirm");
    EXPECT_TRUE(orderRequests().empty()) << "nothing leaves before the sheet's 确定";
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown(ExchangeOrderScreen::kSuccessText));
    EXPECT_EQ(vc->tradeAmountTF()->text(), "") << "the quantity goes with the order";
    EXPECT_FALSE(vc->isTrading());
    saveScreenshot("bond-sent");

    ASSERT_EQ(orderRequests().size(), 1u);
    const SimRecord r = orderRequests()[0];
    EXPECT_EQ(r.encrypt, 36) << "orders travel enciphered";
    EXPECT_EQ(fieldOf(r, "fundid"), "010110001234");
    EXPECT_EQ(fieldOf(r, "bsflag"), "0G");
    EXPECT_EQ(fieldOf(r, "price"), "7.000");
    EXPECT_EQ(fieldOf(r, "qty"), "10");
    EXPECT_EQ(fieldOf(r, "stkcode"), "110001");
    EXPECT_EQ(fieldOf(r, "market"), "1");
    EXPECT_EQ(fieldOf(r, "secuid"), "A100001234");
    auto converted = ordersOf("0G");
    ASSERT_EQ(converted.size(), 1u);
    EXPECT_EQ(converted[0].quantity, 10);
    EXPECT_EQ(holding("110001").available, 10) << "the brokerage holds the bonds for the order";

    const size_t depthBefore = depth();
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(depth(), depthBefore - 1) << "the success alert closes the screen";
}

TEST_F(ExchangeOrderTest, APutBackIsCheckedBeforeItGoesAndTheBrokerageJudgesTheRest) {
    auto* vc = openBonds();
    ASSERT_TRUE(vc);
    tapSegment(vc->tradeDirectionSeg(), 1);
    settle(0.5);
    EXPECT_EQ(vc->direction(), 1);
    EXPECT_EQ(vc->tradeSymbolTF()->placeholder(), "<输入回售代码>");

    tapView(vc->tradeSymbolTF());
    ASSERT_TRUE(host.type("11000"));
    settle(0.5);
    EXPECT_TRUE(sim->requestsOf(3500, 1).empty()) << "five characters wait for the return key or 刷新";
    host.key("return");
    ASSERT_TRUE(dismissAlert("查无此债券信息！")) << topAlertTitle();
    EXPECT_EQ(sim->requestsOf(3500, 1).size(), 1u);
    expectRefusal(vc, "请选择证券");
    ASSERT_TRUE(tapToolbar(vc, "刷新"));
    ASSERT_TRUE(dismissAlert("查无此债券信息！")) << "刷新 asks again";
    EXPECT_EQ(sim->requestsOf(3500, 1).size(), 2u);

    typeCode(vc, "128001", CBTradeViewController::kLookupTag);
    ASSERT_TRUE(dismissAlert("该债券不在回售期"));
    typeCode(vc, "600000", CBTradeViewController::kLookupTag);
    ASSERT_TRUE(dismissAlert("查无此债券信息！"));

    typeCode(vc, "110001", CBTradeViewController::kLookupTag);
    EXPECT_EQ(vc->tradePriceTF()->text(), "100.300");
    EXPECT_EQ(fieldOf(sim->requestsOf(3500, 1).back(), "bsflag"), "0H");
    typeInto(vc->tradePriceTF(), "1.2.3");
    typeInto(vc->tradeAmountTF(), "5");
    expectRefusal(vc, CBTradeViewController::kBadPriceText);
    typeInto(vc->tradePriceTF(), "100.3");
    for (const char* bad : {"0", "00", "1.5"}) {
        typeInto(vc->tradeAmountTF(), bad);
        expectRefusal(vc, ExchangeOrderScreen::kNoQuantityText);
    }
    typeInto(vc->tradeAmountTF(), "25");
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("可用数量不足")) << "more than is held: the brokerage's text";
    EXPECT_FALSE(vc->isTrading());
    typeInto(vc->tradeAmountTF(), "5");
    placeOrder(vc);
    ASSERT_TRUE(alertShown(ExchangeOrderScreen::kSuccessText));
    auto putBack = ordersOf("0H");
    ASSERT_EQ(putBack.size(), 1u);
    EXPECT_EQ(putBack[0].price, 100300);
    EXPECT_EQ(fieldOf(orderRequests().back(), "price"), "100.3");
}

TEST_F(ExchangeOrderTest, AnExchangeFundIsSubscribedWithTheCashShownAndRedeemedByShares) {
    auto* vc = openFunds();
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "交易所基金申赎");
    EXPECT_EQ(vc->tableView()->numberOfRowsInSection(0), 6);
    EXPECT_EQ(vc->maxAmountLabel()->text(), "元");
    typeCode(vc, "510999", EFTradeViewController::kLookupTag);
    auto lookup = stockInfoRequests().back();
    EXPECT_EQ(fieldOf(lookup, "bsflag"), "03");
    EXPECT_EQ(fieldOf(lookup, "stkcode"), "510999");
    EXPECT_EQ(fieldOf(lookup, "fundid"), "010110001234");
    EXPECT_EQ(vc->fundName(), "模拟ETF");
    EXPECT_EQ(vc->availableLabel()->text(), "1000000.00");
    EXPECT_EQ(vc->maxAmountLabel()->text(), "1000000 元");
    EXPECT_EQ(vc->stockholderLabel()->text(), "沪AA100001234");
    tapView(vc->maxAmountBtn());
    settle(0.5);
    EXPECT_EQ(vc->tradeAmountTF()->text(), "1000000") << "全部 puts the limit in";
    typeInto(vc->tradeAmountTF(), "2000.50");
    saveScreenshot("fund-subscription");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(
        sheet()->title(),
        "您确定要发送如下信息吗？\n操作:基金申购 \n基金代码：510999 \n基金名称：模拟ETF \n申购金额：2000.50元 \n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert(ExchangeOrderScreen::kSuccessText));
    settle();
    ASSERT_EQ(ordersOf("03").size(), 1u);
    EXPECT_EQ(fieldOf(orderRequests().back(), "qty"), "2000.50");
    EXPECT_FALSE(hasField(orderRequests().back(), "price")) << "no price for a fund";
    EXPECT_EQ(money().frozen, 200050) << "the brokerage holds the money";
}

TEST_F(ExchangeOrderTest, ARedemptionShowsItsOwnRowsAndTheLimitsUnit) {
    auto* vc = openFunds();
    ASSERT_TRUE(vc);
    tapSegment(vc->tradeDirectionSeg(), 1);
    settle(0.5);
    EXPECT_EQ(vc->tableView()->numberOfRowsInSection(0), 5);
    EXPECT_EQ(vc->maxAmountLabel()->text(), "份") << "the bare unit until a lookup";
    EXPECT_EQ(vc->tradeAmountTF()->placeholder(), "<输入赎回份额>");
    typeCode(vc, "510999", EFTradeViewController::kLookupTag);
    EXPECT_EQ(fieldOf(stockInfoRequests().back(), "bsflag"), "04");
    EXPECT_EQ(vc->maxAmountLabel()->text(), "0 份");
    saveScreenshot("fund-redemption");
    typeInto(vc->tradeAmountTF(), "1.5");
    expectRefusal(vc, ExchangeOrderScreen::kNoQuantityText);
    typeInto(vc->tradeAmountTF(), "100");
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("可用数量不足"));
    EXPECT_FALSE(vc->isTrading()) << "a refused order can be followed by another";
    EXPECT_TRUE(ordersOf("04").empty());
}

TEST_F(ExchangeOrderTest, ALookupAnsweredAfterTheDirectionChangedIsLeftAlone) {
    auto* vc = openBonds();
    ASSERT_TRUE(vc);
    typeCode(vc, "110001", CBTradeViewController::kLookupTag);
    tapSegment(vc->tradeDirectionSeg(), 1);
    settle(0.5);
    EXPECT_EQ(vc->tradeSymbolTF()->text(), "");
    EXPECT_EQ(vc->bondName(), "");
    EXPECT_EQ(vc->stockholders().count(), 4) << "every account again";
    // The conversion's answer arriving now does not fill the put-back.
    vc->receiveReply(CBTradeViewController::kLookupTag, TCRSWriter()
                                                            .beginSet()
                                                            .addField("stkname", TCRSFieldType::VarText)
                                                            .addField("price", TCRSFieldType::VarText)
                                                            .addField("market", TCRSFieldType::VarText)
                                                            .addRecord({"模拟转债", "7.000", "1"})
                                                            .bytes());
    settle(0.5);
    EXPECT_EQ(vc->bondName(), "");
    EXPECT_EQ(vc->tradePriceTF()->text(), "");
    EXPECT_EQ(vc->stockholders().count(), 4);
}

class ExchangeOrderWithoutShanghaiTest : public ExchangeOrderTest {
protected:
    const TradeCustomer& customer() const override { return kTradeCustomerC; }
};

TEST_F(ExchangeOrderWithoutShanghaiTest, NoAccountOfTheBondsMarketRefusesTheOrderOnTheScreen) {
    auto* vc = openBonds();
    ASSERT_TRUE(vc);
    typeCode(vc, "110001", CBTradeViewController::kLookupTag);
    EXPECT_EQ(vc->stockholders().count(), 0);
    EXPECT_EQ(vc->stockholderLabel()->text(), "无对应股东代码");
    // The account picker has nothing to offer.
    ASSERT_TRUE(host.tapText("股东代码"));
    settle(0.5);
    ASSERT_TRUE(vc->stockholderStrip());
    EXPECT_EQ(vc->stockholderStrip()->picker()->numberOfRowsInComponent(0), 0);
    saveScreenshot("bond-no-account");
    ASSERT_TRUE(host.tapText("完成"));
    settle(0.5);
    typeInto(vc->tradeAmountTF(), "1");
    expectRefusal(vc, "无对应股东代码");
}

}  // namespace
