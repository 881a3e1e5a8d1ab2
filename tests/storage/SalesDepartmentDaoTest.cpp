#include "tests/storage/StorageTestSupport.h"

namespace {
class SalesDepartmentDaoTest : public StorageTest {
protected:
    std::shared_ptr<SalesDepartmentDaoImpl> dao() { return factory.salesDepartmentDao(); }
    std::vector<std::string> codes() {
        std::vector<std::string> out;
        for (auto& d : dao()->listSalesDepartment()) out.push_back(d->code());
        return out;
    }
};
}  // namespace

TEST_F(SalesDepartmentDaoTest, DefaultSwitchesToTheLastPickedAndListIsNewestFirst) {
    EXPECT_TRUE(dao()->listSalesDepartment().empty());
    EXPECT_FALSE(dao()->defaultSalesDepartment());

    EXPECT_TRUE(dao()->addSalesDepartment(QZUsedSalesDepartment("0101", "深圳营业部")));
    EXPECT_TRUE(dao()->addSalesDepartment(QZUsedSalesDepartment("0202", "上海营业部")));
    EXPECT_EQ(dao()->defaultSalesDepartment()->code(), "0202");
    EXPECT_EQ(codes(), (std::vector<std::string>{"0202", "0101"}));

    // Picking a stored branch again makes it the default without a new row.
    EXPECT_TRUE(dao()->addSalesDepartment(QZUsedSalesDepartment("0101", "改名")));
    auto def = dao()->defaultSalesDepartment();
    ASSERT_TRUE(def);
    EXPECT_EQ(def->code(), "0101");
    EXPECT_EQ(def->name(), "深圳营业部");
    EXPECT_EQ(codes(), (std::vector<std::string>{"0202", "0101"}));
    EXPECT_EQ(count("SELECT count(*) FROM t_salesDepartment WHERE isDefault = 1"), 1);
    auto list = dao()->listSalesDepartment();
    EXPECT_FALSE(list[0]->isDefault());
    EXPECT_TRUE(list[1]->isDefault());
}

TEST_F(SalesDepartmentDaoTest, ShortTextsAreNotKept) {
    EXPECT_TRUE(dao()->addSalesDepartment(QZUsedSalesDepartment("0303", "X")));
    EXPECT_EQ(dao()->defaultSalesDepartment()->name(), "");
    // A one-character code could never be found again: refused, default kept.
    EXPECT_FALSE(dao()->addSalesDepartment(QZUsedSalesDepartment("1", "北京营业部")));
    EXPECT_FALSE(dao()->addSalesDepartment(QZUsedSalesDepartment("", "")));
    EXPECT_EQ(dao()->defaultSalesDepartment()->code(), "0303");
    EXPECT_EQ(dao()->listSalesDepartment().size(), 1u);
}

TEST_F(SalesDepartmentDaoTest, RefusedInsertKeepsTheOldDefault) {
    EXPECT_TRUE(dao()->addSalesDepartment(QZUsedSalesDepartment("0101", "深圳营业部")));
    ASSERT_TRUE(rawDatabase().exec(
        "CREATE TRIGGER fail BEFORE INSERT ON t_salesDepartment BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_FALSE(dao()->addSalesDepartment(QZUsedSalesDepartment("0202", "上海营业部")));
    EXPECT_EQ(dao()->defaultSalesDepartment()->code(), "0101");
}
