#include <gtest/gtest.h>

#include <fstream>

#include "core/storage/Database.h"
#include "tests/support/TestSupport.h"

namespace {

Database makeDatabase(const TempDir& dir) {
    auto db = Database::open(dir.file("t.db"), Database::OpenMode::ReadWriteCreate);
    EXPECT_TRUE(db.has_value());
    EXPECT_TRUE(db->exec("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT NOT NULL, n INTEGER)"));
    return std::move(*db);
}

int64_t rows(Database& db) { return db.queryInt64("SELECT count(*) FROM t").value_or(-1); }

}  // namespace

TEST(Database, OpenRefusesMissingAndForeignFiles) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(Database::open(dir.file("missing.db"), Database::OpenMode::ReadWrite, &error));
    EXPECT_FALSE(error.empty());

    std::ofstream(dir.file("text.db")) << "this is no database, just a text file of some length......";
    EXPECT_FALSE(Database::open(dir.file("text.db")));
}

TEST(Database, StatementsBindStepAndReadColumns) {
    TempDir dir;
    Database db = makeDatabase(dir);
    auto insert = db.prepare("INSERT INTO t (name, n) VALUES (?, ?)");
    ASSERT_TRUE(insert);
    const std::string withZero("a\0b", 3);
    ASSERT_TRUE(insert->bindText(1, withZero) && insert->bindInt64(2, -5000000000LL) && insert->run());
    EXPECT_EQ(db.lastInsertRowId(), 1);
    ASSERT_TRUE(insert->reset());
    ASSERT_TRUE(insert->bindText(1, "平安银行") && insert->bindNull(2) && insert->run());
    EXPECT_EQ(db.changes(), 1);

    auto select = db.prepare("SELECT name, n FROM t ORDER BY id");
    ASSERT_TRUE(select);
    ASSERT_EQ(select->step(), Statement::StepResult::Row);
    EXPECT_EQ(select->columnText(0), withZero);
    EXPECT_EQ(select->columnInt64(1), -5000000000LL);
    ASSERT_EQ(select->step(), Statement::StepResult::Row);
    EXPECT_EQ(select->columnText(0), "平安银行");
    EXPECT_TRUE(select->columnIsNull(1));
    EXPECT_EQ(select->columnText(1), "");
    EXPECT_EQ(select->step(), Statement::StepResult::Done);

    EXPECT_FALSE(db.prepare("SELEKT nonsense"));
    EXPECT_FALSE(db.prepare("   "));
    // A constraint failure is a step error, not an exception.
    auto bad = db.prepare("INSERT INTO t (name) VALUES (NULL)");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->step(), Statement::StepResult::Error);
    EXPECT_NE(db.lastError().find("NOT NULL"), std::string::npos);
    EXPECT_FALSE(bad->bindText(7, "out of range"));
}

TEST(Database, TransactionRollsBackUnlessCommitted) {
    TempDir dir;
    Database db = makeDatabase(dir);
    {
        Transaction tx(db);
        ASSERT_TRUE(tx.isActive());
        EXPECT_TRUE(db.inTransaction());
        EXPECT_TRUE(db.exec("INSERT INTO t (name) VALUES ('x')"));
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(rows(db), 0);
    {
        Transaction tx(db);
        EXPECT_TRUE(db.exec("INSERT INTO t (name) VALUES ('x')"));
        EXPECT_TRUE(tx.commit());
        EXPECT_FALSE(tx.commit());
    }
    EXPECT_EQ(rows(db), 1);
}

TEST(Database, NestedTransactionUndoesOnlyItsOwnPart) {
    TempDir dir;
    Database db = makeDatabase(dir);
    {
        Transaction outer(db);
        EXPECT_TRUE(db.exec("INSERT INTO t (name) VALUES ('outer')"));
        {
            Transaction inner(db);
            EXPECT_TRUE(db.exec("INSERT INTO t (name) VALUES ('inner')"));
        }
        EXPECT_TRUE(db.inTransaction());
        EXPECT_TRUE(outer.commit());
    }
    EXPECT_EQ(rows(db), 1);
    EXPECT_EQ(db.queryInt64("SELECT count(*) FROM t WHERE name = 'outer'"), 1);
}

TEST(Database, SchemaQueries) {
    TempDir dir;
    Database db = makeDatabase(dir);
    EXPECT_TRUE(db.tableExists("t"));
    EXPECT_FALSE(db.tableExists("u"));
    EXPECT_TRUE(db.columnExists("t", "name"));
    EXPECT_FALSE(db.columnExists("t", "other"));
    db.close();
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(db.exec("SELECT 1"));
    EXPECT_FALSE(db.prepare("SELECT 1"));
}
