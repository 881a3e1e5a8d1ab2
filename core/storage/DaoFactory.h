#pragma once
// The application database and its data-access objects, one per process.
// The objects it hands out stay valid across close() and reopen() (the
// application closes the database on entering the background and opens it
// again on return); while it is closed their operations fail.
#include <memory>
#include <string>

#include "core/storage/DatabaseConnection.h"
#include "core/storage/MaintainDaoImpl.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "core/storage/PortfolioDaoImpl.h"
#include "core/storage/SalesDepartmentDaoImpl.h"

enum class DatabaseSetupResult {
    Ok,
    Recovered,         // the file could not be opened or upgraded: it was moved aside and the seed put in its place
    CreateFailed,      // the seed could not be copied into Documents
    InitializeFailed,  // the copy could not be opened or upgraded, nor replaced by the seed
};

class DaoFactory {
public:
    static constexpr const char* kDatabaseFileName = "roduvede.db";

    static DaoFactory& sharedInstance();
    DaoFactory();

    // The launch road: copies the bundle's seed "roduvede.db" into Documents
    // when it is missing there (a first start), opens it and runs the version
    // upgrades. A file that is empty or cannot be opened or upgraded (emptied,
    // truncated, overwritten) is moved aside as "roduvede.db.damaged-N" with
    // its journals, kept for support, and the seed takes its place
    // (Recovered, which the customer is told), so a damaged file never locks
    // the customer out. The file is the owner's only (0600).
    DatabaseSetupResult setUpDatabase();
    static constexpr const char* kCreateFailedText = "数据库创建失败";
    static constexpr const char* kInitializeFailedText = "数据库初始化失败";
    // The alert text of a failed or recovered set-up (kCreateFailedText;
    // kInitializeFailedText, also for Recovered); empty for Ok.
    static std::string setupFailureText(DatabaseSetupResult result);

    // Opens a database file (no copy, no upgrade); false when it cannot.
    bool open(const std::string& path);
    void close();
    // Opens the file last opened again; false when there was none or it fails.
    bool reopen();
    bool isOpen() const;
    std::string path() const;

    std::shared_ptr<PortfolioDaoImpl> portfolioDao() const { return portfolioDao_; }
    std::shared_ptr<SalesDepartmentDaoImpl> salesDepartmentDao() const { return salesDepartmentDao_; }
    std::shared_ptr<MessageExpressDaoImpl> messageExpressDao() const { return messageExpressDao_; }
    std::shared_ptr<MaintainDaoImpl> maintainDao() const { return maintainDao_; }
    std::shared_ptr<DatabaseConnection> connection() const { return connection_; }

private:
    bool openAndUpgrade(const std::string& path);

    std::shared_ptr<DatabaseConnection> connection_;
    std::shared_ptr<PortfolioDaoImpl> portfolioDao_;
    std::shared_ptr<SalesDepartmentDaoImpl> salesDepartmentDao_;
    std::shared_ptr<MessageExpressDaoImpl> messageExpressDao_;
    std::shared_ptr<MaintainDaoImpl> maintainDao_;
};
