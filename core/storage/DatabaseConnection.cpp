#include "core/storage/DatabaseConnection.h"

bool DatabaseConnection::open(const std::string& path, std::string* error) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    db_.reset();
    auto db = Database::open(path, Database::OpenMode::ReadWrite, error);
    if (!db) return false;
    db_ = std::move(db);
    path_ = path;
    return true;
}

void DatabaseConnection::close() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    db_.reset();
}

bool DatabaseConnection::isOpen() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return db_.has_value();
}

std::string DatabaseConnection::path() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return path_;
}
