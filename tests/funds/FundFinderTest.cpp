// The fund finder driven by finger against the simulated brokerage: the
// categories of its link as rows, each opening the fund list of its
// category, and the search by name, whose text travels hex-encoded.
#include "FundTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/VTAMenu.h"
#include "core/contracts/FundContract.h"
#include "funds/FundRules.h"
#include "funds/VTAJJFinderViewController.h"
#include "funds/VTAJJQueryViewController.h"
#include "ui/VTATableView.h"

namespace {

namespace Fund = FundContract;
using Finder = VTAJJFinderViewController;
using Hub = VTAJJQueryViewController;

class FundFinderTest : public FundTest {
protected:
    std::vector<std::string> rowTitles(Finder* finder) {
        std::vector<std::string> out;
        for (const auto& item : finder->listArray()) out.push_back(item->title());
        return out;
    }
    // The category row tapped; answers the fund list it opened.
    Hub* tapCategory(Finder* finder, int row) {
        finder->myTableView()->window()->layoutIfNeeded();
        auto cell = finder->myTableView()->cellForRowAtIndexPath({0, row});
        EXPECT_TRUE(cell);
        if (!cell) return nullptr;
        tapView(cell.get());
        settle();
        return dynamic_cast<Hub*>(top());
    }
    bool gridShows(Hub* hub, int rows) {
        return waitFor([&] { return hub->myTableView() && hub->myTableView()->rowCount() == rows; });
    }
    SimRecord lastFundList() {
        auto all = fundRequests(Fund::kFundList);
        return all.empty() ? SimRecord{} : all.back();
    }
};

TEST_F(FundFinderTest, TheCategoriesOfTheLinkOpenTheirFundLists) {
    auto* finder = openLink<Finder>("of_jjcx?tc_mfuncno=100&tc_sfuncno=22", "基金查询");
    ASSERT_TRUE(finder);
    EXPECT_FALSE(finder->isFindByName());
    EXPECT_EQ(toolbarTitles(finder), (std::vector<std::string>{"首页", "个股"}));
    ASSERT_TRUE(waitFor([&] { return finder->listArray().size() == 5; }));
    EXPECT_EQ(rowTitles(finder), (std::vector<std::string>{"股票型", "混合型", "债券型", "货币型", "指数型"}));
    auto asked = fundRequests(Fund::kStyles);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].encrypt, 18) << "type 3";
    saveScreenshot("types");

    // 混合型: the hub's fund list of the type, paged from the brokerage.
    Hub* hub = tapCategory(finder, 1);
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->pageType(), Hub::kInformation);
    EXPECT_EQ(hub->title(), "混合型");
    ASSERT_TRUE(gridShows(hub, 5));
    SimRecord sent = lastFundList();
    EXPECT_EQ(fieldOf(sent, "style"), "2");
    EXPECT_EQ(fieldOf(sent, "count"), "12");
    EXPECT_EQ(fieldOf(sent, "fundid"), "010110001234");
    EXPECT_EQ(hub->myTableView()->rowItems(0)[0], "270001");
    saveScreenshot("mixed-funds");
    popViewControllers(1);
    settle();
    EXPECT_EQ(fundRequests(Fund::kStyles).size(), 2u) << "coming back asks again";

    // By company: the company's code is the filter.
    popViewControllers(1);
    settle();
    finder = openLink<Finder>("of_jjcx?tc_mfuncno=100&tc_sfuncno=21", "按基金公司");
    ASSERT_TRUE(finder);
    ASSERT_TRUE(waitFor([&] { return finder->listArray().size() == 3; }));
    EXPECT_EQ(rowTitles(finder), (std::vector<std::string>{"恒岳基金", "华信基金", "长江基金"}));
    hub = tapCategory(finder, 2);
    ASSERT_TRUE(hub && gridShows(hub, 3));
    EXPECT_EQ(fieldOf(lastFundList(), "tacode"), "03");
    popViewControllers(1);
    settle();

    // All funds: a row's name goes hex-encoded like a typed one, so no name
    // can add fields to the request.
    popViewControllers(1);
    settle();
    finder = openLink<Finder>("of_jjcx?tc_mfuncno=100&tc_sfuncno=24", "全部基金");
    ASSERT_TRUE(finder);
    ASSERT_TRUE(waitFor([&] { return finder->listArray().size() == 16; }));
    hub = tapCategory(finder, 3);
    ASSERT_TRUE(hub && gridShows(hub, 1));
    EXPECT_EQ(fieldOf(lastFundList(), "ofname"), hexFundName("恒岳货币A"));
    EXPECT_EQ(hub->title(), "恒岳货币A");
}

TEST_F(FundFinderTest, TheLinksSubFunctionDecidesWhatItsRowsOpenAndAnErrorIsSaid) {
    // Two categories as any function of the link may send them.
    auto categories = [] {
        return TCRSWriter()
            .beginSet()
            .addField("code", TCRSFieldType::VarText)
            .addField("name", TCRSFieldType::VarText)
            .addRecord({"A", "甲类"})
            .addRecord({"B", "乙类"})
            .bytes();
    };
    struct Case {
        int sub;
        size_t rows;  // listed
    };
    for (const Case c : {Case{25, 2}, Case{100, 2}, Case{0, 0}, Case{101, 0}}) {
        SCOPED_TRACE(c.sub);
        sim->answerNext({100, c.sub}, categories());
        auto* finder = openLink<Finder>("of_jjcx?tc_mfuncno=100&tc_sfuncno=" + std::to_string(c.sub), "基金查询");
        ASSERT_TRUE(finder);
        ASSERT_TRUE(waitFor([&] { return !finder->hasRequestInFlight(); }));
        settle(0.5);
        EXPECT_EQ(finder->listArray().size(), c.rows);
        if (c.rows > 0) {
            EXPECT_EQ(rowTitles(finder), (std::vector<std::string>{"甲类", "乙类"}));
            EXPECT_FALSE(tapCategory(finder, 0)) << "no filter, no fund list";
            EXPECT_EQ(top(), finder);
        }
        popViewControllers(1);
        settle();
    }
    // A category list the brokerage refuses says why; one of another sub-function than 1 to 100 says nothing.
    sim->forceErrorSet(-1, "基金公司列表暂不可用", Fund::kCompanies.main, Fund::kCompanies.sub);
    auto* finder = openLink<Finder>("of_jjcx?tc_mfuncno=100&tc_sfuncno=21", "按基金公司");
    ASSERT_TRUE(finder);
    ASSERT_TRUE(alertShown("基金公司列表暂不可用")) << topAlertTitle();
    EXPECT_TRUE(finder->listArray().empty());
    ASSERT_TRUE(dismissAlert("基金公司列表暂不可用"));
    popViewControllers(1);
    settle();
    sim->forceErrorSet(-1, "无此功能", 100, 101);
    finder = openLink<Finder>("of_jjcx?tc_mfuncno=100&tc_sfuncno=101", "基金查询");
    ASSERT_TRUE(finder && waitFor([&] { return !finder->hasRequestInFlight(); }));
    settle(0.5);
    EXPECT_FALSE(topAlert());
}

TEST_F(FundFinderTest, ANameSearchOpensTheMatchingFundsWithTheTextHexEncoded) {
    auto* finder = openLink<Finder>("of_jjmc", "基金名称查询");
    ASSERT_TRUE(finder);
    EXPECT_TRUE(finder->isFindByName());
    EXPECT_EQ(finder->mySearchBar()->prompt(), "说明：请输入基金名称进行模糊查询");
    EXPECT_TRUE(fundRequests(Fund::kStyles).empty() && fundRequests(Fund::kFundLookup).empty())
        << "the search asks nothing by itself";
    ASSERT_TRUE(host.type("债券"));
    EXPECT_EQ(finder->mySearchBar()->text(), "债券");
    saveScreenshot("search");
    ASSERT_TRUE(host.key("return"));
    settle();
    auto* hub = dynamic_cast<Hub*>(top());
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->title(), "按基金名称查询");
    ASSERT_TRUE(gridShows(hub, 4));
    EXPECT_EQ(fieldOf(lastFundList(), "ofname"), hexFundName("债券"));
    EXPECT_EQ(hexFundName("债券"), "3a503852");
    saveScreenshot("search-result");
    EXPECT_TRUE(finder->listArray().empty()) << "the search keeps its own table empty";

    // An empty search still opens the list, which then matches every fund.
    popViewControllers(1);
    settle();
    finder->mySearchBar()->setText("");
    finder->searchBarSearchButtonClicked(*finder->mySearchBar());
    settle();
    hub = dynamic_cast<Hub*>(top());
    ASSERT_TRUE(hub);
    EXPECT_EQ(fieldOf(lastFundList(), "ofname"), "");
}

}  // namespace
