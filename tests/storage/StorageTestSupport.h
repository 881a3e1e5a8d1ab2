#pragma once
// A fresh Documents folder with the seed database set up in it, through a
// DaoFactory of the test's own (the shared one stays untouched).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/storage/DaoFactory.h"
#include "platform/foundation/NSUserDefaults.h"
#include "tests/support/TestSupport.h"

class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSUserDefaults::standardUserDefaults().reload();
        ASSERT_EQ(factory.setUpDatabase(), DatabaseSetupResult::Ok);
    }
    void TearDown() override { factory.close(); }

    // A second connection to the same file, to look behind the objects' backs
    // (and to plant triggers that make a statement fail).
    Database rawDatabase() {
        auto db = Database::open(factory.path());
        EXPECT_TRUE(db.has_value());
        return std::move(*db);
    }
    int64_t count(const std::string& sql) { return rawDatabase().queryInt64(sql).value_or(-1); }

    ScopedDocuments documents;
    DaoFactory factory;
};
