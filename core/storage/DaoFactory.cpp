#include "core/storage/DaoFactory.h"

#include <filesystem>

#include "platform/foundation/Paths.h"

namespace fs = std::filesystem;

namespace {
// Copies through a temporary file and a rename, so a failed copy never
// leaves a half-written database where the next launch would open it.
bool copySeed(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) return false;
    std::string temporary = to + ".copying";
    fs::remove(temporary, ec);
    if (!fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec)) return false;
    fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    fs::rename(temporary, to, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}
}  // namespace

DaoFactory& DaoFactory::sharedInstance() {
    static DaoFactory instance;
    return instance;
}

DaoFactory::DaoFactory()
    : connection_(std::make_shared<DatabaseConnection>()),
      portfolioDao_(std::make_shared<PortfolioDaoImpl>(connection_)),
      salesDepartmentDao_(std::make_shared<SalesDepartmentDaoImpl>(connection_)),
      messageExpressDao_(std::make_shared<MessageExpressDaoImpl>(connection_)),
      maintainDao_(std::make_shared<MaintainDaoImpl>(connection_)) {}

DatabaseSetupResult DaoFactory::setUpDatabase() {
    std::string target = documentsPath(kDatabaseFileName);
    std::error_code ec;
    if (!fs::exists(target, ec) && !copySeed(bundlePath(kDatabaseFileName), target))
        return DatabaseSetupResult::CreateFailed;
    if (!open(target) || !maintainDao_->upgrade()) {
        close();
        return DatabaseSetupResult::InitializeFailed;
    }
    return DatabaseSetupResult::Ok;
}

std::string DaoFactory::setupFailureText(DatabaseSetupResult result) {
    switch (result) {
        case DatabaseSetupResult::CreateFailed:
            return "Create database failed.";
        case DatabaseSetupResult::InitializeFailed:
            return "Initialize database failed.";
        case DatabaseSetupResult::Ok:
            break;
    }
    return {};
}

bool DaoFactory::open(const std::string& path) { return connection_->open(path); }

void DaoFactory::close() { connection_->close(); }

bool DaoFactory::reopen() {
    std::string last = connection_->path();
    return !last.empty() && connection_->open(last);
}

bool DaoFactory::isOpen() const { return connection_->isOpen(); }

std::string DaoFactory::path() const { return connection_->path(); }
