#pragma once
// A thin owner of an SQLite connection and its prepared statements. Every
// failure is a return value (false, nullopt, StepResult::Error); the text of
// the last failure is kept by the connection (lastError()).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class Database;

// One prepared statement. Parameters are numbered from 1, columns from 0, as
// in SQLite. A statement must not outlive its connection's close: the
// connection then stays half-open until the statement is gone.
class Statement {
public:
    enum class StepResult { Row, Done, Error };

    Statement() = default;
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;

    bool isValid() const { return stmt_ != nullptr; }

    bool bindText(int index, std::string_view text);
    bool bindInt64(int index, int64_t value);
    bool bindDouble(int index, double value);
    bool bindNull(int index);
    // Text, or null when the optional is empty.
    bool bindOptionalText(int index, const std::optional<std::string>& text);

    StepResult step();
    // Steps until the statement is done; false when a step fails.
    bool run();

    int columnCount() const;
    bool columnIsNull(int column) const;
    int64_t columnInt64(int column) const;
    double columnDouble(int column) const;
    // The column as text; the empty text for null.
    std::string columnText(int column) const;

    // Makes the statement ready to run again and clears its bindings.
    bool reset();

private:
    friend class Database;
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const;
    };
    Statement(sqlite3_stmt* stmt, sqlite3* db) : stmt_(stmt), db_(db) {}
    bool checkBind(int rc);
    // Whether there is a statement; a column outside it is a caller's error.
    bool hasColumn(int column) const;

    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
    sqlite3* db_ = nullptr;
};

class Database {
public:
    enum class OpenMode { ReadWrite, ReadWriteCreate };

    // Opens the file. nullopt when it cannot be opened; `error` (when given)
    // then holds SQLite's reason.
    static std::optional<Database> open(const std::string& path, OpenMode mode = OpenMode::ReadWrite,
                                        std::string* error = nullptr);

    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;
    ~Database() = default;

    bool isOpen() const { return db_ != nullptr; }
    void close();

    // Runs one or more statements that return no rows.
    bool exec(const std::string& sql);
    // nullopt when the text does not compile; an empty statement (only
    // blanks or comments) is refused too.
    std::optional<Statement> prepare(const std::string& sql);

    // The first column of the first row of a query, or nullopt when the
    // query fails or returns no row.
    std::optional<int64_t> queryInt64(const std::string& sql);
    bool tableExists(const std::string& table);
    bool columnExists(const std::string& table, const std::string& column);

    int64_t lastInsertRowId() const;
    int changes() const;
    bool inTransaction() const;
    std::string lastError() const;

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    explicit Database(sqlite3* db) : db_(db) {}

    std::unique_ptr<sqlite3, Closer> db_;
};

// A unit of work: everything done through the connection between the
// constructor and commit() lands at once, or not at all. Dropped without a
// commit, it rolls back. Transactions nest (as savepoints): an inner one
// rolled back undoes only its own part, the outer one decides the rest.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when the transaction could not be started.
    bool isActive() const { return active_; }
    bool commit();
    void rollback();

private:
    Database& db_;
    std::string name_;
    bool active_ = false;
};
