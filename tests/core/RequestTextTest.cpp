#include <gtest/gtest.h>

#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/TCRSWriter.h"
#include "core/VTAParamter.h"

namespace {

std::shared_ptr<VTATCRS> customerSet(const std::vector<std::string>& fundids) {
    TCRSWriter writer;
    writer.beginSet().addField("fundid", TCRSFieldType::VarText).addField("market", TCRSFieldType::VarText);
    for (const auto& f : fundids) writer.addRecord({Value(f), Value("1")});
    auto sets = VTATCRS::buildMuTableTCRSWithData(writer.bytes());
    return sets && !sets->empty() ? (*sets)[0] : nullptr;
}

class TradeRequestText : public ::testing::Test {
protected:
    void SetUp() override { VTAParamter::shareParamter().removeAllValues(); }
    void TearDown() override { VTAParamter::shareParamter().removeAllValues(); }
    void login() {
        auto& p = VTAParamter::shareParamter();
        p.setString("authid=A1B2&operway=i", "tradeUserInfo");
        customer = customerSet({"F001", "F002"});
        ASSERT_TRUE(customer);
        p.setTCRS(customer, "tradeUserTCRS");
    }
    std::shared_ptr<VTATCRS> customer;
};

TEST_F(TradeRequestText, CarriesTheFirstFundAccountAndRewindsTheCustomerSet) {
    login();
    customer->moveToIndex(1);
    EXPECT_EQ(tradeRequestString(4), "tc_mfuncno=500&tc_sfuncno=4&authid=A1B2&operway=i&fundid=F001");
    EXPECT_EQ(customer->currentIndex(), 0);
    for (int n : {34, 41, 44, 58, 87, 1801, 1804})
        EXPECT_NE(tradeRequestString(n).find("&fundid=F001"), std::string::npos) << n;
}

TEST_F(TradeRequestText, LeavesOutTheFundAccountForTheListedSubFunctions) {
    login();
    for (int n : {6, 7, 22, 67, 85}) {
        std::string text = tradeRequestString(n);
        EXPECT_EQ(text, "tc_mfuncno=500&tc_sfuncno=" + std::to_string(n) + "&authid=A1B2&operway=i") << n;
    }
}

TEST_F(TradeRequestText, WithoutTradeSessionGivesEmptyPartsNeverNull) {
    EXPECT_EQ(tradeRequestString(4), "tc_mfuncno=500&tc_sfuncno=4&&fundid=");
    EXPECT_EQ(tradeRequestString(6), "tc_mfuncno=500&tc_sfuncno=6&");
    EXPECT_EQ(tradeRequestStringWithFunc(100, 25, 1), "tc_mfuncno=100&tc_sfuncno=25&&fundid=");
    // A customer set without records (or without the field) gives an empty fund account too.
    VTAParamter::shareParamter().setTCRS(customerSet({}), "tradeUserTCRS");
    EXPECT_EQ(tradeRequestString(4), "tc_mfuncno=500&tc_sfuncno=4&&fundid=");
    EXPECT_EQ(tradeRequestString(4).find("null"), std::string::npos);
}

TEST_F(TradeRequestText, GeneralPrefixAddsFundAccountOnlyForFlagOne) {
    login();
    EXPECT_EQ(tradeRequestStringWithFunc(100, 28, 1), "tc_mfuncno=100&tc_sfuncno=28&authid=A1B2&operway=i&fundid=F001");
    EXPECT_EQ(tradeRequestStringWithFunc(100, 28, 0), "tc_mfuncno=100&tc_sfuncno=28&authid=A1B2&operway=i");
    EXPECT_EQ(tradeRequestStringWithFunc(100, 28, 2), "tc_mfuncno=100&tc_sfuncno=28&authid=A1B2&operway=i");
}

TEST(ParseQuery, TakesThePairsAfterTheLastQuestionMarkInOrder) {
    auto q = parseQuery("jlcrg?a=1&b=2?c=3&d=4");
    EXPECT_EQ(q.allKeys(), (std::vector<std::string>{"c", "d"}));
    EXPECT_EQ(q.allValues(), (std::vector<std::string>{"3", "4"}));

    auto whole = parseQuery("stkcode=600000&market=2");
    EXPECT_EQ(whole.getValueForKey("stkcode"), "600000");
    EXPECT_EQ(whole.getValueForKey("market"), "2");
    EXPECT_TRUE(parseQuery("").empty());
    EXPECT_TRUE(parseQuery("f10?").empty());
}

TEST(ParseQuery, SkipsPairsThatDoNotSplitIntoOneKeyAndOneValue) {
    auto q = parseQuery("x?a=1=2&flag&&=v&empty=&c=%20d&c2=x+y");
    EXPECT_FALSE(q.getValueForKey("a"));       // two "="
    EXPECT_FALSE(q.getValueForKey("flag"));    // no "="
    EXPECT_FALSE(q.getValueForKey(""));        // empty key
    EXPECT_EQ(q.getValueForKey("empty"), "");  // empty value is a value
    EXPECT_EQ(q.getValueForKey("c"), "%20d");  // not decoded
    EXPECT_EQ(q.getValueForKey("c2"), "x+y");
    EXPECT_EQ(q.count(), 3u);
}

TEST(ParseQuery, RepeatedKeyTakesTheLaterValueAtItsFirstPlace) {
    auto q = parseQuery("a=1&b=2&a=3");
    EXPECT_EQ(q.allKeys(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(q.getValueForKey("a"), "3");
}

TEST(QueryValue, AnswersTheValueOrNothing) {
    EXPECT_EQ(queryValue("news?newstypeid=12&page=1", "newstypeid"), "12");
    EXPECT_FALSE(queryValue("news?newstypeid=12", "page"));
    EXPECT_FALSE(queryValue("news", "news"));
}

TEST(StripQuery, CutsAtTheFirstQuestionMark) {
    EXPECT_EQ(stripQuery("f10?a=1?b=2"), "f10");
    EXPECT_EQ(stripQuery("f10"), "f10");
    EXPECT_EQ(stripQuery("?a=1"), "");
    EXPECT_EQ(stripQuery(""), "");
}

TEST(ReplaceParam, ReplacesOnlyTheFirstPartOfThatKey) {
    EXPECT_EQ(replaceParam("authid=old&x=1&authid=old2", "new", "authid"), "authid=new&x=1&authid=old2");
    EXPECT_EQ(replaceParam("a=1&authidx=2&authid=3", "9", "authid"), "a=1&authidx=2&authid=9");
    // A key that is only a prefix of another key does not match it.
    EXPECT_EQ(replaceParam("authid=3", "9", "auth"), "authid=3");
    // Empty parts survive the split and join.
    EXPECT_EQ(replaceParam("a=1&&b=2", "7", "b"), "a=1&&b=7");
    EXPECT_EQ(replaceParam("a=1&b=2", "7", "c"), "a=1&b=2");
    EXPECT_EQ(replaceParam("", "7", "c"), "");
}

TEST(ToParamters, JoinsPairsInTheDictionaryOrder) {
    VTAStringDictionary d;
    d.setValue("2", "zeta");
    d.setValue("1", "alpha");
    d.setValue("3", "zeta");  // keeps its place
    EXPECT_EQ(toParamtersWithSepretor(d, "&"), "zeta=3&alpha=1");
    EXPECT_EQ(toParamtersWithSepretor(VTAStringDictionary{}, "&"), "");
    Value::Dict sorted{{"b", Value(2)}, {"a", Value("x")}};
    EXPECT_EQ(toParamtersWithSepretor(sorted, "|"), "a=x|b=2");
    // A parsed query joins back to the same text.
    EXPECT_EQ(toParamtersWithSepretor(parseQuery("cmd?k1=v1&k2=v2"), "&"), "k1=v1&k2=v2");
}

TEST(VTADictionaryTest, KeyForValueAndRemoval) {
    VTADictionary<std::string, int> d{{"a", 1}, {"b", 2}, {"c", 2}};
    EXPECT_EQ(d.keyForValue(2), "b");
    EXPECT_FALSE(d.keyForValue(5));
    EXPECT_FALSE(d.getValueForKey("zz"));
    d.removeValueForKey("b");
    EXPECT_EQ(d.keyForValue(2), "c");
    // Object keys compare by identity.
    auto k1 = std::make_shared<int>(1), k2 = std::make_shared<int>(1);
    VTADictionary<std::shared_ptr<int>, std::string> byObject;
    byObject.setValue("one", k1);
    EXPECT_EQ(byObject.getValueForKey(k1), "one");
    EXPECT_FALSE(byObject.getValueForKey(k2));
}

}  // namespace

// ---- the request builder ----

TEST(RequestBuilderTest, FieldsFollowTheFunctionNumbersInOrder) {
    RequestBuilder r(FunctionId{31000, 10});
    r.add("key", "600").add("count", 10).add("price", VTAFloat::VTAFloatWithValue(1230, 2));
    EXPECT_FALSE(r.refused());
    EXPECT_EQ(r.text(), "tc_mfuncno=31000&tc_sfuncno=10&key=600&count=10&price=12.30");
}

TEST(RequestBuilderTest, MissingValuesAreEmptyNeverNull) {
    RequestBuilder r(100, 17);
    r.add("content", std::optional<std::string>()).add("contact", static_cast<const char*>(nullptr));
    r.add("price", std::optional<VTAFloat>());
    EXPECT_EQ(r.text(), "tc_mfuncno=100&tc_sfuncno=17&content=&contact=&price=");
    EXPECT_EQ(r.text().find("null"), std::string::npos);
}

TEST(RequestBuilderTest, AValueThatWouldChangeTheShapeRefusesTheWholeRequest) {
    for (const char* bad : {"a&tc_sfuncno=6", "x=1", "&", "="}) {
        RequestBuilder r(100, 17);
        r.add("content", "fine").add("contact", bad).add("after", "never");
        EXPECT_TRUE(r.refused()) << bad;
        EXPECT_EQ(r.text(), "") << "nothing of a refused request is sent";
        EXPECT_EQ(r.refusal(), RequestBuilder::kRefusalText);
    }
    RequestBuilder typed(100, 17);
    typed.addTyped("content", "a=b", "反馈内容不能包含&或=");
    EXPECT_EQ(typed.refusal(), "反馈内容不能包含&或=");
    // Chinese and other punctuation pass untouched.
    RequestBuilder ok(100, 17);
    ok.add("content", "好的？！%+ /");
    EXPECT_FALSE(ok.refused());
}

TEST_F(TradeRequestText, BuilderStartsFromTheTradePrefixAndTakesFragments) {
    login();
    auto r = RequestBuilder::trade(6);
    r.appendFields("market=1&secuid=A1").add("stkcode", "600000").appendFields("");
    EXPECT_EQ(r.text(), "tc_mfuncno=500&tc_sfuncno=6&authid=A1B2&operway=i&market=1&secuid=A1&stkcode=600000");
    auto q = RequestBuilder::trade(FunctionId{100, 19}, true);
    EXPECT_EQ(q.text(), "tc_mfuncno=100&tc_sfuncno=19&authid=A1B2&operway=i&fundid=F001");
    auto link = RequestBuilder::fromText("tc_mfuncno=500&tc_sfuncno=14");
    link.add("count", 20);
    EXPECT_EQ(link.text(), "tc_mfuncno=500&tc_sfuncno=14&count=20");
}
