#include <gtest/gtest.h>

#include "core/VTAChoice.h"
#include "core/VTAMessage.h"

namespace {

TEST(Choice, SelectionStartsAtTheFirstItem) {
    VTAChoice c;
    EXPECT_EQ(c.selectedIndex(), -1);
    EXPECT_FALSE(c.selectedTitle());
    EXPECT_FALSE(c.currentTitle());
    c.setItemWithTitle("深A", "0");
    EXPECT_EQ(c.selectedIndex(), 0);
    EXPECT_EQ(c.selectedTitle(), "深A");
    c.setItemWithTitle("沪A", "1", std::string("A123"));
    c.selectIndex(1);
    EXPECT_EQ(c.selectedValue(), "1");
    EXPECT_EQ(std::any_cast<std::string>(c.selectedUserinfo()), "A123");
    EXPECT_EQ(c.indexOfValue("1"), 1);
    EXPECT_EQ(c.indexOfValue("9"), -1);
}

TEST(Choice, SelectIndexIgnoresPositionsOutsideTheList) {
    VTAChoice c;
    c.setItemWithTitle("a", "1");
    c.setItemWithTitle("b", "2");
    c.selectIndex(1);
    c.selectIndex(2);
    c.selectIndex(-1);
    EXPECT_EQ(c.selectedIndex(), 1);
}

TEST(Choice, CursorReadsRowTitles) {
    VTAChoice c;
    c.setItemWithTitle("限价", "0");
    c.setItemWithTitle("市价", "1");
    c.moveToIndex(1);
    EXPECT_EQ(c.currentTitle(), "市价");
    EXPECT_EQ(c.currentValue(), "1");
    c.moveToIndex(5);
    EXPECT_FALSE(c.currentTitle());
    c.moveToIndex(-3);
    EXPECT_FALSE(c.currentValue());
}

TEST(Choice, RefilledShorterListNeverReadsPastItsEnd) {
    VTAChoice c;
    for (const char* t : {"a", "b", "c", "d"}) c.setItemWithTitle(t, t);
    c.selectIndex(3);
    c.moveToIndex(3);
    c.clear();
    EXPECT_EQ(c.count(), 0);
    EXPECT_EQ(c.selectedIndex(), 3);  // positions stay
    EXPECT_FALSE(c.selectedTitle());
    c.setItemWithTitle("x", "1");
    c.setItemWithTitle("y", "2");
    EXPECT_FALSE(c.selectedTitle());
    EXPECT_FALSE(c.selectedValue());
    EXPECT_FALSE(c.selectedUserinfo().has_value());
    EXPECT_EQ(c.selectedItem(), nullptr);
    EXPECT_FALSE(c.currentTitle());
    // Refilled long enough again: the selection by position comes back.
    c.setItemWithTitle("z", "3");
    c.setItemWithTitle("w", "4");
    EXPECT_EQ(c.selectedTitle(), "w");
}

TEST(Message, CarriesTextOrStock) {
    int sender = 0;
    auto text = VTAMessage::messageWithSender(&sender, "stkcode=600000&market=2", 0);
    EXPECT_EQ(text->type(), 0);
    EXPECT_EQ(text->dataText(), "stkcode=600000&market=2");
    EXPECT_FALSE(text->dataStock());
    EXPECT_EQ(std::any_cast<int*>(text->sender()), &sender);

    auto stock = std::make_shared<VTAStock>("600000", "浦发银行", 2);
    auto trade = VTAMessage::messageWithSender({}, stock, 1);
    EXPECT_EQ(trade->dataStock(), stock);
    EXPECT_FALSE(trade->dataText());
    EXPECT_EQ(trade->dataStock()->stockId(), "600000.2");
}

}  // namespace
