#include "tests/shell/LaunchTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/contracts/SystemContract.h"
#include "core/security/Digests.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/ViewQueries.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIWindow.h"
#include "shell/ClientIdentity.h"
#include "shell/FileRecoveryNotice.h"
#include "shell/VTAUpdateViewController.h"
#include "tests/support/Screenshots.h"
#include "tests/support/SimRequestFields.h"

namespace {

int menuVersionOnServer(SimServer& sim) {
    return sim.withRoom<SimSystemRoom>([](SimSystemRoom& r) { return r.menuVersion; });
}

// The number of visible root items of the menu the server sent (read from
// the cache the login wrote): what the home board must show.
size_t serverBoardSize() {
    auto cached = MenuCache::load();
    if (!cached) return 0;
    auto sets = VTATCRS::buildMuTableTCRSWithData(cached->data);
    if (!sets) return 0;
    for (const auto& set : *sets)
        if (set && set->name() == "sys.menu") return visibleMenusOfNode(*buildMenuTree(*set), -1).size();
    return 0;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace

using LaunchRoadTest = LaunchFixture;

TEST_F(LaunchRoadTest, FreshInstallRegistersByTheSmsRoadAndReachesHome) {
    ASSERT_TRUE(launch());
    ASSERT_TRUE(waitFor([&] { return atStage(LoginViewController::Stage::Registration); }));
    // The built-in menu stands in until the server's arrives.
    EXPECT_EQ(MenuCache::installedMenuVersion(), 0);
    std::string session = ServiceSession::shared().session();
    ASSERT_FALSE(session.empty());

    // A wrong number is refused before any SMS.
    login()->phoneField()->setText("2380013800");
    login()->submitRegistration();
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), "请输入正确的11位手机号码");
    UIAlertView::topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(login()->smsComposer());

    double before = Clock::now();
    registerPhone();
    ASSERT_EQ(SentMessageLog::shared().messages().size(), 1u);
    const auto& sms = SentMessageLog::shared().messages().front();
    EXPECT_EQ(sms.recipients, std::vector<std::string>{LoginViewController::kShortNumber});
    EXPECT_EQ(sms.body, "DB A" + md5Hex(session));

    // The disclaimer must be agreed to go on.
    answerDisclaimer(false);
    ASSERT_TRUE(waitFor([&] { return UIAlertView::topAlert() != nullptr; }, 2));
    EXPECT_EQ(UIAlertView::topAlert()->title(), "您需要同意免责声明后才能使用本软件");
    EXPECT_TRUE(sim->requestsOf(100, 2).empty());
    UIAlertView::topAlert()->tapButtonAtIndex(0);
    answerDisclaimer(true);
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().boolForKey(LoginViewController::kDisclaimerAgreedKey));
    waitForHomeReplies();
    // Registration: told once, asked every 6 s until registered, then a new login.
    EXPECT_EQ(sim->requestsOf(100, 3).size(), 1u);
    ASSERT_GE(sim->requestsOf(100, 4).size(), 1u);
    EXPECT_GE(Clock::now() - before, LoginViewController::kPollInterval);
    EXPECT_EQ(sim->requestsOf(100, 1).size(), 2u);
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("your phone number").value_or(""), phone);

    // The server's menu is cached with its version and shown on the board.
    EXPECT_EQ(sim->requestsOf(100, 2).size(), 1u);
    auto cached = MenuCache::load();
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->menuVersion, menuVersionOnServer(*sim));
    ASSERT_GE(serverBoardSize(), 6u);
    ASSERT_EQ(home()->boardMenus().size(), serverBoardSize());
    EXPECT_EQ(home()->boardMenus().front()->title(), "行情");
    EXPECT_TRUE(VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ"));
    // The home screen's own requests were answered.
    EXPECT_EQ(home()->infoTitles().size(), 3u);
    EXPECT_FALSE(home()->infoText().empty());
    EXPECT_GE(sim->requestsOf(3504, 1).size(), 1u);
    EXPECT_EQ(delegate->navigationController()->viewControllers().size(), 1u);
}

// With the number pad up the whole form stays in sight: the heading below the
// navigation bar, the field and the button above the pad.
TEST_F(LaunchRoadTest, TheNumberPadLeavesTheRegisterButtonWithinReach) {
    ASSERT_TRUE(launch());
    ASSERT_TRUE(waitFor([&] { return atStage(LoginViewController::Stage::Registration); }));
    auto& app = UIApplication::sharedApplication();
    auto centre = [](UIView* v) {
        CGRect r = v->convertRectToView(v->bounds(), nullptr);
        return CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
    };
    app.keyWindow()->layoutIfNeeded();
    app.tapAt(centre(login()->phoneField()));
    ASSERT_TRUE(UIKeyboard::isShown());
    UIKeyboard::typeText(phone);
    EXPECT_EQ(login()->phoneField()->text(), phone);
    app.keyWindow()->layoutIfNeeded();
    saveScreenshot("number-pad");
    auto onScreen = [](UIView* v) { return v->convertRectToView(v->bounds(), nullptr); };
    CGRect button = onScreen(login()->registerButton());
    EXPECT_LE(CGRectGetMaxY(button), CGRectGetMinY(UIKeyboard::frameOnScreen()));
    auto* bar = login()->navigationController()->navigationBar();
    CGRect heading = onScreen(login()->statusLabel());
    EXPECT_EQ(login()->statusLabel()->text(), "首次使用，请注册手机号码");
    EXPECT_GE(CGRectGetMinY(heading), CGRectGetMaxY(onScreen(bar))) << "the heading is not under the bar";
    EXPECT_LE(CGRectGetMaxY(onScreen(login()->phoneField())), CGRectGetMinY(button));
    app.tapAt(centre(login()->registerButton()));
    EXPECT_TRUE(login()->smsComposer()) << "the finger reached the button above the keyboard";
}

TEST_F(LaunchRoadTest, SecondStartSkipsRegistrationAndACurrentMenu) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    sim->clearRequests();
    restart();
    // The cached menu is in place before the login.
    EXPECT_EQ(MenuCache::installedMenuVersion(), menuVersionOnServer(*sim));
    EXPECT_EQ(visibleMenusOfNode(-1).size(), serverBoardSize());
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    waitForHomeReplies();
    EXPECT_TRUE(sim->requestsOf(100, 3).empty());
    EXPECT_TRUE(sim->requestsOf(100, 4).empty());
    EXPECT_TRUE(sim->requestsOf(100, 2).empty());
    ASSERT_EQ(sim->requestsOf(100, 1).size(), 1u);
    // The login names the phone and the cached menu's version.
    std::string body;
    auto logins = sim->requestsOf(100, 1);
    for (const auto& f : logins.front().fields) body += f.key + "=" + f.value + "&";
    EXPECT_NE(body.find("phone=" + phone), std::string::npos);
    EXPECT_NE(body.find("menuver=" + std::to_string(menuVersionOnServer(*sim))), std::string::npos);
    // The version the server hears is the one the update page shows.
    EXPECT_EQ(fieldOf(logins.front(), SystemContract::Key::kVersion), kClientVersion);
    EXPECT_EQ(VTAUpdateViewController().versionLabel()->text(), std::string("当前版本：") + kClientVersion);
    EXPECT_TRUE(SentMessageLog::shared().messages().size() == 1u);
}

TEST_F(LaunchRoadTest, ANewerMenuOnTheServerIsDownloadedAndShown) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    int newer = menuVersionOnServer(*sim) + 1;
    sim->withRoom<SimSystemRoom>([&](SimSystemRoom& r) { r.menuVersion = newer; });
    sim->clearRequests();
    restart();
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    EXPECT_EQ(sim->requestsOf(100, 2).size(), 1u);
    auto cached = MenuCache::load();
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->menuVersion, newer);
    EXPECT_EQ(MenuCache::installedMenuVersion(), newer);
    EXPECT_EQ(home()->boardMenus().size(), serverBoardSize());
    // And the start after that keeps it.
    sim->clearRequests();
    restart();
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    EXPECT_TRUE(sim->requestsOf(100, 2).empty());
}

TEST_F(LaunchRoadTest, ACorruptMenuCacheGivesTheBuiltInMenuAndANewDownload) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    quit();
    for (const std::string& bytes : {std::string("bplist00 garbage"), std::string()}) {
        writeFile(MenuCache::filePath(), bytes);
        sim->clearRequests();
        ASSERT_TRUE(launch(false));
        EXPECT_EQ(MenuCache::installedMenuVersion(), 0);
        auto board = visibleMenusOfNode(-1);
        ASSERT_EQ(board.size(), 3u);
        EXPECT_EQ(board.back()->link(), "pushmsg");
        ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
        EXPECT_EQ(sim->requestsOf(100, 2).size(), 1u);
        EXPECT_EQ(home()->boardMenus().size(), serverBoardSize());
        quit();
    }
    // A well-formed archive whose data is no record set.
    Value::Dict root;
    root["format"] = MenuCache::kFormat;
    root["menuver"] = 9;
    root["data"] = Value(Value::Data{1, 2, 3, 4, 5});
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(root), MenuCache::filePath()));
    EXPECT_TRUE(MenuCache::load());
    EXPECT_EQ(MenuCache::installCachedMenu(), 0);
    EXPECT_EQ(visibleMenusOfNode(-1).size(), 3u);
    // Versions below 1 and other formats are no cache.
    EXPECT_FALSE(MenuCache::save(0, MenuCache::defaultMenuData()));
    root["format"] = 2;
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(root), MenuCache::filePath()));
    EXPECT_FALSE(MenuCache::load());
}

TEST_F(LaunchRoadTest, CorruptSettingsFilesGiveAWorkingClientWithDefaults) {
    for (const char* name : {VTAUserDefoult::kFileName, NSUserDefaults::kFileName})
        std::filesystem::remove(lastGoodCopyPath(documentsPath(name)));
    writeFile(documentsPath(VTAUserDefoult::kFileName), "not a property list at all");
    writeFile(NSUserDefaults::standardUserDefaults().filePath(), std::string("\x00\x01\x02", 3));
    ASSERT_TRUE(launch());
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getIntForKey("auto refresh wait time"), 10);
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getIntForKey("the version"), VTAUserDefoult::kDefaultsVersion);
    // Nothing to start from but the defaults: the customer is told, the files are kept.
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), FileRecoveryNotice::kTitle);
    EXPECT_EQ(UIAlertView::topAlert()->message(), "部分设置已恢复为默认值。\n原文件已保留。");
    EXPECT_TRUE(std::filesystem::exists(documentsPath(std::string(VTAUserDefoult::kFileName) + ".damaged-1")));
    EXPECT_TRUE(std::filesystem::exists(documentsPath(std::string(NSUserDefaults::kFileName) + ".damaged-1")));
    UIAlertView::topAlert()->dismissWithClickedButtonIndex(0, false);
    reachHomeFirstTime();
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().boolForKey("IsReboot"));
}

TEST_F(LaunchRoadTest, DamagedSettingsFilesComeBackFromTheirCopiesTheCustomerToldOnce) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    quit();  // the life-cycle saves write the copies
    for (const char* name : {VTAUserDefoult::kFileName, NSUserDefaults::kFileName})
        std::filesystem::resize_file(documentsPath(name), std::filesystem::file_size(documentsPath(name)) / 2);
    sim->clearRequests();
    SentMessageLog::shared().clear();

    ASSERT_TRUE(launch());
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), FileRecoveryNotice::kTitle);
    EXPECT_EQ(UIAlertView::topAlert()->message(), "设置已从备份恢复。\n原文件已保留。");
    UIAlertView::topAlert()->dismissWithClickedButtonIndex(0, false);
    // Still registered and agreed: straight home, no SMS, no disclaimer.
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    EXPECT_TRUE(sim->requestsOf(100, 3).empty());
    EXPECT_TRUE(SentMessageLog::shared().messages().empty());
    EXPECT_FALSE(loginRoot() && loginRoot()->disclaimerScreen());
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("your phone number"), phone);
    for (const char* name : {VTAUserDefoult::kFileName, NSUserDefaults::kFileName})
        EXPECT_TRUE(std::filesystem::exists(documentsPath(std::string(name) + ".damaged-1"))) << name;

    restart();
    EXPECT_FALSE(UIAlertView::topAlert()) << "told once";
}

TEST_F(LaunchRoadTest, DamagedTokenAndSavedAccountFilesAreSetAsideAndTold) {
    writeFile(documentsPath(BrasnikSignManager::kFileName), "VTASGN\x01\x00 cut short");
    writeFile(documentsPath(VTAAccountManager::kSavedAccountsFile), "");
    ASSERT_TRUE(launch());
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->message(),
              "手机令牌无法读取，请重新申请。\n已保存的帐号无法读取。\n原文件已保留。");
    saveScreenshot("told");
    EXPECT_TRUE(std::filesystem::exists(documentsPath(std::string(BrasnikSignManager::kFileName) + ".damaged-1")));
    EXPECT_TRUE(
        std::filesystem::exists(documentsPath(std::string(VTAAccountManager::kSavedAccountsFile) + ".damaged-1")));
}

TEST_F(LaunchRoadTest, AnUnusableDatabaseShowsTheFailureAndNoMainWindow) {
    std::filesystem::create_directories(documentsPath(DaoFactory::kDatabaseFileName));  // a folder in its place
    TempDir noSeed;  // and no seed to start again from
    const std::string bundle = bundleDirectory();
    setBundleDirectory(noSeed.path());
    const bool launched = launch();
    setBundleDirectory(bundle);
    EXPECT_FALSE(launched);
    EXPECT_EQ(delegate->launchFailure(), "数据库初始化失败");
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), "数据库初始化失败");
    EXPECT_FALSE(delegate->navigationController());
    run(1);
    EXPECT_EQ(sim->requestCount(), 0u);
}

// A registered customer whose database was then damaged: cut to `share` of
// its size (0: emptied).
static void damageDatabase(double share) {
    const std::string path = documentsPath(DaoFactory::kDatabaseFileName);
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, uintmax_t(double(size) * share));
}

static std::vector<std::string> ownStockIds() {
    std::vector<std::string> ids;
    for (const auto& stock : DaoFactory::sharedInstance().portfolioDao()->listPortfolioStocks())
        ids.push_back(stock->stockId());
    return ids;
}

TEST_F(LaunchRoadTest, ADamagedDatabaseIsReplacedTheCustomerToldAndOwnStocksComeBackFromTheServer) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    VTAUserDefoult::standerDefoult().setBool(true, "SaveMyStockInServer");
    sim->setOwnStocks(phone, {"600000.2", "000001.1", "600036.2"});
    quit();
    damageDatabase(1.0 / 3);

    ASSERT_TRUE(launch());
    EXPECT_EQ(delegate->launchFailure(), "");
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), "数据库初始化失败");
    EXPECT_TRUE(std::filesystem::exists(documentsPath("roduvede.db.damaged-1")));
    UIAlertView::topAlert()->dismissWithClickedButtonIndex(0, false);
    ASSERT_TRUE(waitFor([&] { return ownStockIds().size() == 3; }));
    EXPECT_EQ(ownStockIds(), (std::vector<std::string>{"600000.2", "000001.1", "600036.2"}));
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
}

TEST_F(LaunchRoadTest, ADamagedDatabaseGetsTheOwnStocksBackFromTheSettingsWhenTheyLiveOnThePhone) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    VTAUserDefoult::standerDefoult().setBool(false, "SaveMyStockInServer");
    VTAUserDefoult::standerDefoult().setArray({Value("000002.1"), Value("600519.2")}, "your stocks");
    quit();
    damageDatabase(0);  // emptied: no new database

    ASSERT_TRUE(launch());
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), "数据库初始化失败");
    EXPECT_EQ(ownStockIds(), (std::vector<std::string>{"000002.1", "600519.2"}));
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), 0u);
}

TEST_F(LaunchRoadTest, EveryFileTheClientWritesIsTheOwnersOnly) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    quit();  // the life-cycle saves
    namespace fs = std::filesystem;
    int files = 0;
    EXPECT_EQ(fs::status(documentsPath("")).permissions() & fs::perms::all, fs::perms::owner_all);
    for (const auto& entry : fs::recursive_directory_iterator(documentsPath(""))) {
        auto mode = entry.status().permissions() & fs::perms::all;
        if (entry.is_directory()) {
            EXPECT_EQ(mode, fs::perms::owner_all) << entry.path();
        } else {
            EXPECT_EQ(mode, fs::perms::owner_read | fs::perms::owner_write) << entry.path();
            ++files;
        }
    }
    EXPECT_GE(files, 4);  // settings, user defaults, database, menu cache at least
}

// The registration status answers "not yet" this many times before the truth.
static void answerNotRegistered(SimServer& sim, const std::string& phone, int times) {
    auto notYet = TCRSWriter()
                      .beginSet()
                      .addField(SystemContract::Col::kRegistered, TCRSFieldType::Integer, 4)
                      .addField(SystemContract::Col::kPhone, TCRSFieldType::VarText)
                      .addRecord({0, phone})
                      .bytes();
    sim.answerNext(SystemContract::kRegistrationStatus, notYet, times);
}

TEST_F(LaunchRoadTest, RegistrationIsAskedForUpToTheLastPollAndNotOnceMore) {
    // Registered at the last poll allowed: the client logs in.
    answerNotRegistered(*sim, phone, LoginViewController::kMaxPolls - 1);
    ASSERT_TRUE(launch());
    registerPhone();
    ASSERT_TRUE(waitFor([&] { return loginRoot() && loginRoot()->disclaimerScreen(); }, 600));
    EXPECT_EQ(sim->requestsOf(100, 4).size(), size_t(LoginViewController::kMaxPolls));
}

TEST_F(LaunchRoadTest, RegistrationGivesUpAfterTheLastPoll) {
    answerNotRegistered(*sim, phone, LoginViewController::kMaxPolls + 5);
    ASSERT_TRUE(launch());
    registerPhone();
    ASSERT_TRUE(waitFor([&] { return atStage(LoginViewController::Stage::Registration); }, 600));
    const auto texts = visibleTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "等待注册结果超时，请重新注册"), texts.end());
    EXPECT_EQ(sim->requestsOf(100, 4).size(), size_t(LoginViewController::kMaxPolls));
    sim->clearControls();
}

TEST_F(LaunchRoadTest, NetworkFailureOffersARetry) {
    sim->dropConnection(100, 1, 1);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(waitFor([&] { return UIAlertView::topAlert() != nullptr; }));
    EXPECT_EQ(UIAlertView::topAlert()->buttonTitleAtIndex(0), "重试");
    UIAlertView::topAlert()->tapButtonAtIndex(0);
    ASSERT_TRUE(waitFor([&] { return atStage(LoginViewController::Stage::Registration); }));
}

TEST_F(LaunchRoadTest, OldOwnStocksMoveIntoThePortfolioOnlyOnce) {
    VTAUserDefoult::standerDefoult().setArray({Value("000001.1"), Value("600000.2")}, "your stocks");
    ASSERT_TRUE(VTAUserDefoult::standerDefoult().save());
    ASSERT_TRUE(launch());
    auto dao = DaoFactory::sharedInstance().portfolioDao();
    ASSERT_EQ(dao->listPortfolioStocks().size(), 2u);
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().boolForKey(rOduvedeAppDelegate::kYourStocksMovedKey));
    // The customer deletes one; the next start does not bring it back.
    ASSERT_TRUE(dao->deleteStockBySymbol("000001", 1));
    restart();
    auto stocks = DaoFactory::sharedInstance().portfolioDao()->listPortfolioStocks();
    ASSERT_EQ(stocks.size(), 1u);
    // The own stocks go to the server once, after the login; an upload the
    // line lost is tried again at the next login (its receiver outlives the client).
    sim->dropConnection(3710, 1);
    reachHomeFirstTime();
    ASSERT_TRUE(waitFor([&] { return XXNetworkManager::sharedManager().pendingCount() == 0; }));
    EXPECT_EQ(sim->requestsOf(3710, 1).size(), 1u);
    EXPECT_TRUE(VTAUserDefoult::standerDefoult().getValueForKey("SaveMyStockInServer").isNull());
    restart();
    waitForHomeReplies();
    ASSERT_TRUE(waitFor([&] { return VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer"); }));
    EXPECT_EQ(sim->requestsOf(3710, 1).size(), 2u);
    EXPECT_EQ(sim->ownStocks(phone), std::vector<std::string>{"600000.2"});
    // The home screen shows the own stocks instead of the indices.
    ASSERT_EQ(home()->quoteStocks().size(), 1u);
    EXPECT_EQ(home()->quoteStocks().front()->code(), "600000");
}

// At the first start the disclaimer offers its two answers and nothing else
// (there is no home screen yet to go to), and its text keeps the line-breaking
// rules of Chinese.
TEST_F(LaunchRoadTest, TheFirstDisclaimerOffersOnlyItsAnswers) {
    ASSERT_TRUE(launch());
    registerPhone();
    ASSERT_TRUE(waitFor([&] { return loginRoot() && loginRoot()->disclaimerScreen(); }));
    run(0.5);
    auto disclaimer = loginRoot()->disclaimerScreen();
    saveScreenshot("disclaimer");
    HeadlessHost host;
    EXPECT_FALSE(host.isTextVisible("首页"));
    EXPECT_FALSE(disclaimer->navigationItem()->rightBarButtonItem());
    UILabel* body = disclaimer->bodyLabel();
    auto lines = wrappedLines(body->text(), *body->font(), body->bounds().size.width, body->lineBreakMode());
    ASSERT_GT(lines.size(), 5u);
    for (const auto& line : lines)
        for (const char* mark : {"，", "。", "、", "；"}) EXPECT_NE(line.rfind(mark, 0), 0u) << line;
    ASSERT_TRUE(host.tapText("同意"));
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
}

TEST_F(LaunchRoadTest, LeavingTheDisclaimerWithoutAnAnswerAsksAgain) {
    ASSERT_TRUE(launch());
    registerPhone();
    ASSERT_TRUE(waitFor([&] { return loginRoot() && loginRoot()->disclaimerScreen(); }));
    run(0.5);
    delegate->navigationController()->popToRootViewControllerAnimated(false);
    run(1);
    ASSERT_TRUE(loginRoot()->disclaimerScreen());
    EXPECT_EQ(delegate->navigationController()->viewControllers().size(), 2u);
    answerDisclaimer(true);
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
}

TEST_F(LaunchRoadTest, ANewerVersionIsOfferedAndKeptForTheUpdateScreen) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    EXPECT_FALSE(VTAParamter::shareParamter().getStringForKey("newVersionGet"));
    sim->withRoom<SimSystemRoom>([](SimSystemRoom& r) { r.newestVersion = "2.0.0"; });
    restart();
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    auto offer = UIAlertView::topAlert();
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->title(), "发现新版本");
    EXPECT_EQ(VTAParamter::shareParamter().getStringForKey("newVersionGet").value_or(""), "2.0.0");
    EXPECT_EQ(VTAParamter::shareParamter().getStringForKey("newVersionURL").value_or(""), "http://127.0.0.1/upgrade");
    // "以后再说" leaves it for the settings' update screen.
    offer->dismissWithClickedButtonIndex(0, false);
    EXPECT_TRUE(app->openedURLs().empty());
    auto update = std::make_shared<VTAUpdateViewController>();
    EXPECT_TRUE(update->hasNewVersion());
    EXPECT_EQ(update->statusText(), "发现新版本 2.0.0");
    EXPECT_TRUE(update->upgrade());
    ASSERT_EQ(app->openedURLs().size(), 1u);
    EXPECT_EQ(app->openedURLs()[0], "http://127.0.0.1/upgrade");
}
