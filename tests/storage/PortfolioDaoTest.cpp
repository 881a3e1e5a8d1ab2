#include "core/VTAUserDefoult.h"
#include "tests/storage/StorageTestSupport.h"

namespace {

class PortfolioDaoTest : public StorageTest {
protected:
    std::shared_ptr<PortfolioDaoImpl> dao() { return factory.portfolioDao(); }
    bool changed() { return NSUserDefaults::standardUserDefaults().boolForKey("IsPortfolioChanged"); }
    void clearChanged() { NSUserDefaults::standardUserDefaults().setBool(false, "IsPortfolioChanged"); }
    std::vector<std::string> ids() {
        std::vector<std::string> out;
        for (auto& s : dao()->listPortfolioStocks()) out.push_back(s->stockId());
        return out;
    }
    static std::shared_ptr<QZPortfolioStock> stock(const std::string& symbol, int market,
                                                   const std::string& name = "") {
        auto s = std::make_shared<QZPortfolioStock>(symbol, market);
        s->setName(name);
        return s;
    }
    // Makes every insert of that symbol fail, as a full disk or a broken
    // file would.
    void failInsertsOf(const std::string& symbol) {
        ASSERT_TRUE(rawDatabase().exec("CREATE TRIGGER fail BEFORE INSERT ON t_portfolio WHEN NEW.symbol = '" + symbol +
                                       "' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    }
};

}  // namespace

TEST_F(PortfolioDaoTest, SequenceFollowsTheHighestAndRestartsAfterEmptying) {
    EXPECT_TRUE(dao()->listPortfolioStocks().empty());
    EXPECT_TRUE(dao()->addStock(*stock("600000", 2)));
    EXPECT_TRUE(dao()->addStock(*stock("000001", 1)));
    EXPECT_TRUE(dao()->addStock(*stock("000002", 1)));
    EXPECT_TRUE(dao()->deleteStockBySymbol("000001", 1));
    EXPECT_TRUE(dao()->addStock(*stock("00700", 3)));
    auto list = dao()->listPortfolioStocks();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->order(), 1);
    EXPECT_EQ(list[1]->order(), 3);
    EXPECT_EQ(list[2]->order(), 4);
    EXPECT_EQ(ids(), (std::vector<std::string>{"600000.2", "000002.1", "00700.3"}));

    // Deleting the last one lets the next take its place in the sequence.
    EXPECT_TRUE(dao()->deleteStockBySymbol("00700", 3));
    EXPECT_TRUE(dao()->addStock(*stock("00005", 3)));
    EXPECT_EQ(dao()->listPortfolioStocks().back()->order(), 4);

    EXPECT_TRUE(dao()->deleteAllPortfolio());
    EXPECT_TRUE(dao()->listPortfolioStocks().empty());
    EXPECT_EQ(count("SELECT count(*) FROM sqlite_sequence WHERE name = 't_portfolio'"), 0);
    EXPECT_TRUE(dao()->addStock(*stock("600036", 2)));
    EXPECT_EQ(dao()->listPortfolioStocks()[0]->order(), 1);
    EXPECT_EQ(count("SELECT id FROM t_portfolio"), 1);
}

TEST_F(PortfolioDaoTest, AddKeepsNamesOfTwoCharactersAndStoresTypeMinusOne) {
    auto typed = stock("600000", 2, "浦发");
    typed->setStockType(5);
    EXPECT_TRUE(dao()->addStock(*typed));
    EXPECT_TRUE(dao()->addStock(*stock("000001", 1, "A")));
    EXPECT_TRUE(dao()->addStock(*stock("000002", 1, "万")));
    auto list = dao()->listPortfolioStocks();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->name(), "浦发");
    EXPECT_EQ(list[0]->stockType(), -1);
    EXPECT_EQ(list[1]->name(), "");
    EXPECT_EQ(list[2]->name(), "");
    EXPECT_EQ(count("SELECT count(*) FROM t_portfolio WHERE name IS NULL"), 2);

    // Present already: YES, nothing inserted, the name not overwritten.
    EXPECT_TRUE(dao()->addStock(*stock("600000", 2, "另一个名字")));
    EXPECT_EQ(dao()->listPortfolioStocks().size(), 3u);
    EXPECT_EQ(dao()->listPortfolioStocks()[0]->name(), "浦发");
    // Same code in another market is another stock: Shanghai's 000001 joins Shenzhen's.
    EXPECT_FALSE(dao()->existStockWithSymbol("600000", 1));
    EXPECT_TRUE(dao()->existStockWithSymbol("600000", 2));
    EXPECT_TRUE(dao()->addStock(*stock("000001", 2, "上证指数")));
    EXPECT_EQ(ids(), (std::vector<std::string>{"600000.2", "000001.1", "000002.1", "000001.2"}));
    EXPECT_FALSE(dao()->addStock(*stock("", 1)));
}

TEST_F(PortfolioDaoTest, EveryChangeSetsIsPortfolioChanged) {
    EXPECT_FALSE(changed());
    EXPECT_TRUE(dao()->addStock(*stock("600000", 2)));
    EXPECT_TRUE(changed());

    clearChanged();
    EXPECT_TRUE(dao()->addStock(*stock("600000", 2)));  // present: no change
    EXPECT_FALSE(changed());
    EXPECT_FALSE(dao()->deleteStockBySymbol("999999", 2));  // absent: no change
    EXPECT_FALSE(changed());
    EXPECT_TRUE(dao()->deleteStockBySymbol("600000", 2));
    EXPECT_TRUE(changed());

    for (auto op : {std::function<bool()>([&] { return dao()->addStockArray({stock("1", 1)}); }),
                    std::function<bool()>([&] { return dao()->moveToDatabaseWithStocks({"000001.1"}); }),
                    std::function<bool()>([&] { return dao()->deleteAllPortfolio(); }),
                    std::function<bool()>([&] { return dao()->replaceAllWithStocks({"000002.1"}); })}) {
        clearChanged();
        EXPECT_TRUE(op());
        EXPECT_TRUE(changed());
    }
}

TEST_F(PortfolioDaoTest, ArraysAndStockIdTexts) {
    EXPECT_FALSE(dao()->addStockArray({}));
    EXPECT_FALSE(dao()->addStockArray({stock("600000", 2), nullptr}));
    EXPECT_TRUE(dao()->listPortfolioStocks().empty());

    EXPECT_TRUE(dao()->addStockArray({stock("600000", 2, "浦发银行"), stock("000001", 1), stock("600000", 2)}));
    EXPECT_EQ(ids(), (std::vector<std::string>{"600000.2", "000001.1"}));

    // Present ones and texts that are no stock id are passed over; order kept.
    EXPECT_TRUE(
        dao()->moveToDatabaseWithStocks({"00700.3", "000001.1", "bad", ".1", "600036.x", " 600036.2 ", "a.b.1"}));
    EXPECT_EQ(ids(), (std::vector<std::string>{"600000.2", "000001.1", "00700.3", "600036.2", "a.b.1"}));
    EXPECT_TRUE(dao()->moveToDatabaseWithStocks({}));
}

TEST_F(PortfolioDaoTest, FailedStatementInsideABatchLeavesTheTableUnchanged) {
    EXPECT_TRUE(dao()->addStockArray({stock("600000", 2), stock("000001", 1)}));
    const auto before = ids();
    failInsertsOf("BAD");
    clearChanged();

    EXPECT_FALSE(dao()->addStockArray({stock("000002", 1), stock("BAD", 1), stock("000003", 1)}));
    EXPECT_EQ(ids(), before);
    EXPECT_FALSE(dao()->moveToDatabaseWithStocks({"000002.1", "BAD.1"}));
    EXPECT_EQ(ids(), before);
    // Emptying and refilling is one change: the old list stays.
    EXPECT_FALSE(dao()->replaceAllWithStocks({"000002.1", "BAD.1"}));
    EXPECT_EQ(ids(), before);
    EXPECT_FALSE(dao()->replaceAllWithStockArray({stock("000002", 1), stock("BAD", 1)}));
    EXPECT_EQ(ids(), before);
    EXPECT_FALSE(changed());

    EXPECT_TRUE(dao()->replaceAllWithStocks({"000005.1", "600000.2"}));
    EXPECT_EQ(ids(), (std::vector<std::string>{"000005.1", "600000.2"}));
    EXPECT_EQ(dao()->listPortfolioStocks()[0]->order(), 1);
    EXPECT_FALSE(dao()->replaceAllWithStockArray({}));
}

TEST_F(PortfolioDaoTest, RenamingTouchesOnlyTheNamesOfStoredRows) {
    EXPECT_TRUE(dao()->addStockArray({stock("600000", 2), stock("000001", 1, "平安"), stock("00700", 3)}));
    clearChanged();
    // Unknown stocks and short names are passed over; nothing is added or removed.
    EXPECT_TRUE(dao()->updateStockNames(
        {stock("600000", 2, "浦发银行"), stock("000001", 1, "平"), stock("600036", 2, "招商银行"), nullptr}));
    auto list = dao()->listPortfolioStocks();
    ASSERT_EQ(ids(), (std::vector<std::string>{"600000.2", "000001.1", "00700.3"}));
    EXPECT_EQ(list[0]->name(), "浦发银行");
    EXPECT_EQ(list[1]->name(), "平安");
    EXPECT_EQ(list[2]->name(), "");
    EXPECT_FALSE(changed()) << "the list itself did not change";
    EXPECT_TRUE(dao()->updateStockNames({}));

    // A failing statement leaves every name as it was.
    ASSERT_TRUE(
        rawDatabase().exec("CREATE TRIGGER fail BEFORE UPDATE ON t_portfolio WHEN NEW.symbol = '00700' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_FALSE(dao()->updateStockNames({stock("600000", 2, "浦发"), stock("00700", 3, "腾讯控股")}));
    EXPECT_EQ(dao()->listPortfolioStocks()[0]->name(), "浦发银行");
}

TEST_F(PortfolioDaoTest, TheSettingsListFollowsEveryChangeOfTheTable) {
    auto yourStocks = [] {
        std::vector<std::string> out;
        for (const auto& v : VTAUserDefoult::standerDefoult().getArrayForKey("your stocks").value_or(Value::Array{}))
            out.push_back(v.toString());
        return out;
    };
    EXPECT_TRUE(dao()->addStockArray({stock("600000", 2), stock("000001", 1), stock("600036", 2)}));
    EXPECT_EQ(yourStocks(), ids());
    EXPECT_TRUE(dao()->deleteStockBySymbol("000001", 1));
    EXPECT_EQ(yourStocks(), (std::vector<std::string>{"600000.2", "600036.2"}));
    EXPECT_TRUE(dao()->replaceAllWithStocks({"600036.2", "000002.1"}));
    EXPECT_EQ(yourStocks(), (std::vector<std::string>{"600036.2", "000002.1"}));
    // A change that fails leaves the list as the table stands.
    failInsertsOf("BAD");
    EXPECT_FALSE(dao()->moveToDatabaseWithStocks({"BAD.1"}));
    EXPECT_EQ(yourStocks(), (std::vector<std::string>{"600036.2", "000002.1"}));
    EXPECT_TRUE(dao()->deleteAllPortfolio());
    EXPECT_TRUE(yourStocks().empty());
}
