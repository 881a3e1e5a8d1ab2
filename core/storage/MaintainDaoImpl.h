#pragma once
// Version upgrades of the application database. The version of the tables is
// the row "schemaVersion" of t_metadata. An older database is brought up one
// version at a time, each step in its own transaction together with its new
// version number, so an interrupted upgrade resumes at the step that failed
// and no row is lost. A database newer than this program is used as it is and
// never downgraded.
//
// Versions:
//   0  no t_metadata: an empty file, or a database from before versions were
//      recorded (its tables are kept; missing ones are created)
//   1  t_metadata, t_portfolio (id, symbol, marketId, name, sequence),
//      t_salesDepartment (id, code, name, isDefault), t_messageExpress
//      (id, messageId, sender, date/time, flags, type, level, detail id,
//      title, content, week)
//   2  t_portfolio + stockType (-1), groupId (0); index on (symbol, marketId)
//   3  t_messageExpress + channelName, stockCode, stockName, messageUrl;
//      indexes on (sendDate, sendTime) and senderCode
// resources/schema/roduvede.sql is version 3; the steps below must produce
// the same tables from any older version.
#include <memory>
#include <optional>

#include "core/storage/DatabaseConnection.h"

class MaintainDaoImpl {
public:
    static constexpr int kCurrentSchemaVersion = 3;

    explicit MaintainDaoImpl(std::shared_ptr<DatabaseConnection> connection);

    // The recorded version, 0 when none is recorded; nullopt while closed or
    // when the database cannot be read.
    std::optional<int> schemaVersion();
    // Brings the database to kCurrentSchemaVersion. True when it is there
    // afterwards, or already newer; false when a step failed (that step is
    // rolled back, the steps before it stay).
    bool upgrade();

    // The same on a database outside the shared connection (tests, tools).
    static std::optional<int> schemaVersionOf(Database& db);
    static bool upgradeDatabase(Database& db);

private:
    std::shared_ptr<DatabaseConnection> connection_;
};
