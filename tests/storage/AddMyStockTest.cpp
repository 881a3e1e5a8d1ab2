#include <gtest/gtest.h>

#include "core/QZUtil.h"
#include "core/VTAUserDefoult.h"
#include "core/storage/AddMyStock.h"
#include "core/storage/DaoFactory.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSUserDefaults.h"
#include "tests/support/TestSupport.h"

namespace {

// The shared database and both settings stores in a fresh Documents folder.
class SharedStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSUserDefaults::standardUserDefaults().reload();
        VTAUserDefoult::standerDefoult().reload();
        ASSERT_EQ(DaoFactory::sharedInstance().setUpDatabase(), DatabaseSetupResult::Ok);
    }
    void TearDown() override {
        DaoFactory::sharedInstance().close();
        Clock::useSystemTime();
    }
    PortfolioDaoImpl& portfolio() { return *DaoFactory::sharedInstance().portfolioDao(); }
    std::vector<std::string> yourStocks() {
        std::vector<std::string> out;
        for (auto& v : VTAUserDefoult::standerDefoult().getArrayForKey("your stocks").value_or(Value::Array{}))
            out.push_back(v.toString());
        return out;
    }

    ScopedDocuments documents;
};

}  // namespace

TEST_F(SharedStorageTest, AddMyStockAddsToTheTableAndTheSettingsList) {
    auto r = addMyStock(std::string("浦发银行"), std::string("600000"), 2);
    EXPECT_TRUE(r.added);
    EXPECT_EQ(r.message, "浦发银行(600000.2),添加成功！");
    EXPECT_FALSE(r.needsServerAdd);
    ASSERT_EQ(portfolio().listPortfolioStocks().size(), 1u);
    EXPECT_EQ(portfolio().listPortfolioStocks()[0]->name(), "浦发银行");
    EXPECT_EQ(yourStocks(), std::vector<std::string>{"600000.2"});

    r = addMyStock(std::string("浦发银行"), std::string("600000"), 2);
    EXPECT_FALSE(r.added);
    EXPECT_EQ(r.message, "浦发银行(600000.2),已经存在！");
    EXPECT_EQ(yourStocks(), std::vector<std::string>{"600000.2"});

    // An entry of the old list that is not in the table is added to it, and
    // not listed twice.
    VTAUserDefoult::standerDefoult().setArray({Value("600000.2"), Value("00700.3")}, "your stocks");
    VTAUserDefoult::standerDefoult().setBool(true, "SaveMyStockInServer");
    r = addMyStock(std::nullopt, std::string("00700"), 3);
    EXPECT_TRUE(r.added);
    EXPECT_TRUE(r.needsServerAdd);
    EXPECT_EQ(r.message, "(00700.3),添加成功！");
    EXPECT_EQ(yourStocks(), (std::vector<std::string>{"600000.2", "00700.3"}));
    EXPECT_EQ(QZUtil::portfolioListFromDatabase(), "600000.2|00700.3");
}

TEST_F(SharedStorageTest, AddMyStockRefusesBadCodesAndReportsDatabaseFailures) {
    for (auto code : {std::optional<std::string>(), std::optional<std::string>(""), std::optional<std::string>("6000"),
                      std::optional<std::string>("6000001")}) {
        auto r = addMyStock(std::string("x"), code, 1);
        EXPECT_FALSE(r.added);
        EXPECT_EQ(r.message, "非法股票代码！");
    }
    EXPECT_TRUE(portfolio().listPortfolioStocks().empty());

    DaoFactory::sharedInstance().close();
    auto r = addMyStock(std::string("平安银行"), std::string("000001"), 1);
    EXPECT_FALSE(r.added);
    EXPECT_EQ(r.message, "平安银行(000001.1),添加失败！");
    EXPECT_TRUE(yourStocks().empty());
}

TEST_F(SharedStorageTest, PortfolioRadarFlags) {
    Clock::freezeAt(1700000000);
    EXPECT_EQ(QZUtil::portfolioListFromDatabase(), "");
    // Never asked: ask.
    EXPECT_TRUE(QZUtil::isNeedRequestPortfolioInfoRadar());
    QZUtil::markPortfolioInfoRadarFlagToInit();
    EXPECT_FALSE(QZUtil::isNeedRequestPortfolioInfoRadar());
    Clock::advance(600);
    EXPECT_FALSE(QZUtil::isNeedRequestPortfolioInfoRadar());
    Clock::advance(1);
    EXPECT_TRUE(QZUtil::isNeedRequestPortfolioInfoRadar());

    QZUtil::markPortfolioInfoRadarFlagToInit();
    EXPECT_FALSE(QZUtil::isNeedRequestPortfolioInfoRadar());
    EXPECT_TRUE(portfolio().addStock(QZPortfolioStock("600000", 2)));
    EXPECT_TRUE(QZUtil::isNeedRequestPortfolioInfoRadar());
    QZUtil::markPortfolioInfoRadarFlagToInit();
    NSUserDefaults::standardUserDefaults().setBool(true, "IsFirstInPortfolio");
    EXPECT_TRUE(QZUtil::isNeedRequestPortfolioInfoRadar());
    QZUtil::markPortfolioInfoRadarFlagToInit();
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults().boolForKey("IsFirstInPortfolio"));
    // A clock set back: ask again rather than wait for the clock to catch up.
    Clock::freezeAt(1600000000);
    EXPECT_TRUE(QZUtil::isNeedRequestPortfolioInfoRadar());
}
