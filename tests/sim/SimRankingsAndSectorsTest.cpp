// The rankings and sectors of the simulated server: totals that add up, windows
// in order of every sort and over every class, the sector book and its
// members, and the error sets of requests it cannot answer.
#include "SimTestSupport.h"

#include <cmath>
#include <set>

#include "core/contracts/RankingContract.h"

namespace {

std::vector<std::shared_ptr<VTATCRS>> setsOf(const SimServer::Reply& r) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    return sets ? *sets : std::vector<std::shared_ptr<VTATCRS>>{};
}

std::vector<std::string> texts(VTATCRS& set, const char* name) {
    std::vector<std::string> out;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) out.push_back(set.toStringWithFieldName(name).value_or(""));
    set.fetchFirst();
    return out;
}

class SimRankingsAndSectorsTest : public SimTest {
protected:
    void SetUp() override { session = login(); }
    std::shared_ptr<VTATCRS> ask(const std::string& fields) {
        auto sets = setsOf(call(session, fields));
        return sets.empty() ? nullptr : sets[0];
    }
    int total(const std::string& market, const std::string& cls) {
        auto set = ask("tc_mfuncno=191&tc_sfuncno=7&market=" + market + "&class=" + cls + "&field=0|1|2");
        if (!set || set->isError() || set->rowsAffected() != 1) return -1;
        int sum = 0;
        for (int i = 0; i < set->fieldCount(); ++i) sum += static_cast<int>(set->toIntAtIndex(i));
        return sum;
    }
    std::shared_ptr<VTATCRS> window(const std::string& market, const std::string& cls, const std::string& sort,
                                    int direct, int offset, int count = 20) {
        return ask("tc_mfuncno=31000&tc_sfuncno=3&field=1|3|4|6|11|16|20|21|&market=" + market + "&class=" + cls +
                   "&type=" + sort + "&direct=" + std::to_string(direct) + "&offset=" + std::to_string(offset) +
                   "&count=" + std::to_string(count));
    }
    std::string session;
};

}  // namespace

TEST_F(SimRankingsAndSectorsTest, TotalsCountTheClassesOfEachMarket) {
    EXPECT_EQ(total("1", "101"), 31) << "the new issues' shares among them";
    EXPECT_EQ(total("2", "101"), 29);
    EXPECT_EQ(total("1|2", "101"), 60);
    EXPECT_EQ(total("1", "100"), 16) << "Shenzhen main board: 000 and 001";
    EXPECT_EQ(total("1|2", "102"), 4);
    EXPECT_EQ(total("3", "3"), 4) << "Hong Kong shares";
    EXPECT_EQ(total("3", "2"), 1);
    EXPECT_EQ(total("1|2", "5"), 2) << "the warrants customers hold";
    EXPECT_EQ(total("1|2", "103"), 4) << "the ETFs, not the closed fund";
    EXPECT_EQ(total("1|2", "4"), 5);
    EXPECT_EQ(total("1|2", "6"), 5) << "the convertible bonds among them";
    // A count for each of rising, falling and unchanged.
    auto set = ask("tc_mfuncno=191&tc_sfuncno=7&market=1&class=101&field=0|1|2");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->fieldCount(), 3);
}

TEST_F(SimRankingsAndSectorsTest, WindowsFollowTheSortInBothDirectionsAndEndWithTheRanking) {
    struct Sort {
        const char* code;
        const char* column;
    };
    for (Sort sort : {Sort{"21", "zdf"}, Sort{"22", "zhd"}, Sort{"23", "zjcj"}, Sort{"24", "cjsl"}, Sort{"25", "cjje"},
                      Sort{"26", "hsl"}}) {
        for (int direct : {1, 0}) {
            SCOPED_TRACE(std::string(sort.code) + " direct " + std::to_string(direct));
            std::vector<double> values;
            std::set<std::string> ids;
            for (int offset : {0, 20, 40}) {
                auto w = window("1|2", "101", sort.code, direct, offset);
                ASSERT_TRUE(w && !w->isError());
                EXPECT_EQ(w->rowsAffected(), 20);
                for (w->fetchFirst(); !w->isEOF(); w->fetchNext()) {
                    values.push_back(w->toVTAFloatWithFieldName(sort.column).value_or(VTAFloat()).realValue());
                    ids.insert(w->toStringWithFieldName("code").value_or("") + "." +
                               std::to_string(w->toIntWithFieldName("exchid")));
                }
            }
            EXPECT_EQ(ids.size(), 60u);
            // The shown figures are rounded: allow what rounding can swap.
            for (size_t i = 1; i < values.size(); ++i) {
                double step = direct ? values[i] - values[i - 1] : values[i - 1] - values[i];
                EXPECT_LE(step, 0.011 + 0.01 * std::max(std::fabs(values[i]), std::fabs(values[i - 1]))) << i;
            }
        }
    }
    EXPECT_EQ(window("1", "101", "24", 1, 31)->rowsAffected(), 0) << "past the end: no rows";
    // The columns asked for come first.
    auto w = window("1", "101", "21", 1, 0, 1);
    EXPECT_EQ(w->getFieldNameAtIndex(0), "exchid");
    EXPECT_EQ(w->getFieldNameAtIndex(1), "code");
    EXPECT_EQ(w->getFieldNameAtIndex(2), "name");
}

TEST_F(SimRankingsAndSectorsTest, TheShenzhenRankingByVolumeShowsPinganBankFirstWhateverTheSeed) {
    for (uint64_t seed : {1, 7, 42, 2024})
        for (double minutes : {1.0, 60.0, 270.0}) {  // 9:31, 10:30, 15:00
            SimOptions o = tuesdayOptions();
            o.seed = seed;
            o.clock = kTuesdayMorning - 3600 + minutes * 60;
            sim = std::make_unique<SimServer>(o);
            session = login();
            auto w = window("1", "101", "24", 1, 0);
            ASSERT_TRUE(w && !w->isError());
            auto codes = texts(*w, "code");
            auto at = std::find(codes.begin(), codes.end(), "000001") - codes.begin();
            EXPECT_LT(at, 10) << seed << " " << minutes;
        }
}

TEST_F(SimRankingsAndSectorsTest, RequestsItCannotAnswerGetErrorSets) {
    auto error = [&](const std::string& fields) {
        auto set = ask(fields);
        return set && set->isError() ? set->getError() : std::string("no error");
    };
    EXPECT_EQ(error("tc_mfuncno=191&tc_sfuncno=7&market=9&class=101"), "市场代码不正确");
    EXPECT_EQ(error("tc_mfuncno=191&tc_sfuncno=7&class=101"), "市场代码不正确");
    EXPECT_EQ(error("tc_mfuncno=191&tc_sfuncno=7&market=1&class=77"), "排行类别不存在");
    EXPECT_EQ(error("tc_mfuncno=31000&tc_sfuncno=3&market=1&class=101&type=zdf"), "排序字段不存在");
    EXPECT_EQ(error("tc_mfuncno=31000&tc_sfuncno=3&market=1&class=101&type=21&offset=-20"), "起始位置不正确");
    EXPECT_EQ(error("tc_mfuncno=100&tc_sfuncno=31&bkcode=BK9999"), "板块不存在");
    EXPECT_EQ(error("tc_mfuncno=100&tc_sfuncno=31"), "请指定板块");
}

TEST_F(SimRankingsAndSectorsTest, TheSectorBookAndItsMembers) {
    auto list = ask("tc_mfuncno=100&tc_sfuncno=32");
    ASSERT_TRUE(list && !list->isError());
    EXPECT_GT(list->rowsAffected(), 30) << "more than one page of 30";
    EXPECT_EQ(list->getFieldNameAtIndex(0), "bktype");
    EXPECT_EQ(list->getFieldNameAtIndex(1), "bkcode");
    EXPECT_EQ(list->getFieldNameAtIndex(2), "bkname");
    auto names = texts(*list, "bkname");
    std::set<std::string> codes;
    for (const auto& c : texts(*list, "bkcode")) codes.insert(c);
    EXPECT_EQ(codes.size(), names.size()) << "one code per sector";
    int banks = 0;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].find("银行板块") != std::string::npos) {
            ++banks;
            EXPECT_LT(i, 30u) << "on the first page";
        }
    EXPECT_EQ(banks, 1);
    EXPECT_EQ(ask("tc_mfuncno=100&tc_sfuncno=32&bktype=3")->rowsAffected(), 7);

    // The members as the list's keys name them, the leading stock first.
    auto members = ask("tc_mfuncno=100&tc_sfuncno=31&bktype=1&bkcode=BK0001&field=1|2|3|4|6|11|13|14|15|16|20|21");
    ASSERT_TRUE(members && !members->isError());
    auto memberCodes = texts(*members, "code");
    ASSERT_FALSE(memberCodes.empty());
    EXPECT_EQ(memberCodes[0], "600000");
    EXPECT_EQ(texts(*members, "name")[0], "浦发银行");
    EXPECT_GE(members->fieldsIndexWithName("zdf"), 0);
    // A kind without a sector: every member of its sectors once, the largest rise first.
    auto kind = ask("tc_mfuncno=100&tc_sfuncno=31&bktype=3");
    ASSERT_TRUE(kind && !kind->isError());
    std::set<std::string> ids;
    double previous = 1e9;
    for (kind->fetchFirst(); !kind->isEOF(); kind->fetchNext()) {
        ids.insert(kind->toStringWithFieldName("code").value_or("") + "." +
                   std::to_string(kind->toIntWithFieldName("exchid")));
        double rise = kind->toVTAFloatWithFieldName("zdf")->toFloat();
        EXPECT_LE(rise, previous + 1e-6);
        previous = rise;
    }
    EXPECT_EQ(ids.size(), size_t(kind->rowsAffected()));
}
