#include <gtest/gtest.h>

#include "core/MenuFunctions.h"
#include "core/TCRSWriter.h"
#include "core/VTAParamter.h"

namespace {

struct Item {
    int id, pid;
    std::string title, link;
    int show, order;
};

TCRSWriter& menuSet(TCRSWriter& w, const std::vector<Item>& items) {
    w.beginSet("sys.menu")
        .addField("id", TCRSFieldType::Integer)
        .addField("pid", TCRSFieldType::Integer)
        .addField("title", TCRSFieldType::VarText)
        .addField("link", TCRSFieldType::VarText)
        .addField("icon", TCRSFieldType::VarText)
        .addField("show", TCRSFieldType::Integer)
        .addField("order", TCRSFieldType::Integer);
    for (const Item& i : items)
        w.addRecord({Value(i.id), Value(i.pid), Value(i.title), Value(i.link), Value(i.title + ".png"), Value(i.show),
                     Value(i.order)});
    return w;
}

std::vector<std::string> titles(const std::vector<std::shared_ptr<VTAMenu>>& menus) {
    std::vector<std::string> out;
    for (auto& m : menus) out.push_back(m->title());
    return out;
}

class Menu : public ::testing::Test {
protected:
    void SetUp() override { VTAParamter::shareParamter().removeAllValues(); }
    void TearDown() override {
        VTATree::setSharedTree(nullptr);
        VTAParamter::shareParamter().removeAllValues();
    }
    // A menu whose records come children first and out of order.
    static std::vector<uint8_t> sampleBytes() {
        TCRSWriter w;
        menuSet(w, {
                       {11, 1, "个股资料", "f10?stkcode=600000&market=2", 1, 2},
                       {12, 1, "自选股", "zxhq", 1, 1},
                       {13, 1, "隐藏", "f10?x=1", 0, 3},
                       {1, -1, "行情", "collist", 1, 2},
                       {2, -1, "交易", "collist?type=trade", 1, 1},
                       {3, -1, "资讯", "f10", 0, 3},
                       {4, -1, "基金", "f10?page=2", 1, 3},  // same order as 3: record order
                       {21, 2, "买入", "jlcrg?tc_sfuncno=1", 1, 0},
                       {99, 77, "孤儿", "x", 1, 0},   // parent missing
                       {12, 2, "重复", "dup", 1, 0},  // id repeated
                       {50, 51, "环A", "a", 1, 0},    // a loop that never reaches the root
                       {51, 50, "环B", "b", 1, 0},
                   });
        w.beginSet("sys.conf").addField("key", TCRSFieldType::VarText).addField("value", TCRSFieldType::VarText);
        w.addRecord({"maxmsg", "1^40"}).addRecord({"interval", "0930-1130,1300-1500"}).addRecord({"maxmsg", "1^50"});
        w.addRecord({"", "ignored"});
        return w.bytes();
    }
};

TEST_F(Menu, TreeFromRecordSetsInSiblingOrder) {
    ASSERT_TRUE(installMenuFromData(sampleBytes()));
    auto tree = VTATree::sharedTree();
    EXPECT_EQ(tree->size(), 8);  // orphan, duplicate and loop left out
    EXPECT_EQ(titles(tree->childrenOfNode(-1)), (std::vector<std::string>{"交易", "行情", "资讯", "基金"}));
    EXPECT_EQ(titles(tree->childrenOfNode(1)), (std::vector<std::string>{"自选股", "个股资料", "隐藏"}));
    EXPECT_EQ(titles(tree->childrenOfNode(2)), (std::vector<std::string>{"买入"}));
    EXPECT_FALSE(tree->nodeWithId(99));
    EXPECT_FALSE(tree->nodeWithId(50));
    EXPECT_EQ(tree->nodeWithId(12)->menu()->title(), "自选股");
    EXPECT_EQ(tree->nodeWithId(12)->parent()->nodeId(), 1);

    auto item = tree->nodeWithId(11)->menu();
    EXPECT_EQ(item->m_pid(), 1);
    EXPECT_EQ(item->link(), "f10?stkcode=600000&market=2");
    EXPECT_EQ(item->icon(), "个股资料.png");
    EXPECT_TRUE(item->showOrNot());
}

TEST_F(Menu, ConfigurationBecomesTheSessionDictionary) {
    ASSERT_TRUE(installMenuFromData(sampleBytes()));
    auto config = VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ");
    ASSERT_TRUE(config);
    EXPECT_EQ(config->at("maxmsg"), Value("1^50"));  // the later record wins
    EXPECT_EQ(config->at("interval"), Value("0930-1130,1300-1500"));
    EXPECT_EQ(config->count(""), 0u);
}

TEST_F(Menu, VisibleMenusKeepTreeOrder) {
    ASSERT_TRUE(installMenuFromData(sampleBytes()));
    EXPECT_EQ(titles(visibleMenusOfNode(-1)), (std::vector<std::string>{"交易", "行情", "基金"}));
    EXPECT_EQ(titles(visibleMenusOfNode(1)), (std::vector<std::string>{"自选股", "个股资料"}));
    EXPECT_TRUE(visibleMenusOfNode(21).empty());
    EXPECT_TRUE(visibleMenusOfNode(12345).empty());
}

TEST_F(Menu, MenusWithLinkComparesTheCommandWithoutItsQuery) {
    ASSERT_TRUE(installMenuFromData(sampleBytes()));
    auto root = menusWithLink("f10", -1);
    ASSERT_TRUE(root);
    EXPECT_EQ(titles(*root), (std::vector<std::string>{"资讯", "基金"}));  // hidden ones count too
    auto under = menusWithLink("f10", 1);
    ASSERT_TRUE(under);
    EXPECT_EQ(titles(*under), (std::vector<std::string>{"个股资料", "隐藏"}));
    EXPECT_EQ(titles(*menusWithLink("collist", -1)), (std::vector<std::string>{"交易", "行情"}));
    // Only direct children; nothing gives nullopt, not an empty list.
    EXPECT_FALSE(menusWithLink("jlcrg", -1));
    EXPECT_TRUE(menusWithLink("jlcrg", 2));
    EXPECT_FALSE(menusWithLink("f10?stkcode=600000&market=2", 1));
    EXPECT_FALSE(menusWithLink("zxhq", 404));
}

TEST_F(Menu, ParentZeroMeansTheRootAndMissingFieldsHaveDefaults) {
    TCRSWriter w;
    w.beginSet("sys.menu")
        .addField("id", TCRSFieldType::Integer)
        .addField("pid", TCRSFieldType::Integer)
        .addField("title", TCRSFieldType::VarText)
        .addField("link", TCRSFieldType::VarText);
    w.addRecord({Value(5), Value(0), "B", "b"}).addRecord({Value(3), Value(0), "A", "a"});
    w.addRecord({Value(7), Value(5), "C", "c"});
    ASSERT_TRUE(installMenuFromData(w.bytes()));
    EXPECT_EQ(titles(visibleMenusOfNode(-1)), (std::vector<std::string>{"B", "A"}));  // record order, all visible
    EXPECT_EQ(titles(visibleMenusOfNode(5)), (std::vector<std::string>{"C"}));
    EXPECT_EQ(VTATree::sharedTree()->nodeWithId(5)->menu()->icon(), "");
    // Without a "sys.conf" set the configuration is left as it was.
    EXPECT_FALSE(VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ"));
}

TEST_F(Menu, BadInputChangesNothing) {
    ASSERT_TRUE(installMenuFromData(sampleBytes()));
    auto before = VTATree::sharedTree();
    EXPECT_FALSE(installMenuFromData({}));
    EXPECT_FALSE(installMenuFromData({0x01, 0x02, 0x03}));
    TCRSWriter confOnly;
    confOnly.beginSet("sys.conf").addField("key", TCRSFieldType::VarText).addField("value", TCRSFieldType::VarText);
    EXPECT_FALSE(installMenuFromData(confOnly.bytes()));
    TCRSWriter error;
    error.errorSet(-1, "菜单不存在");
    EXPECT_FALSE(installMenuFromData(error.bytes()));
    EXPECT_EQ(VTATree::sharedTree(), before);
}

TEST_F(Menu, DepthIsBounded) {
    std::vector<Item> chain;
    for (int i = 1; i <= 200; ++i) chain.push_back({i, i - 1 == 0 ? -1 : i - 1, "m" + std::to_string(i), "l", 1, 0});
    TCRSWriter w;
    menuSet(w, chain);
    ASSERT_TRUE(installMenuFromData(w.bytes()));
    EXPECT_EQ(VTATree::sharedTree()->size(), kMaxMenuDepth);
    EXPECT_TRUE(VTATree::sharedTree()->nodeWithId(kMaxMenuDepth));
    EXPECT_FALSE(VTATree::sharedTree()->nodeWithId(kMaxMenuDepth + 1));
}

TEST(MenuTree, AddMenuRefusesDuplicatesAndUnknownParents) {
    VTATree tree;
    auto m = std::make_shared<VTAMenu>();
    m->setM_id(1);
    EXPECT_TRUE(tree.addMenu(m, -1));
    auto again = std::make_shared<VTAMenu>();
    again->setM_id(1);
    EXPECT_FALSE(tree.addMenu(again, -1));
    auto lost = std::make_shared<VTAMenu>();
    lost->setM_id(2);
    EXPECT_FALSE(tree.addMenu(lost, 42));
    auto rootId = std::make_shared<VTAMenu>();  // id -1 is the root's
    EXPECT_FALSE(tree.addMenu(rootId, -1));
    EXPECT_EQ(tree.size(), 1);
    EXPECT_EQ(tree.root()->childCount(), 1);
}

}  // namespace
