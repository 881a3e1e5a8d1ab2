#include "core/storage/Database.h"

#include <sqlite3.h>

#include <atomic>
#include <cassert>

void Statement::Finalizer::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

bool Statement::checkBind(int rc) {
    assert(rc != SQLITE_RANGE && "parameters are numbered from 1 to the statement's count");
    return rc == SQLITE_OK;
}

bool Statement::hasColumn(int column) const {
    assert(!stmt_ || (column >= 0 && column < sqlite3_column_count(stmt_.get())));
    return stmt_ != nullptr;
}

bool Statement::bindText(int index, std::string_view text) {
    if (!stmt_) return false;
    return checkBind(
        sqlite3_bind_text(stmt_.get(), index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
}

bool Statement::bindInt64(int index, int64_t value) {
    return stmt_ && checkBind(sqlite3_bind_int64(stmt_.get(), index, value));
}

bool Statement::bindDouble(int index, double value) {
    return stmt_ && checkBind(sqlite3_bind_double(stmt_.get(), index, value));
}

bool Statement::bindNull(int index) { return stmt_ && checkBind(sqlite3_bind_null(stmt_.get(), index)); }

bool Statement::bindOptionalText(int index, const std::optional<std::string>& text) {
    return text ? bindText(index, *text) : bindNull(index);
}

Statement::StepResult Statement::step() {
    if (!stmt_) return StepResult::Error;
    int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) return StepResult::Row;
    if (rc == SQLITE_DONE) return StepResult::Done;
    return StepResult::Error;
}

bool Statement::run() {
    for (;;) {
        StepResult r = step();
        if (r == StepResult::Done) return true;
        if (r == StepResult::Error) return false;
    }
}

int Statement::columnCount() const { return stmt_ ? sqlite3_column_count(stmt_.get()) : 0; }

bool Statement::columnIsNull(int column) const {
    return !hasColumn(column) || sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

int64_t Statement::columnInt64(int column) const {
    return hasColumn(column) ? sqlite3_column_int64(stmt_.get(), column) : 0;
}

double Statement::columnDouble(int column) const {
    return hasColumn(column) ? sqlite3_column_double(stmt_.get(), column) : 0;
}

std::string Statement::columnText(int column) const {
    if (!hasColumn(column)) return {};
    const unsigned char* text = sqlite3_column_text(stmt_.get(), column);
    if (!text) return {};
    int size = sqlite3_column_bytes(stmt_.get(), column);
    return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
}

bool Statement::reset() {
    if (!stmt_) return false;
    sqlite3_clear_bindings(stmt_.get());
    return sqlite3_reset(stmt_.get()) == SQLITE_OK;
}

void Database::Closer::operator()(sqlite3* db) const {
    // close_v2: a statement still alive keeps the connection until it goes.
    sqlite3_close_v2(db);
}

std::optional<Database> Database::open(const std::string& path, OpenMode mode, std::string* error) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (mode == OpenMode::ReadWriteCreate) flags |= SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (error) *error = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        sqlite3_close_v2(raw);
        return std::nullopt;
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 2000);
    Database db(raw);
    // A file that is not a database opens without complaint; the first read
    // tells. Refuse it here, so that callers see the failure at open.
    if (!db.exec("SELECT count(*) FROM sqlite_master")) {
        if (error) *error = db.lastError();
        return std::nullopt;
    }
    return db;
}

void Database::close() { db_.reset(); }

bool Database::exec(const std::string& sql) {
    if (!db_) return false;
    return sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<Statement> Database::prepare(const std::string& sql) {
    if (!db_) return std::nullopt;
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
    if (rc != SQLITE_OK || !raw) {
        sqlite3_finalize(raw);
        return std::nullopt;
    }
    return Statement(raw, db_.get());
}

std::optional<int64_t> Database::queryInt64(const std::string& sql) {
    auto st = prepare(sql);
    if (!st || st->step() != Statement::StepResult::Row || st->columnIsNull(0)) return std::nullopt;
    return st->columnInt64(0);
}

bool Database::tableExists(const std::string& table) {
    auto st = prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    return st && st->bindText(1, table) && st->step() == Statement::StepResult::Row;
}

bool Database::columnExists(const std::string& table, const std::string& column) {
    auto st = prepare("SELECT 1 FROM pragma_table_info(?) WHERE name = ?");
    return st && st->bindText(1, table) && st->bindText(2, column) && st->step() == Statement::StepResult::Row;
}

int64_t Database::lastInsertRowId() const { return db_ ? sqlite3_last_insert_rowid(db_.get()) : 0; }

int Database::changes() const { return db_ ? sqlite3_changes(db_.get()) : 0; }

bool Database::inTransaction() const { return db_ && sqlite3_get_autocommit(db_.get()) == 0; }

std::string Database::lastError() const { return db_ ? sqlite3_errmsg(db_.get()) : "database is closed"; }

namespace {
std::atomic<uint64_t> savepointCounter{0};
}

Transaction::Transaction(Database& db) : db_(db) {
    name_ = "rd_tx_" + std::to_string(++savepointCounter);
    active_ = db_.exec("SAVEPOINT " + name_);
}

Transaction::~Transaction() { rollback(); }

bool Transaction::commit() {
    if (!active_) return false;
    if (!db_.exec("RELEASE " + name_)) {
        rollback();
        return false;
    }
    active_ = false;
    return true;
}

void Transaction::rollback() {
    if (!active_) return;
    active_ = false;
    // Undo the work, then drop the savepoint (for the outermost one this
    // ends the transaction).
    db_.exec("ROLLBACK TO " + name_);
    db_.exec("RELEASE " + name_);
}
