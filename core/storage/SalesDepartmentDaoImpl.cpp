#include "core/storage/SalesDepartmentDaoImpl.h"

#include "core/storage/StorageText.h"

SalesDepartmentDaoImpl::SalesDepartmentDaoImpl(std::shared_ptr<DatabaseConnection> connection)
    : connection_(std::move(connection)) {}

namespace {
std::shared_ptr<QZUsedSalesDepartment> readRow(const Statement& st) {
    auto d = std::make_shared<QZUsedSalesDepartment>(st.columnText(0), st.columnText(1));
    d->setIsDefault(st.columnInt64(2) != 0);
    return d;
}
}  // namespace

SalesDepartmentDaoImpl::DepartmentList SalesDepartmentDaoImpl::listSalesDepartment() {
    DepartmentList list;
    ConnectionLock lock(*connection_);
    if (!lock) return list;
    auto st = lock->prepare("SELECT code, name, isDefault FROM t_salesDepartment ORDER BY id DESC");
    if (!st) return list;
    while (st->step() == Statement::StepResult::Row) list.push_back(readRow(*st));
    return list;
}

std::shared_ptr<QZUsedSalesDepartment> SalesDepartmentDaoImpl::defaultSalesDepartment() {
    ConnectionLock lock(*connection_);
    if (!lock) return nullptr;
    auto st = lock->prepare(
        "SELECT code, name, isDefault FROM t_salesDepartment WHERE isDefault = 1 ORDER BY id DESC LIMIT 1");
    if (!st || st->step() != Statement::StepResult::Row) return nullptr;
    return readRow(*st);
}

bool SalesDepartmentDaoImpl::addSalesDepartment(const QZUsedSalesDepartment& department) {
    const std::string& code = department.code();
    if (storage_text::characterCount(code) < 2) return false;
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Database& db = *lock.db();
    Transaction tx(db);
    if (!tx.isActive()) return false;
    auto insert = db.prepare("INSERT INTO t_salesDepartment (code, name) VALUES (?, ?) ON CONFLICT (code) DO NOTHING");
    if (!insert || !insert->bindText(1, code)) return false;
    bool named = storage_text::characterCount(department.name()) >= 2;
    if (!(named ? insert->bindText(2, department.name()) : insert->bindNull(2)) || !insert->run()) return false;
    auto mark = db.prepare("UPDATE t_salesDepartment SET isDefault = (code = ?)");
    if (!mark || !mark->bindText(1, code) || !mark->run()) return false;
    return tx.commit();
}
