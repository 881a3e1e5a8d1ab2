#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <fstream>

#include "core/storage/DaoFactory.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// The tables of version 1, as databases of the first release hold them.
const char* kVersion1Tables = R"(
CREATE TABLE t_portfolio (
    id INTEGER PRIMARY KEY AUTOINCREMENT, symbol TEXT NOT NULL, marketId INTEGER NOT NULL,
    name TEXT, sequence INTEGER NOT NULL);
CREATE TABLE t_salesDepartment (
    id INTEGER PRIMARY KEY AUTOINCREMENT, code TEXT NOT NULL UNIQUE, name TEXT,
    isDefault INTEGER NOT NULL DEFAULT 0);
CREATE TABLE t_messageExpress (
    id INTEGER PRIMARY KEY AUTOINCREMENT, messageId TEXT NOT NULL UNIQUE,
    senderCode TEXT NOT NULL DEFAULT '', senderName TEXT NOT NULL DEFAULT '',
    sendDate TEXT NOT NULL DEFAULT '', sendTime TEXT NOT NULL DEFAULT '',
    isNeedConfirm INTEGER NOT NULL DEFAULT 0, isFavorite INTEGER NOT NULL DEFAULT 0,
    isRead INTEGER NOT NULL DEFAULT 0, messageType INTEGER NOT NULL DEFAULT 0,
    messageLevel INTEGER NOT NULL DEFAULT 0, messageDetailId TEXT NOT NULL DEFAULT '',
    messageTitle TEXT NOT NULL DEFAULT '', messageContent TEXT NOT NULL DEFAULT '',
    week INTEGER NOT NULL DEFAULT 0);
INSERT INTO t_portfolio (symbol, marketId, name, sequence) VALUES ('600000', 2, '浦发银行', 1);
INSERT INTO t_portfolio (symbol, marketId, name, sequence) VALUES ('000001', 1, NULL, 2);
INSERT INTO t_salesDepartment (code, name, isDefault) VALUES ('0101', '深圳营业部', 1);
INSERT INTO t_messageExpress (messageId, senderCode, senderName, sendDate, sendTime, isFavorite, messageTitle)
    VALUES ('m1', 's1', '研究所', '2024-05-01', '09:30:00', 1, '早评');
)";

const char* kMetadataVersion1 = R"(
CREATE TABLE t_metadata (key TEXT PRIMARY KEY NOT NULL, value TEXT);
INSERT INTO t_metadata VALUES ('schemaVersion', '1');
)";

const char* kVersion2Changes = R"(
ALTER TABLE t_portfolio ADD COLUMN stockType INTEGER NOT NULL DEFAULT -1;
ALTER TABLE t_portfolio ADD COLUMN groupId INTEGER NOT NULL DEFAULT 0;
CREATE INDEX i_portfolio_stock ON t_portfolio (symbol, marketId);
UPDATE t_metadata SET value = '2' WHERE key = 'schemaVersion';
UPDATE t_portfolio SET stockType = 1 WHERE symbol = '600000';
)";

std::string makeDatabase(const std::string& path, const std::string& sql) {
    auto db = Database::open(path, Database::OpenMode::ReadWriteCreate);
    EXPECT_TRUE(db && db->exec(sql)) << (db ? db->lastError() : "open");
    return path;
}

// Every table and its columns (name and declared type, in order), indexes
// included, as one text.
std::string schemaOf(const std::string& path) {
    auto db = Database::open(path);
    EXPECT_TRUE(db);
    std::string out;
    auto tables = db->prepare(
        "SELECT type, name, tbl_name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY type, name");
    while (tables->step() == Statement::StepResult::Row) {
        out += tables->columnText(0) + " " + tables->columnText(1) + " on " + tables->columnText(2) + ":";
        if (tables->columnText(0) == "table") {
            auto cols = db->prepare("SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?)");
            cols->bindText(1, tables->columnText(1));
            while (cols->step() == Statement::StepResult::Row)
                out += " " + cols->columnText(0) + " " + cols->columnText(1) + " " + cols->columnText(2) + " " +
                       cols->columnText(3) + ";";
        }
        out += "\n";
    }
    return out;
}

std::string seedPath() { return bundlePath(DaoFactory::kDatabaseFileName); }

void expectOldRowsKept(DaoFactory& factory) {
    auto stocks = factory.portfolioDao()->listPortfolioStocks();
    ASSERT_EQ(stocks.size(), 2u);
    EXPECT_EQ(stocks[0]->symbol(), "600000");
    EXPECT_EQ(stocks[0]->name(), "浦发银行");
    EXPECT_EQ(stocks[1]->symbol(), "000001");
    EXPECT_EQ(stocks[1]->stockType(), -1);
    auto branch = factory.salesDepartmentDao()->defaultSalesDepartment();
    ASSERT_TRUE(branch);
    EXPECT_EQ(branch->code(), "0101");
    auto message = factory.messageExpressDao()->messageWithMessageId("m1");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->messageTitle(), "早评");
    EXPECT_TRUE(message->isFavorite());
    EXPECT_EQ(message->stockCode(), "");
    EXPECT_EQ(factory.messageExpressDao()->amountOfFavoriteMessage(), 1);
}

}  // namespace

TEST(DatabaseSetup, FreshInstallCopiesAndOpensTheSeed) {
    ScopedDocuments documents;
    ASSERT_TRUE(fs::exists(seedPath())) << seedPath();
    DaoFactory factory;
    ASSERT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);
    EXPECT_TRUE(factory.isOpen());
    EXPECT_EQ(factory.path(), documentsPath("roduvede.db"));
    EXPECT_TRUE(fs::exists(documentsPath("roduvede.db")));
    EXPECT_EQ(factory.maintainDao()->schemaVersion(), MaintainDaoImpl::kCurrentSchemaVersion);
    EXPECT_TRUE(factory.portfolioDao()->listPortfolioStocks().empty());
    EXPECT_TRUE(factory.portfolioDao()->addStock(QZPortfolioStock("600000", 2)));
    factory.close();

    // The second launch keeps the customer's copy.
    DaoFactory again;
    ASSERT_EQ(again.setUpDatabase(), DatabaseSetupResult::Ok);
    EXPECT_EQ(again.portfolioDao()->listPortfolioStocks().size(), 1u);
}

TEST(DatabaseSetup, FailuresGiveTheirAlertTexts) {
    ScopedDocuments documents;
    TempDir emptyBundle;
    std::string previousBundle = bundleDirectory();
    setBundleDirectory(emptyBundle.path());
    DaoFactory factory;
    auto result = factory.setUpDatabase();
    EXPECT_EQ(result, DatabaseSetupResult::CreateFailed);
    EXPECT_EQ(DaoFactory::setupFailureText(result), "数据库创建失败");
    EXPECT_FALSE(fs::exists(documentsPath("roduvede.db")));

    // A damaged file and no seed to start again from: left where it is.
    std::ofstream(documentsPath("roduvede.db")) << "garbage garbage garbage garbage garbage garbage garbage garbage";
    result = factory.setUpDatabase();
    setBundleDirectory(previousBundle);
    EXPECT_EQ(result, DatabaseSetupResult::InitializeFailed);
    EXPECT_EQ(DaoFactory::setupFailureText(result), "数据库初始化失败");
    EXPECT_FALSE(factory.isOpen());
    EXPECT_TRUE(fs::exists(documentsPath("roduvede.db")));
    EXPECT_FALSE(fs::exists(documentsPath("roduvede.db.damaged-1")));
    EXPECT_EQ(DaoFactory::setupFailureText(DatabaseSetupResult::Ok), "");
}

static std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DatabaseSetup, ADamagedFileIsMovedAsideAndTheSeedTakesItsPlace) {
    ScopedDocuments documents;
    const std::string path = documentsPath("roduvede.db");
    {
        DaoFactory factory;
        ASSERT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);
        ASSERT_TRUE(factory.portfolioDao()->addStock(QZPortfolioStock("600000", 2)));
    }
    const std::string good = contentOf(path);
    // Emptied, truncated, then overwritten, with a journal of the old file beside it.
    std::vector<std::string> damages = {"", good.substr(0, good.size() / 3), std::string(good.size(), 'x')};
    for (size_t i = 0; i < damages.size(); ++i) {
        { std::ofstream(path, std::ios::binary | std::ios::trunc) << damages[i]; }
        { std::ofstream(path + "-journal", std::ios::binary | std::ios::trunc) << "stale journal"; }
        DaoFactory factory;
        auto result = factory.setUpDatabase();
        EXPECT_EQ(result, DatabaseSetupResult::Recovered);
        EXPECT_EQ(DaoFactory::setupFailureText(result), "数据库初始化失败");
        ASSERT_TRUE(factory.isOpen());
        EXPECT_TRUE(factory.portfolioDao()->listPortfolioStocks().empty());  // the seed's
        EXPECT_TRUE(factory.portfolioDao()->addStock(QZPortfolioStock("000001", 1)));
        const std::string aside = path + ".damaged-" + std::to_string(i + 1);
        EXPECT_TRUE(fs::exists(aside));
        EXPECT_EQ(contentOf(aside), damages[i]);                   // kept for support as it was
        EXPECT_NE(contentOf(path + "-journal"), "stale journal");  // never played into the fresh copy
        factory.close();
        DaoFactory again;  // the next start is an ordinary one
        EXPECT_EQ(again.setUpDatabase(), DatabaseSetupResult::Ok);
        EXPECT_EQ(again.portfolioDao()->listPortfolioStocks().size(), 1u);
    }
}

TEST(DatabaseSetup, TheFileIsTheOwnersOnly) {
    ScopedDocuments documents;
    const std::string path = documentsPath("roduvede.db");
    for (int launch = 0; launch < 2; ++launch) {
        DaoFactory factory;
        ASSERT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
        factory.close();
        fs::permissions(path, fs::perms::all, fs::perm_options::replace);  // an older install's file
    }
}

TEST(DatabaseSetup, AFailedCopyLeavesNoTemporaryFile) {
    ScopedDocuments documents;
    ASSERT_GT(fs::file_size(seedPath()), 4096u);
    // A full disk: writes past the first 4 KiB fail.
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    DaoFactory factory;
    auto result = factory.setUpDatabase();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result, DatabaseSetupResult::CreateFailed);
    EXPECT_FALSE(fs::exists(documentsPath("roduvede.db")));
    EXPECT_FALSE(fs::exists(documentsPath("roduvede.db.copying")));
    EXPECT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);  // room again
}

TEST(DatabaseUpgrade, EveryOlderVersionUpgradesKeepingRowsAndEndsLikeTheSeed) {
    const std::string seedSchema = schemaOf(seedPath());
    ASSERT_NE(seedSchema.find("messageUrl TEXT 1 ''"), std::string::npos) << seedSchema;
    ASSERT_NE(seedSchema.find("index i_portfolio_stock on t_portfolio"), std::string::npos) << seedSchema;
    struct Old {
        const char* name;
        std::string sql;
        int version;
    };
    const std::vector<Old> olds = {
        {"before versions were recorded", kVersion1Tables, 0},
        {"version 1", std::string(kMetadataVersion1) + kVersion1Tables, 1},
        {"version 2", std::string(kMetadataVersion1) + kVersion1Tables + kVersion2Changes, 2},
    };
    for (const auto& old : olds) {
        SCOPED_TRACE(old.name);
        ScopedDocuments documents;
        makeDatabase(documentsPath("roduvede.db"), old.sql);
        DaoFactory factory;
        ASSERT_TRUE(factory.open(documentsPath("roduvede.db")));
        EXPECT_EQ(factory.maintainDao()->schemaVersion(), old.version);
        factory.close();

        ASSERT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);
        EXPECT_EQ(factory.maintainDao()->schemaVersion(), MaintainDaoImpl::kCurrentSchemaVersion);
        expectOldRowsKept(factory);
        if (old.version == 2) {
            EXPECT_EQ(factory.portfolioDao()->listPortfolioStocks()[0]->stockType(), 1);
        }
        // The new columns work on the old rows.
        QZMessageExpress m("s1");
        m.setMessageId("m2");
        m.setStockCode("600000.2");
        m.setStockName("浦发银行");
        EXPECT_TRUE(factory.messageExpressDao()->addMessageExpressItem(m));
        EXPECT_EQ(factory.messageExpressDao()->messageWithMessageId("m2")->stockCode(), "600000.2");
        EXPECT_TRUE(factory.portfolioDao()->addStock(QZPortfolioStock("000002", 1)));
        EXPECT_EQ(factory.portfolioDao()->listPortfolioStocks().back()->order(), 3);
        factory.close();
        EXPECT_EQ(schemaOf(documentsPath("roduvede.db")), seedSchema);
    }
}

TEST(DatabaseUpgrade, EmptyFileGetsTheWholeSchema) {
    ScopedDocuments documents;
    std::string path = makeDatabase(documentsPath("empty.db"), "");
    auto db = Database::open(path);
    ASSERT_TRUE(db);
    EXPECT_EQ(MaintainDaoImpl::schemaVersionOf(*db), 0);
    EXPECT_TRUE(MaintainDaoImpl::upgradeDatabase(*db));
    db->close();
    EXPECT_EQ(schemaOf(path), schemaOf(seedPath()));
}

TEST(DatabaseUpgrade, NewerDatabaseIsUsedAsItIs) {
    ScopedDocuments documents;
    std::string sql = std::string(kMetadataVersion1) + kVersion1Tables + kVersion2Changes + R"(
ALTER TABLE t_messageExpress ADD COLUMN channelName TEXT NOT NULL DEFAULT '';
ALTER TABLE t_messageExpress ADD COLUMN stockCode TEXT NOT NULL DEFAULT '';
ALTER TABLE t_messageExpress ADD COLUMN stockName TEXT NOT NULL DEFAULT '';
ALTER TABLE t_messageExpress ADD COLUMN messageUrl TEXT NOT NULL DEFAULT '';
ALTER TABLE t_portfolio ADD COLUMN futureColumn TEXT;
CREATE TABLE t_future (x INTEGER);
UPDATE t_metadata SET value = '7' WHERE key = 'schemaVersion';
)";
    makeDatabase(documentsPath("roduvede.db"), sql);
    std::string before = schemaOf(documentsPath("roduvede.db"));
    DaoFactory factory;
    ASSERT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);
    EXPECT_EQ(factory.maintainDao()->schemaVersion(), 7);
    expectOldRowsKept(factory);
    EXPECT_TRUE(factory.portfolioDao()->addStock(QZPortfolioStock("000002", 1)));
    factory.close();
    EXPECT_EQ(schemaOf(documentsPath("roduvede.db")), before);
}

TEST(DatabaseUpgrade, FailedStepIsRolledBackAndTheEarlierStepsStay) {
    ScopedDocuments documents;
    // Version 1 without its message table: the step to 3 cannot alter it.
    std::string sql = std::string(kMetadataVersion1) + kVersion1Tables + "DROP TABLE t_messageExpress;";
    makeDatabase(documentsPath("roduvede.db"), sql);
    DaoFactory factory;
    EXPECT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Recovered);
    factory.close();
    ASSERT_TRUE(factory.open(documentsPath("roduvede.db.damaged-1")));
    EXPECT_EQ(factory.maintainDao()->schemaVersion(), 2);
    EXPECT_EQ(factory.portfolioDao()->listPortfolioStocks().size(), 2u);
}

TEST(DaoFactory, ObjectsSurviveCloseAndReopen) {
    ScopedDocuments documents;
    NSUserDefaults::standardUserDefaults().reload();
    DaoFactory factory;
    ASSERT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);
    auto portfolio = factory.portfolioDao();
    EXPECT_TRUE(portfolio->addStock(QZPortfolioStock("600000", 2)));
    factory.close();
    EXPECT_FALSE(factory.isOpen());
    // Closed: operations fail instead of touching a dead connection.
    EXPECT_FALSE(portfolio->addStock(QZPortfolioStock("000001", 1)));
    EXPECT_TRUE(portfolio->listPortfolioStocks().empty());
    EXPECT_FALSE(factory.messageExpressDao()->listSortordWithType(0));
    EXPECT_FALSE(factory.salesDepartmentDao()->defaultSalesDepartment());
    EXPECT_FALSE(factory.maintainDao()->schemaVersion());
    ASSERT_TRUE(factory.reopen());
    EXPECT_EQ(portfolio->listPortfolioStocks().size(), 1u);
    EXPECT_EQ(&DaoFactory::sharedInstance(), &DaoFactory::sharedInstance());
}
