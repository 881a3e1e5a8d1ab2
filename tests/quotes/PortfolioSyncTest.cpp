// The own-stock screen keeps the phone's list in step with the server.
#include "tests/quotes/PortfolioTestSupport.h"

namespace {

class PortfolioSyncTest : public PortfolioTest {};

}  // namespace

TEST_F(PortfolioSyncTest, TheFirstVisitUploadsThePhonesListAndTheServerKeepsIt) {
    keptOnPhoneOnly();
    storeLocally({"600000.2", "000001.1"});
    storeOnServer({"600036.2"});
    ASSERT_TRUE(openPortfolio());

    auto uploads = sim->requestsOf(3710, 1);
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(fieldOf(uploads[0], "code"), "600000.2|000001.1");
    EXPECT_TRUE(sim->requestsOf(3710, 2).empty());
    // The server's answer (its list with the upload added) is the list now.
    EXPECT_EQ(serverIds(), (std::vector<std::string>{"600036.2", "600000.2", "000001.1"}));
    EXPECT_EQ(localIds(), serverIds());
    EXPECT_TRUE(ownStocksLiveOnServer());
    EXPECT_TRUE(isPortfolioDownloaded());
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"招商银行", "浦发银行", "平安银行"}));
    // The quotes after a reload of the table ask for the day's open and high too.
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "field"), "1|2|3|4|6|11|13|14|15|16|20|21");
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "code"), "600036.2|600000.2|000001.1");
    saveScreenshot("quotes");
}

TEST_F(PortfolioSyncTest, AnEmptyPhoneListIsNotUploadedButTheServersIsFetchedOnceARun) {
    keptOnPhoneOnly();
    storeOnServer({"000002.1", "600519.2"});
    ASSERT_TRUE(openPortfolio());
    EXPECT_TRUE(sim->requestsOf(3710, 1).empty());
    ASSERT_EQ(sim->requestsOf(3710, 2).size(), 1u);
    EXPECT_TRUE(ownStocksLiveOnServer());
    EXPECT_EQ(localIds(), (std::vector<std::string>{"000002.1", "600519.2"}));
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"万科Ａ", "贵州茅台"}));

    // Back on the screen later in the run: the quotes of the table, no download.
    popViewControllers(1);
    settle();
    ASSERT_TRUE(openPortfolio());
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), 1u);
    EXPECT_EQ(sim->requestsOf(31000, 4).size(), 2u);
}

TEST_F(PortfolioSyncTest, AnEmptyServerListOrAGarbledOneLeavesThePhonesAlone) {
    liveOnServerAndDownloaded();
    NSUserDefaults::standardUserDefaults().setBool(false, kIsDownloadPortfolioKey);
    storeLocally({"600000.2"});
    storeOnServer({});
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(settled());
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), 1u);
    EXPECT_EQ(localIds(), (std::vector<std::string>{"600000.2"})) << "an empty reply does not wipe the list";
    EXPECT_FALSE(isPortfolioDownloaded()) << "the next visit downloads again";
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行"}));
    saveScreenshot("empty-download");

    // A list that does not read as stock ids leaves the table and the flag.
    popViewControllers(1);
    settle();
    storeLocally({"600000.2"});
    NSUserDefaults::standardUserDefaults().setBool(false, kIsDownloadPortfolioKey);
    sim->answerNext(PortfolioContract::kDownload, TCRSWriter()
                                                      .beginSet()
                                                      .addField("result", TCRSFieldType::Integer, 4)
                                                      .addField("message", TCRSFieldType::VarText)
                                                      .addField("code", TCRSFieldType::VarText)
                                                      .addRecord({1, "", "600000.2|<br>"})
                                                      .bytes());
    ASSERT_TRUE(openPortfolio());
    EXPECT_EQ(localIds(), (std::vector<std::string>{"600000.2"}));
    EXPECT_FALSE(isPortfolioDownloaded());
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行"}));
}

TEST_F(PortfolioSyncTest, AListThatCannotBeStoredLeavesTheOldOneWhole) {
    liveOnServerAndDownloaded();
    NSUserDefaults::standardUserDefaults().setBool(false, kIsDownloadPortfolioKey);
    storeLocally({"600000.2", "000001.1"});
    storeOnServer({"600036.2", "000002.1", "601318.2"});
    // The database refuses one of the new rows half-way through.
    ASSERT_TRUE(DaoFactory::sharedInstance().connection());
    {
        ConnectionLock lock(*DaoFactory::sharedInstance().connection());
        ASSERT_TRUE(
            lock->exec("CREATE TRIGGER fail BEFORE INSERT ON t_portfolio WHEN NEW.symbol = '601318' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    }
    ASSERT_TRUE(openPortfolio());
    EXPECT_EQ(localIds(), (std::vector<std::string>{"600000.2", "000001.1"}));
    EXPECT_FALSE(isPortfolioDownloaded()) << "the next visit downloads again";
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行", "平安银行"}));
}

TEST_F(PortfolioSyncTest, ServerFailuresAreSaidAndTheRefreshComesBackAfterwards) {
    liveOnServerAndDownloaded();
    storeLocally({"600000.2"});
    sim->forceErrorSet(-1, "行情服务繁忙", 31000, 4);
    ASSERT_TRUE(openPortfolio(false));
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    EXPECT_EQ(topAlertTitle(), "行情服务繁忙");
    EXPECT_FALSE(portfolio->autoRequestTimer());
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(portfolio->autoRequestTimer()) << "dismissing the alert starts the refresh again";
    RunLoop::main().runFor(10.5, kHangSeconds);
    ASSERT_TRUE(waitFor([&] { return !portfolio->tableData().empty(); }));
    EXPECT_EQ(sim->requestsOf(31000, 4).size(), 2u);
}

TEST_F(PortfolioSyncTest, ClosingTheStockFinderBringsTheListInStep) {
    // Kept on the server: the finder's closing fetches the server's list,
    // which another phone of the customer changed meanwhile.
    startWith({"600000.2"});
    ASSERT_TRUE(openPortfolio());
    storeOnServer({"600000.2", "600519.2"});
    const size_t downloads = sim->requestsOf(3710, 2).size();
    ASSERT_TRUE(host.tapText("个股"));
    settle(0.5);
    ASSERT_TRUE(host.tapText("关闭"));
    settle(0.5);
    ASSERT_TRUE(settled());
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), downloads + 1);
    EXPECT_EQ(localIds(), (std::vector<std::string>{"600000.2", "600519.2"}));
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行", "贵州茅台"}));

    // Kept on the phone only: no download, the quotes of the table as it now
    // stands (a stock added to it meanwhile shows), and the refresh runs on.
    keptOnPhoneOnly();
    storeLocally({"600000.2", "600519.2", "000001.1"});
    const size_t quotes = sim->requestsOf(31000, 4).size();
    ASSERT_TRUE(host.tapText("个股"));
    settle(0.5);
    ASSERT_TRUE(host.tapText("关闭"));
    settle(0.5);
    ASSERT_TRUE(settled());
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), downloads + 1);
    ASSERT_EQ(sim->requestsOf(31000, 4).size(), quotes + 1);
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "code"), "600000.2|600519.2|000001.1");
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行", "贵州茅台", "平安银行"}));
    EXPECT_TRUE(portfolio->autoRequestTimer());
}
