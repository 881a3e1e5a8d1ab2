// The registry stops the simulator on a function or menu item registered
// twice, and the menu it sends is the families' table in id order.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/MenuFunctions.h"
#include "core/contracts/PortfolioContract.h"
#include "core/contracts/QuoteContract.h"
#include "core/security/Compression.h"
#include "tests/sim/SimTestSupport.h"

namespace {

std::vector<uint8_t> nothing(SimCall&) { return {}; }

std::string thrownBy(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(SimRegistryTest, AFunctionRegisteredTwiceIsNamed) {
    SimRegistry r;
    r.add(PortfolioContract::kDownload, nothing);
    r.add({3710, SimRegistry::kAnySub}, nothing);  // the catch-all beside a sub function is no repeat
    EXPECT_EQ(thrownBy([&] { r.add(PortfolioContract::kDownload, nothing); }),
              "simulator function 3710/2 registered twice");
    EXPECT_EQ(thrownBy([&] {
                  r.add({3710, SimRegistry::kAnySub}, nothing);
              }),
              "simulator function 3710/any registered twice");
    EXPECT_EQ(thrownBy([&] { r.add({3710, 9}, nullptr); }), "simulator function 3710/9 registered without a handler");
    EXPECT_EQ(r.size(), 2u);
    EXPECT_TRUE(r.find(3710, 2));
    EXPECT_TRUE(r.find(3710, 7));  // the catch-all
    EXPECT_FALSE(r.find(3711, 2));
}

TEST(SimRegistryTest, AMenuItemTwiceOrWithoutItsParentIsNamed) {
    SimMenu m;
    m.add({1, -1, "行情"});
    m.add({101, 1, "自选股", "zxhq"});
    EXPECT_EQ(thrownBy([&] {
                  m.add({101, 1, "指数", "zgzs"});
              }),
              "simulator menu item 101 registered twice (101 \"自选股\" and \"指数\")");
    EXPECT_EQ(thrownBy([&] { m.add({-1, 1, "根"}); }), "simulator menu item -1 \"根\": -1 is the root's id");
    EXPECT_EQ(thrownBy([&] { m.check(); }), "");
    m.add({801, 8, "孤儿", "x"});
    EXPECT_EQ(thrownBy([&] { m.check(); }),
              "simulator menu item 801 \"孤儿\" names a parent 8 that is not in the menu");
}

TEST(SimRegistryTest, TheServerWithAMistakeInItsFamiliesDoesNotStart) {
    SimOptions o;
    o.keepAliveSeconds = 0;
    o.families = [](SimRegistry& r) {
        registerPortfolioFunctions(r);
        registerPortfolioFunctions(r);
    };
    SimServer twice(o);
    EXPECT_EQ(twice.setupError(), "simulator function 3710/1 registered twice");
    EXPECT_FALSE(twice.start());
    EXPECT_FALSE(twice.isRunning());

    o.families = [](SimRegistry& r) { registerQuoteFunctions(r); };  // its items' group is the system's
    SimServer orphans(o);
    EXPECT_NE(orphans.setupError().find("names a parent 1 that is not in the menu"), std::string::npos)
        << orphans.setupError();
    EXPECT_FALSE(orphans.start());

    SimServer whole(tuesdayOptions());
    EXPECT_EQ(whole.setupError(), "");
}

TEST_F(SimTest, TheMenuIsEveryFamilysItemsWithSiblingsInIdOrder) {
    auto r = call(login(), "tc_mfuncno=100&tc_sfuncno=2");
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    ASSERT_TRUE(sets && sets->size() == 2u);
    auto tree = buildMenuTree(*(*sets)[0]);
    ASSERT_TRUE(tree);
    std::vector<std::string> board;
    for (const auto& m : visibleMenusOfNode(*tree, -1)) board.push_back(m->title());
    EXPECT_EQ(board, (std::vector<std::string>{"行情", "交易", "理财", "资讯", "融资融券", "消息", "更多"}));
    std::vector<std::string> more;
    for (const auto& m : visibleMenusOfNode(*tree, 7)) more.push_back(m->link());
    // 703 comes from the news family, registered after the system's own items.
    EXPECT_EQ(more, (std::vector<std::string>{"setting", "webpage?url=/page/help.html",
                                              "newsmenu?tc_mfuncno=504&tc_sfuncno=1", "customerservice", "feedback",
                                              "invite", "update", "disclaimer", "about"}));
    // The hidden "f10" node: not among the group's visible items, found by its link.
    auto quotes = visibleMenusOfNode(*tree, 1);
    ASSERT_EQ(quotes.size(), 7u);
    for (const auto& m : quotes) EXPECT_NE(m->link(), "f10");
    auto f10 = menusWithLink(*tree, "f10", 1);
    ASSERT_TRUE(f10 && f10->size() == 1u);
    EXPECT_FALSE(f10->front()->showOrNot());
    EXPECT_EQ(sim->registry().menu().find(108)->link, "f10");
}
