#include <algorithm>

#include "tests/net/NetTestSupport.h"

#include "core/VTAUserDefoult.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "net/AddMyStockSync.h"
#include "net/XXNetworkManager.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "tests/support/TestSupport.h"

namespace {

class XXRecorder : public XXNetworkManagerDelegate {
public:
    std::vector<std::string> calls;  // "service:3003" / "xservice:3003" ...
    std::vector<uint8_t> last;
    void serviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& d, int tag) override {
        calls.push_back("service:" + std::to_string(tag));
        last = d;
    }
    void xserviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>&, int tag) override {
        calls.push_back("xservice:" + std::to_string(tag));
    }
    void serviceDidServiceError(XXNetworkManager*, const NSError& e, int tag) override {
        calls.push_back("error" + std::to_string(e.code()) + ":" + std::to_string(tag));
    }
};

class XXNetworkManagerTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        ASSERT_EQ(DaoFactory::sharedInstance().setUpDatabase(), DatabaseSetupResult::Ok);
        login();
        sim->clearRequests();
    }
    void TearDown() override {
        XXNetworkManager::sharedManager().cancelAll();
        DaoFactory::sharedInstance().close();
        SimFixture::TearDown();
    }
    ScopedDocuments documents;
};

}  // namespace

TEST_F(XXNetworkManagerTest, OwnStockCommandsCallServiceThenXService) {
    auto& xx = XXNetworkManager::sharedManager();
    XXRecorder r;
    xx.requestAddPortfolio("600519.2", &r);
    ASSERT_TRUE(waitFor([&] { return r.calls.size() == 2; }));
    EXPECT_EQ(r.calls, (std::vector<std::string>{"service:3003", "xservice:3003"}));
    auto set = VTATCRS::buildMuTableTCRSWithData(r.last)->at(0);
    EXPECT_EQ(set->toIntWithFieldName("result"), 1);
    EXPECT_EQ(set->toStringWithFieldName("code").value_or(""), "600519.2");
    auto rec = sim->requests().back();
    EXPECT_EQ(rec.encrypt, 18);      // type 6
    xx.requestAddPortfolio("", &r);  // nothing is sent
    xx.requestAddPortfolio("000001.1", nullptr);
    EXPECT_EQ(xx.pendingCount(), 0u);
    r.calls.clear();
    xx.requestDeletePortfolio("600519.2", &r);
    xx.requestUpdatePortfolio("000001.1|600036.2", &r);
    ASSERT_TRUE(waitFor([&] { return r.calls.size() == 4; }));
    EXPECT_EQ(sim->ownStocks("13800138000"), (std::vector<std::string>{"000001.1", "600036.2"}));
}

TEST_F(XXNetworkManagerTest, CancelForDelegateDropsEveryPendingAnswer) {
    auto& xx = XXNetworkManager::sharedManager();
    sim->holdReply(3710, 0, 3);
    auto screen = std::make_shared<XXRecorder>();
    XXRecorder other;
    xx.requestAddPortfolio("600519.2", screen);
    xx.requestDeletePortfolio("000002.1", screen);
    xx.requestAddPortfolio("600036.2", &other);
    xx.cancelForDelegate(screen.get());
    screen.reset();
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return other.calls.size() == 2; }));
    ASSERT_TRUE(waitFor([&] { return xx.pendingCount() == 0; }));
    EXPECT_EQ(sim->requestsOf(3710, 3).size(), 2u);  // the requests still went out
    EXPECT_EQ(sim->requestsOf(3710, 4).size(), 1u);
}

TEST_F(XXNetworkManagerTest, MessageFetchStoresTrimsConfirmsAndNotifies) {
    Value::Dict conf;
    conf["maxmsg"] = "1^3";
    VTAParamter::shareParamter().setValue(Value(conf), "commomdSettingForHQ");
    SimMessage extra;
    extra.title = "新股提示";
    extra.content = "明日有新股申购。";
    sim->pushMessage(extra);
    SimMessage noConfirm;
    noConfirm.title = "无需确认";
    noConfirm.needConfirm = 0;
    sim->pushMessage(noConfirm);
    int notes = 0;
    NSNotificationCenter::defaultCenter().addObserver(this, "NewMessageExpressNotification",
                                                      [&](const NSNotification&) { ++notes; });
    auto& xx = XXNetworkManager::sharedManager();
    xx.requestNoConfirmWithoutDelegate();
    ASSERT_TRUE(waitFor([&] { return notes == 1 && xx.pendingCount() == 0; }));
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    auto recent = dao->listRecentMessagesWithLimit(100);
    ASSERT_TRUE(recent);
    EXPECT_EQ(recent->size(), 3u);  // seven fetched, trimmed to the limit
    auto confirms = sim->requestsOf(3780, 3);
    ASSERT_EQ(confirms.size(), 1u);
    int needing = 0;
    for (auto& m : sim->messages()) {
        needing += m.needConfirm;
        EXPECT_TRUE(m.delivered) << m.title;  // every stored one confirmed (or needing none)
    }
    EXPECT_EQ(needing, 7);  // two of them confirmed long before
    // Nothing new: nothing stored, nothing confirmed, no notification.
    xx.requestNoConfirmWithoutDelegate();
    ASSERT_TRUE(waitFor([&] { return xx.pendingCount() == 0 && sim->requestsOf(3780, 2).size() == 2; }));
    drainTransfers();
    EXPECT_EQ(notes, 1);
    EXPECT_EQ(sim->requestsOf(3780, 3).size(), 1u);
    // An error set changes nothing either.
    sim->forceErrorSet(-1, "服务繁忙", 3780, 2);
    sim->pushMessage(extra);
    xx.requestNoConfirmWithoutDelegate();
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(3780, 2).size() == 3 && xx.pendingCount() == 0; }));
    EXPECT_EQ(notes, 1);
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(XXNetworkManagerTest, HistoryAndLongTextNeedADelegate) {
    auto& xx = XXNetworkManager::sharedManager();
    xx.requestHistoryMessageFrom(20240301, 0, nullptr);
    xx.requestLongMessageWithTCString("tc_mfuncno=3780&tc_sfuncno=7&detailmsg_id=10000", nullptr);
    EXPECT_EQ(xx.pendingCount(), 0u);
    XXRecorder r;
    xx.requestHistoryMessageFrom(20240301, 20240305, &r);
    xx.requestLongMessageWithTCString("tc_mfuncno=3780&tc_sfuncno=7&detailmsg_id=10000", &r);
    ASSERT_TRUE(waitFor([&] { return r.calls.size() == 4; }));
    auto hist = sim->requestsOf(3780, 6);
    ASSERT_EQ(hist.size(), 1u);
    EXPECT_NE(hist[0].rawBody.find("bgn_date=20240301&end_date=20240305&count=30"), std::string::npos);
    EXPECT_EQ(xx.lastRequest(), "tc_mfuncno=3780&tc_sfuncno=7&detailmsg_id=10000");
}

TEST_F(XXNetworkManagerTest, PushTokenRegistration) {
    auto& xx = XXNetworkManager::sharedManager();
    XXRecorder r;
    xx.requestRegisterPushToken("abcdef0123", true, &r);
    ASSERT_TRUE(waitFor([&] { return r.calls.size() == 2; }));
    EXPECT_EQ(sim->requestsOf(3730, 1).size(), 1u);
}

TEST_F(XXNetworkManagerTest, AddMyStockReachesTheServerOnlyWhenOwnStocksLiveThere) {
    auto& settings = VTAUserDefoult::standerDefoult();
    settings.reload();
    auto& xx = XXNetworkManager::sharedManager();
    settings.setBool(false, "SaveMyStockInServer");
    auto local = addMyStockAndSync(std::string("平安银行"), std::string("000001"), 1);
    EXPECT_TRUE(local.added);
    EXPECT_EQ(xx.pendingCount(), 0u);  // kept on the phone only

    settings.setBool(true, "SaveMyStockInServer");
    auto synced = addMyStockAndSync(std::string("贵州茅台"), std::string("600519"), 2);
    EXPECT_TRUE(synced.added);
    EXPECT_EQ(synced.message, "贵州茅台(600519.2),添加成功！");
    ASSERT_TRUE(waitFor([&] { return xx.pendingCount() == 0 && sim->requestsOf(3710, 3).size() == 1; }));
    auto own = sim->ownStocks("13800138000");
    EXPECT_NE(std::find(own.begin(), own.end(), "600519.2"), own.end());
    // The stock shows in the own-stock table at once.
    EXPECT_TRUE(DaoFactory::sharedInstance().portfolioDao()->existStockWithSymbol("600519", 2));

    // Already an own stock, or an invalid code: nothing is sent.
    EXPECT_EQ(addMyStockAndSync(std::string("贵州茅台"), std::string("600519"), 2).message,
              "贵州茅台(600519.2),已经存在！");
    EXPECT_EQ(addMyStockAndSync(std::string("x"), std::string("12"), 1).message, "非法股票代码！");
    EXPECT_EQ(xx.pendingCount(), 0u);
    EXPECT_EQ(sim->requestsOf(3710, 3).size(), 1u);
    settings.removeValueForKey("SaveMyStockInServer");
}
