#include "core/storage/MaintainDaoImpl.h"

#include <functional>
#include <string>
#include <vector>

namespace {

bool addColumn(Database& db, const std::string& table, const std::string& column, const std::string& type) {
    if (db.columnExists(table, column)) return true;
    return db.exec("ALTER TABLE " + table + " ADD COLUMN " + column + " " + type);
}

// 0 -> 1: the tables of the first version; tables that a database from
// before recorded versions already has are kept as they are.
bool createVersion1(Database& db) {
    return db.exec(R"(
CREATE TABLE IF NOT EXISTS t_metadata (
    key   TEXT PRIMARY KEY NOT NULL,
    value TEXT
);
CREATE TABLE IF NOT EXISTS t_portfolio (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    symbol    TEXT    NOT NULL,
    marketId  INTEGER NOT NULL,
    name      TEXT,
    sequence  INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS t_salesDepartment (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    code      TEXT    NOT NULL UNIQUE,
    name      TEXT,
    isDefault INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS t_messageExpress (
    id              INTEGER PRIMARY KEY AUTOINCREMENT,
    messageId       TEXT    NOT NULL UNIQUE,
    senderCode      TEXT    NOT NULL DEFAULT '',
    senderName      TEXT    NOT NULL DEFAULT '',
    sendDate        TEXT    NOT NULL DEFAULT '',
    sendTime        TEXT    NOT NULL DEFAULT '',
    isNeedConfirm   INTEGER NOT NULL DEFAULT 0,
    isFavorite      INTEGER NOT NULL DEFAULT 0,
    isRead          INTEGER NOT NULL DEFAULT 0,
    messageType     INTEGER NOT NULL DEFAULT 0,
    messageLevel    INTEGER NOT NULL DEFAULT 0,
    messageDetailId TEXT    NOT NULL DEFAULT '',
    messageTitle    TEXT    NOT NULL DEFAULT '',
    messageContent  TEXT    NOT NULL DEFAULT '',
    week            INTEGER NOT NULL DEFAULT 0
);)");
}

bool upgradeTo2(Database& db) {
    return addColumn(db, "t_portfolio", "stockType", "INTEGER NOT NULL DEFAULT -1") &&
           addColumn(db, "t_portfolio", "groupId", "INTEGER NOT NULL DEFAULT 0") &&
           db.exec("CREATE INDEX IF NOT EXISTS i_portfolio_stock ON t_portfolio (symbol, marketId)");
}

bool upgradeTo3(Database& db) {
    return addColumn(db, "t_messageExpress", "channelName", "TEXT NOT NULL DEFAULT ''") &&
           addColumn(db, "t_messageExpress", "stockCode", "TEXT NOT NULL DEFAULT ''") &&
           addColumn(db, "t_messageExpress", "stockName", "TEXT NOT NULL DEFAULT ''") &&
           addColumn(db, "t_messageExpress", "messageUrl", "TEXT NOT NULL DEFAULT ''") &&
           db.exec(
               "CREATE INDEX IF NOT EXISTS i_messageExpress_time ON t_messageExpress (sendDate, sendTime);"
               "CREATE INDEX IF NOT EXISTS i_messageExpress_sender ON t_messageExpress (senderCode)");
}

// steps[i] brings version i to version i + 1.
const std::vector<std::function<bool(Database&)>>& steps() {
    static const std::vector<std::function<bool(Database&)>> all = {createVersion1, upgradeTo2, upgradeTo3};
    return all;
}

bool recordVersion(Database& db, int version) {
    auto st = db.prepare("INSERT OR REPLACE INTO t_metadata (key, value) VALUES ('schemaVersion', ?)");
    return st && st->bindText(1, std::to_string(version)) && st->run();
}

}  // namespace

static_assert(MaintainDaoImpl::kCurrentSchemaVersion == 3, "add the upgrade step of the new version");

MaintainDaoImpl::MaintainDaoImpl(std::shared_ptr<DatabaseConnection> connection) : connection_(std::move(connection)) {}

std::optional<int> MaintainDaoImpl::schemaVersionOf(Database& db) {
    auto tables = db.queryInt64("SELECT count(*) FROM sqlite_master");
    if (!tables) return std::nullopt;
    if (!db.tableExists("t_metadata")) return 0;
    auto version = db.queryInt64("SELECT CAST(value AS INTEGER) FROM t_metadata WHERE key = 'schemaVersion'");
    if (!version || *version < 0) return 0;
    if (*version > 1000000) return 1000000;
    return static_cast<int>(*version);
}

bool MaintainDaoImpl::upgradeDatabase(Database& db) {
    auto version = schemaVersionOf(db);
    if (!version) return false;
    for (int v = *version; v < kCurrentSchemaVersion; ++v) {
        Transaction tx(db);
        if (!tx.isActive()) return false;
        if (!steps()[static_cast<size_t>(v)](db) || !recordVersion(db, v + 1) || !tx.commit()) return false;
    }
    return true;
}

std::optional<int> MaintainDaoImpl::schemaVersion() {
    ConnectionLock lock(*connection_);
    if (!lock) return std::nullopt;
    return schemaVersionOf(*lock.db());
}

bool MaintainDaoImpl::upgrade() {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    return upgradeDatabase(*lock.db());
}
