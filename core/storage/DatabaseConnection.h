#pragma once
// The application database as the data-access objects share it: one
// connection that may be closed (background) and opened again (foreground)
// while the objects stay. Each operation of a data-access object holds the
// lock for its whole run, so a thread that stores pushed messages never
// interleaves its transaction with the main thread's.
#include <mutex>
#include <optional>
#include <string>

#include "core/storage/Database.h"

class DatabaseConnection {
public:
    bool open(const std::string& path, std::string* error = nullptr);
    void close();
    bool isOpen() const;
    std::string path() const;

    // The lock to hold while using database(); recursive, so an operation may
    // call another of the same connection.
    std::recursive_mutex& mutex() const { return mutex_; }
    // The open database, or null while closed. Use only under mutex().
    Database* database() { return db_ ? &*db_ : nullptr; }

private:
    mutable std::recursive_mutex mutex_;
    std::optional<Database> db_;
    std::string path_;
};

// Holds the connection's lock and hands out its database (null when closed).
class ConnectionLock {
public:
    explicit ConnectionLock(DatabaseConnection& c) : lock_(c.mutex()), db_(c.database()) {}
    Database* db() const { return db_; }
    explicit operator bool() const { return db_ != nullptr; }
    Database* operator->() const { return db_; }

private:
    std::lock_guard<std::recursive_mutex> lock_;
    Database* db_;
};
