#include "core/storage/DaoFactory.h"

#include <filesystem>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"

namespace fs = std::filesystem;

namespace {

const auto kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;

// Copies through a temporary file and a rename, so a failed copy never
// leaves a half-written database where the next launch would open it, nor
// the temporary file itself.
bool copySeed(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) return false;
    std::string temporary = to + ".copying";
    fs::remove(temporary, ec);
    bool ok = fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec);
    if (ok) fs::permissions(temporary, kOwnerOnly, fs::perm_options::replace, ec);
    if (ok && !ec) fs::rename(temporary, to, ec);
    if (!ok || ec) {
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
    const std::string target = documentsPath(kDatabaseFileName);
    const std::string seed = bundlePath(kDatabaseFileName);
    std::error_code ec;
    const bool present = fs::exists(target, ec);
    if (!present && !copySeed(seed, target)) return DatabaseSetupResult::CreateFailed;
    // An emptied file is damage, not a first start: SQLite would take it for
    // a new database, and the messages and branches would be gone unsaid.
    const bool emptied = present && fs::is_regular_file(target, ec) && fs::file_size(target, ec) == 0;
    if (!emptied && openAndUpgrade(target)) return DatabaseSetupResult::Ok;
    close();
    // The damaged file moves aside with the journals SQLite keeps beside it (a
    // journal left behind would be played into the fresh copy).
    if (!fs::is_regular_file(seed, ec) || moveFileAside(target, {"-journal", "-wal", "-shm"}).empty() ||
        !copySeed(seed, target) || !openAndUpgrade(target)) {
        close();
        return DatabaseSetupResult::InitializeFailed;
    }
    return DatabaseSetupResult::Recovered;
}

bool DaoFactory::openAndUpgrade(const std::string& path) {
    if (!open(path) || !maintainDao_->upgrade()) return false;
    // Also a file of an older version that others could read (SQLite gives
    // its journals the database file's permissions).
    std::error_code ec;
    fs::permissions(path, kOwnerOnly, fs::perm_options::replace, ec);
    return true;
}

std::string DaoFactory::setupFailureText(DatabaseSetupResult result) {
    switch (result) {
        case DatabaseSetupResult::CreateFailed:
            return kCreateFailedText;
        case DatabaseSetupResult::InitializeFailed:
        case DatabaseSetupResult::Recovered:
            return kInitializeFailedText;
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
