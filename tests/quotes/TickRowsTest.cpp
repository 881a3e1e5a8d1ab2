// The rows of the tick-by-tick deal lists as they are read from a reply, the
// big-deal threshold, and the cell that shows a row.
#include <gtest/gtest.h>

#include "QuotesTestSupport.h"
#include "core/VTAUserDefoult.h"
#include "platform/graphics/UIColor.h"
#include "quotes/TickRows.h"
#include "quotes/TransDetailCell.h"
#include "tests/support/TestSupport.h"
#include "ui/Palette.h"

namespace {

bool sameColour(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
    return a && b && a->red() == b->red() && a->green() == b->green() && a->blue() == b->blue();
}

}  // namespace

class TickRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        docs = std::make_unique<ScopedDocuments>();
        VTAUserDefoult::standerDefoult().reload();
        VTAUserDefoult::standerDefoult().removeValueForKey("StepForBS");
    }
    void TearDown() override {
        docs.reset();
        VTAUserDefoult::standerDefoult().reload();
    }
    std::unique_ptr<ScopedDocuments> docs;
};

TEST_F(TickRowsTest, EachDealBecomesTimePriceVolumeAndDirectionInTheirColours) {
    auto sets = parseSets(
        tickReplyBytes("10.00", {{1, 1435, "10.05", "120"}, {2, 935, "9.95", "3.5"}, {0, 1000, "10.00", "12345"}}));
    TickReading r = readTickReply(sets, TickVolumeText::Money);
    ASSERT_EQ(r.outcome, TickReading::Outcome::Rows);
    ASSERT_EQ(r.rows.size(), 3u);

    EXPECT_EQ(r.rows[0].labels[0].text, "14:35");
    EXPECT_EQ(r.rows[0].labels[0].alignment, UITextAlignment::Left);
    EXPECT_EQ(r.rows[0].labels[1].text, "10.05");
    EXPECT_TRUE(sameColour(r.rows[0].labels[1].textColor, colorWithIndex(15)));  // above the close: red
    EXPECT_EQ(r.rows[0].labels[1].alignment, UITextAlignment::Right);
    EXPECT_TRUE(sameColour(r.rows[0].labels[2].textColor, colorWithIndex(28)));
    EXPECT_EQ(r.rows[0].labels[3].text, "B");
    EXPECT_TRUE(sameColour(r.rows[0].labels[3].textColor, colorWithIndex(15)));

    EXPECT_EQ(r.rows[1].labels[0].text, "9:35");
    EXPECT_TRUE(sameColour(r.rows[1].labels[1].textColor, colorWithIndex(16)));  // below: green
    EXPECT_EQ(r.rows[1].labels[3].text, "S");  // any direction other than 1 and 0 is a sell
    EXPECT_TRUE(sameColour(r.rows[1].labels[3].textColor, colorWithIndex(16)));

    EXPECT_TRUE(sameColour(r.rows[2].labels[1].textColor, colorWithIndex(17)));  // at the close
    EXPECT_EQ(r.rows[2].labels[3].text, "-");
    EXPECT_TRUE(sameColour(r.rows[2].labels[3].textColor, colorWithIndex(17)));
}

TEST_F(TickRowsTest, TheNewerListWritesVolumesWithTheirMagnitudeTheOlderOneAsNumbers) {
    TCRSWriter w;
    w.beginSet().addField("zrsp", TCRSFieldType::Packed).addRecord({"10.00"});
    w.beginSet()
        .addField("bs", TCRSFieldType::Integer, 4)
        .addField("tm", TCRSFieldType::Integer, 4)
        .addField("zjcj", TCRSFieldType::Packed)
        .addField("cjsl", TCRSFieldType::Packed)
        .addRecord({1, 1030, "10.00", "12.5"});  // one decimal: 万, 12.5万 lots
    auto sets = parseSets(w.bytes());
    EXPECT_EQ(readTickReply(sets, TickVolumeText::Money).rows.at(0).labels[2].text, "12.5万");
    EXPECT_EQ(readTickReply(sets, TickVolumeText::Plain).rows.at(0).labels[2].text, "12.5");
}

TEST_F(TickRowsTest, AReplyThatCannotBeReadGivesNoRows) {
    EXPECT_EQ(readTickReply({}, TickVolumeText::Money).outcome, TickReading::Outcome::NoSets);
    // No deals set at all.
    EXPECT_EQ(readTickReply(parseSets(tickReplyBytes("10.00", {}, false)), TickVolumeText::Money).outcome,
              TickReading::Outcome::Unreadable);
    // A time of one digit stops the reading: the rows read before it are dropped too.
    TickReading r = readTickReply(parseSets(tickReplyBytes("10.00", {{1, 1030, "10.01", "5"}, {1, 9, "10.01", "5"}})),
                                  TickVolumeText::Money);
    EXPECT_EQ(r.outcome, TickReading::Outcome::Unreadable);
    EXPECT_TRUE(r.rows.empty());
    // An empty deals set is a page without deals.
    r = readTickReply(parseSets(tickReplyBytes("10.00", {})), TickVolumeText::Money);
    EXPECT_EQ(r.outcome, TickReading::Outcome::Rows);
    EXPECT_TRUE(r.rows.empty());
}

TEST_F(TickRowsTest, BigDealsAreToldByTheNumberNotByItsText) {
    auto rowOf = [](std::optional<VTAFloat> volume) {
        TickRow row;
        row.volume = volume;
        return row;
    };
    EXPECT_FALSE(rowOf(VTAFloat(500, 0)).isBigDeal(500));  // equal: not a big deal
    EXPECT_TRUE(rowOf(VTAFloat(501, 0)).isBigDeal(500));
    // "1.3万" reads as 1 as text, yet is 13,000.
    EXPECT_EQ(VTAFloat(13, 1).toMoney(), "1.3万");
    EXPECT_TRUE(rowOf(VTAFloat(13, 1)).isBigDeal(500));
    EXPECT_FALSE(rowOf(std::nullopt).isBigDeal(0));
}

TEST_F(TickRowsTest, TheThresholdIsTheSettingOrTheFirstListsDefaultWhichTheSettingKeeps) {
    auto& settings = VTAUserDefoult::standerDefoult();
    EXPECT_EQ(tickBigDealThreshold(500), 500);
    EXPECT_EQ(settings.getIntForKey("StepForBS"), 500);
    EXPECT_EQ(tickBigDealThreshold(1000), 500) << "whichever list opened first decides for both";
    settings.setInt(800, "StepForBS");
    EXPECT_EQ(tickBigDealThreshold(500), 800);
    EXPECT_EQ(tickBigDealThreshold(1000), 800);
}

TEST_F(TickRowsTest, TheCellLaysOutFourColumnsAndSetsOffBigDeals) {
    auto cell = std::make_shared<TransDetailCell>();
    cell->setFrame(CGRectMake(0, 0, 320, 20));
    cell->layoutIfNeeded();
    // c = round((320 - 16 - 6) / 4) = 75 (content as wide as the cell)
    double c = std::round((cell->contentView()->bounds().size.width - 22) / 4);
    EXPECT_DOUBLE_EQ(cell->timeLabel()->frame().origin.x, 8);
    EXPECT_DOUBLE_EQ(cell->jgLabel()->frame().origin.x, c + 10);
    EXPECT_DOUBLE_EQ(cell->cjLabel()->frame().origin.x, 2 * c + 12);
    EXPECT_DOUBLE_EQ(cell->lbLabel()->frame().origin.x, 3 * c + 14);
    EXPECT_DOUBLE_EQ(cell->lbLabel()->frame().size.width, c);

    auto rows =
        readTickReply(parseSets(tickReplyBytes("10.00", {{1, 1030, "10.01", "600"}, {2, 1031, "10.00", "500"}})),
                      TickVolumeText::Money)
            .rows;
    cell->setRow(rows[0], 500);
    EXPECT_NEAR(cell->contentView()->backgroundColor()->red(), TransDetailCell::kBigDealWhite, 1e-6);
    EXPECT_EQ(cell->cjLabel()->text(), "600");
    EXPECT_EQ(cell->lbLabel()->textAlignment(), UITextAlignment::Right);
    cell->setRow(rows[1], 500);
    EXPECT_DOUBLE_EQ(cell->contentView()->backgroundColor()->red(), 0);
    EXPECT_EQ(cell->lbLabel()->text(), "S");
}
