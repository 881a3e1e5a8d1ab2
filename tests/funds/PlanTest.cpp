// Fixed-investment plans (智能定投) driven by finger against the simulated
// brokerage: opening a plan with a monthly pay day, the risk re-ask resending
// the plan the customer confirmed, the dates, the opened plans' list leading
// to the modification (which keeps the plan's own pay day) and to the
// termination list, and the modification form's own plan list.
#include "FundMenuTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/PlanContract.h"
#include "funds/IFICloseViewController.h"
#include "funds/IFIModifyViewController.h"
#include "funds/IFIOpenViewController.h"
#include "funds/IFIOpenedQueryViewController.h"
#include "funds/VTAJJQueryViewController.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/uikit/UIDatePicker.h"
#include "platform/uikit/UITableViewCell.h"
#include "sim/SimPlans.h"
#include "trade/TradePickerStrip.h"
#include "ui/QZTabView.h"
#include "ui/VTATableView.h"

namespace {

namespace Fund = FundContract;
namespace Plan = PlanContract;

class PlanTest : public FundMenuTest {
protected:
    void typeCode(IFIOpenViewController* vc, const std::string& code) {
        const size_t before = sim->requestsOf(100, 24).size();
        retype(vc->fundSymbolTF(), code);
        ASSERT_TRUE(waitFor([&] { return sim->requestsOf(100, 24).size() > before; }));
        ASSERT_TRUE(waitFor([&] { return !vc->isRequestInFlight(IFIOpenViewController::kLookupTag); }));
        settle(0.5);
    }
    // The pay day picked on the strip as a finger does: the row, the wheel, "完成".
    void pickPayDay(IFIForm* vc, int row, int payDayRow) {
        tapFormRow(vc, payDayRow);
        ASSERT_TRUE(vc->payDatePicker()->isOpen());
        pickRow(vc->payDatePicker()->picker(), row);
        ASSERT_TRUE(host.tapText("完成"));
        settle(1);
    }
    // The customer's day `days` from today, as the forms write it.
    static std::string day(int days) {
        return NSDateFormatter("yyyyMMdd").stringFromDate(NSDate::date().dateByAddingTimeInterval(days * 86400.0));
    }
    std::vector<SimPlan> plans() {
        return sim->withRoom<SimPlansRoom>([](SimPlansRoom& r) { return r.plans["110001234"]; });
    }
    std::vector<SimRecord> requests(FunctionId f) { return sim->requestsOf(f.main, f.sub); }
};

TEST_F(PlanTest, APlanOpensWithAMonthlyPayDayThroughTheSheet) {
    auto* vc = openItem<IFIOpenViewController>("zndt_kt");
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "开通智能定投");
    EXPECT_EQ(toolbarTitles(vc), (std::vector<std::string>{"首页", "确定"}));
    const std::string today = day(0), weekOn = day(7);
    EXPECT_EQ(vc->startDate(), today);
    EXPECT_EQ(vc->endDate(), weekOn) << "a week on";
    EXPECT_EQ(vc->payDate(), "星期一");
    saveScreenshot("plan-open-empty");

    typeCode(vc, "270001");
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    EXPECT_EQ(vc->netValue()->text(), "1.2345");
    EXPECT_EQ(vc->availableAmount()->text(), "1000000.00");
    EXPECT_EQ(vc->tacode(), "01");
    retype(vc->investAmountTF(), "300");
    tapFormRow(vc, 8);
    tapSegment(vc->payPeriodSeg(), 1);
    settle(0.5);
    EXPECT_EQ(vc->payDate(), "1号");
    pickPayDay(vc, 27, 9);
    EXPECT_EQ(vc->payDate(), "28号");
    saveScreenshot("plan-open-filled");

    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "交易确认\n操作类型:开通智能定投\n基金名称:稳健成长基金\n基金代码:270001\n定投金额:300\n"
              "开始日期:" +
                  today + "\n结束日期:" + weekOn + "\n扣款周期:按月\n扣款日:28\n");
    saveScreenshot("plan-open-confirm");
    EXPECT_TRUE(requests(Plan::kOpen).empty());
    ASSERT_TRUE(confirm());
    EXPECT_EQ(vc->investAmountTF()->text(), "");
    ASSERT_TRUE(alertShown("智能定投开通成功"));
    const SimRecord open = requests(Plan::kOpen).back();
    EXPECT_EQ(fieldOf(open, "tacode"), "01");
    EXPECT_EQ(fieldOf(open, "orderamt"), "300");
    EXPECT_EQ(fieldOf(open, "actionmode"), "2");
    EXPECT_EQ(fieldOf(open, "sendday"), "28");
    EXPECT_EQ(fieldOf(open, "chkriskflag"), "1");
    const auto all = plans();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].code, "270001");
    EXPECT_EQ(all[1].amount, 30000);
    EXPECT_FALSE(all[1].weekly);
    EXPECT_EQ(all[1].payDay, 28);
    EXPECT_EQ(std::to_string(all[1].beginDate), today);
    EXPECT_EQ(std::to_string(all[1].endDate), weekOn);
    ASSERT_TRUE(dismissAlert("智能定投开通成功"));
    EXPECT_NE(top(), vc);
}

TEST_F(PlanTest, TheFundListOfTheFirstRowHandsItsPickBackForTheLookup) {
    auto* vc = openItem<IFIOpenViewController>("zndt_kt");
    ASSERT_TRUE(vc);
    tapFormRow(vc, 0);
    settle();
    auto* hub = dynamic_cast<VTAJJQueryViewController*>(top());
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->title(), "可定投基金列表");
    EXPECT_EQ(hub->pageType(), IFIOpenViewController::kFundListPage);
    ASSERT_TRUE(waitFor([&] { return hub->myTableView() && hub->myTableView()->rowCount() > 1; }));
    tapGridRow(*hub->myTableView(), 1);
    hub->tableData()->moveToIndex(1);
    const std::string picked = hub->tableData()->toStringWithFieldName("ofcode").value_or("");
    ASSERT_FALSE(picked.empty());
    ASSERT_TRUE(tapToolbar(hub, "确定"));
    settle();
    ASSERT_EQ(top(), vc);
    ASSERT_TRUE(waitFor([&] { return !vc->fundName()->text().empty(); }));
    EXPECT_EQ(vc->fundSymbolTF()->text(), picked);
    EXPECT_EQ(fieldOf(requests({100, 24}).back(), "ofcode"), picked);
}

TEST_F(PlanTest, TheRiskReaskResendsThePlanTheCustomerConfirmed) {
    auto* vc = openItem<IFIOpenViewController>("zndt_kt");
    ASSERT_TRUE(vc);
    typeCode(vc, "270005");
    retype(vc->investAmountTF(), "200");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(waitFor([&] { return topAlertTitle().find("88001") != std::string::npos; }));
    saveScreenshot("plan-open-risk");
    EXPECT_TRUE(plans().size() == 1u);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(alertShown("智能定投开通成功"));
    const auto opens = requests(Plan::kOpen);
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(fieldOf(opens[1], "orderamt"), "200") << "though the field was emptied";
    EXPECT_EQ(fieldOf(opens[1], "ofcode"), "270005");
    EXPECT_EQ(fieldOf(opens[1], "chkriskflag"), "0");
    EXPECT_EQ(plans().back().amount, 20000);
}

TEST_F(PlanTest, TheOpeningNeedsACodeAnAmountAndTheFundLookedUp) {
    auto* vc = openItem<IFIOpenViewController>("zndt_kt");
    ASSERT_TRUE(vc);
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("请输入基金代码"));
    vc->fundSymbolTF()->setText("2700");  // not looked up
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("请输入金额"));
    vc->investAmountTF()->setText("1.2.3");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("请输入正确的金额"));
    vc->investAmountTF()->setText("12.");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("查无此基金信息！")) << "no plan goes without its fund's company";
    EXPECT_FALSE(sheet());
    EXPECT_TRUE(requests(Plan::kOpen).empty());
}

// The plan goes for the code the customer looked up, from what the lookup
// gives (its name, net value and company; no code of its own). "完成" on a
// shorter code looks that code up.
TEST_F(PlanTest, ThePlanGoesForTheCodeLookedUp) {
    auto* vc = openItem<IFIOpenViewController>("zndt_kt");
    ASSERT_TRUE(vc);
    retype(vc->fundSymbolTF(), "2700");
    ASSERT_TRUE(dismissAlert("查无此基金信息！"));
    ASSERT_EQ(requests(Fund::kFundLookup).size(), 1u);
    EXPECT_EQ(fieldOf(requests(Fund::kFundLookup).back(), "ofcode"), "2700");

    auto text = [](TCRSWriter& w, const char* name) { w.addField(name, TCRSFieldType::VarText); };
    TCRSWriter lookup;
    lookup.beginSet();
    text(lookup, "ofname");
    text(lookup, "nav");
    text(lookup, "tacode");
    lookup.addRecord({"稳健成长基金", "1.2345", "01"}).beginSet();
    text(lookup, "fundavl");
    lookup.addRecord({"1000000.00"});
    sim->answerNext(Fund::kFundLookup, lookup.bytes());
    typeCode(vc, "270001");
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    EXPECT_EQ(vc->availableAmount()->text(), "1000000.00");
    retype(vc->investAmountTF(), "300");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet()) << topAlertTitle();
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("智能定投开通成功"));
    const SimRecord open = requests(Plan::kOpen).back();
    EXPECT_EQ(fieldOf(open, "ofcode"), "270001");
    EXPECT_EQ(fieldOf(open, "tacode"), "01");
    EXPECT_EQ(plans().back().code, "270001");
}

TEST_F(PlanTest, MovingTheStartPastTheEndTakesTheEndAlong) {
    auto* vc = openItem<IFIOpenViewController>("zndt_kt");
    ASSERT_TRUE(vc);
    tapFormRow(vc, 6);
    ASSERT_TRUE(vc->datePickerTab() && vc->datePickerTab()->open());
    saveScreenshot("plan-open-date");
    UIPickerView* wheels = vc->datePicker()->pickerView();
    const int days = wheels->numberOfComponents() - 1;
    CGRect wheel = wheels->convertRectToView(wheels->rectForComponent(days), nullptr);
    const double rowHeight = wheels->rowSizeForComponent(days).height;
    for (int i = 0; i < 10; ++i) {
        host.tap(CGRectGetMidX(wheel), CGRectGetMidY(wheel) + rowHeight);
        settle(1);
    }
    EXPECT_EQ(vc->startDate(), day(10));
    EXPECT_EQ(vc->endDate(), day(10));
    ASSERT_TRUE(host.tapText("完成"));
    settle(1);
    EXPECT_FALSE(vc->datePickerTab()->open());
}

TEST_F(PlanTest, TheOpenedPlansLeadToAChangeThatKeepsThePayDay) {
    auto* list = openItem<IFIOpenedQueryViewController>("zndt_cx");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "已开通的智能定投");
    ASSERT_TRUE(gridShows(*list, 1));
    EXPECT_EQ(toolbarTitles(list), (std::vector<std::string>{"首页", "修改", "终止", "刷新"}));
    EXPECT_EQ(fieldOf(requests(Plan::kList).back(), "qryflag"), "1");
    saveScreenshot("plan-opened");

    ASSERT_TRUE(tapToolbar(list, "修改"));
    settle();
    auto* vc = dynamic_cast<IFIModifyViewController*>(top());
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "修改智能定投");
    EXPECT_EQ(vc->fundSymbol()->text(), "270003");
    EXPECT_EQ(vc->fundName()->text(), "恒岳增利债券");
    EXPECT_EQ(vc->investAmountTF()->text(), "500.00");
    EXPECT_EQ(vc->payDate(), "15号");
    EXPECT_EQ(vc->startDate(), "20240204");
    const size_t lists = requests(Plan::kList).size();
    saveScreenshot("plan-modify");

    retype(vc->investAmountTF(), "800");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_NE(sheet()->title().find("扣款周期:按月\n扣款日:15\n"), std::string::npos) << sheet()->title();
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("智能定投修改成功"));
    EXPECT_EQ(requests(Plan::kList).size(), lists) << "a handed plan needs no list";
    const SimRecord modify = requests(Plan::kModify).back();
    EXPECT_EQ(fieldOf(modify, "sendday"), "15");
    EXPECT_EQ(fieldOf(modify, "actionmode"), "2");
    EXPECT_EQ(fieldOf(modify, "orderamt"), "800");
    EXPECT_EQ(fieldOf(modify, "chkriskflag"), "");
    EXPECT_EQ(plans()[0].amount, 80000);
    EXPECT_EQ(plans()[0].payDay, 15);
    ASSERT_TRUE(dismissAlert("智能定投修改成功"));
    ASSERT_EQ(top(), list);
    ASSERT_TRUE(waitFor([&] { return requests(Plan::kList).size() > lists; })) << "the list asks again";
    ASSERT_TRUE(gridShows(*list, 1));
    EXPECT_EQ(list->tableData()->toStringWithFieldName("orderamt").value_or(""), "800.00");
}

// The opened plans are the plan list's first hundred (count 100, an empty
// cursor), each one the brokerage lists shown whatever its schedule says.
TEST_F(PlanTest, TheOpenedPlansShowEveryPlanOfTheFirstHundred) {
    auto column = [](TCRSWriter& w, const char* name, const char* title) {
        w.addField(name, TCRSFieldType::VarText, 0, title);
    };
    TCRSWriter w;
    w.beginSet();
    column(w, "ofcode", "基金代码");
    column(w, "ofname", "基金名称");
    column(w, "schedueleflag", "状态");
    column(w, "poststr", "定位串");
    w.addRecord({"270003", "恒岳增利债券", "1", "1"}).addRecord({"270004", "恒岳成长股票", "0", "2"});
    sim->answerNext(Plan::kList, w.bytes());
    auto* list = openItem<IFIOpenedQueryViewController>("zndt_cx");
    ASSERT_TRUE(list);
    ASSERT_TRUE(gridShows(*list, 2));
    EXPECT_EQ(list->myTableView()->rowItems(1).at(1), "恒岳成长股票");
    const SimRecord asked = requests(Plan::kList).back();
    EXPECT_EQ(fieldOf(asked, "count"), "100");
    EXPECT_TRUE(hasField(asked, "poststr"));
    EXPECT_EQ(fieldOf(asked, "poststr"), "");
    EXPECT_EQ(fieldOf(asked, "qryflag"), "1");
}

TEST_F(PlanTest, TheModificationFormFromTheMenuPicksAmongThePlans) {
    auto* open = openItem<IFIOpenViewController>("zndt_kt");
    ASSERT_TRUE(open);
    typeCode(open, "270001");
    retype(open->investAmountTF(), "100");
    ASSERT_TRUE(tapToolbar(open, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert("智能定投开通成功"));

    auto* vc = openItem<IFIModifyViewController>("zndt_xg");
    ASSERT_TRUE(vc);
    ASSERT_TRUE(waitFor([&] { return vc->openedFundsArray().size() == 2; }));
    EXPECT_EQ(vc->fundSymbol()->text(), "270003") << "the first plan is loaded";
    tapFormRow(vc, 0);
    ASSERT_TRUE(vc->fundSymbolPicker()->isOpen());
    EXPECT_EQ(vc->fundSymbolPicker()->picker()->numberOfRowsInComponent(0), 2);
    saveScreenshot("plan-modify-picker");
    pickRow(vc->fundSymbolPicker()->picker(), 1);
    ASSERT_TRUE(host.tapText("完成"));
    settle(1);
    EXPECT_EQ(vc->fundSymbol()->text(), "270001");
    EXPECT_EQ(vc->payDate(), "星期一");
    // Switching the period starts the pay day over.
    tapFormRow(vc, 6);
    tapSegment(vc->payPeriodSeg(), 1);
    settle(0.5);
    EXPECT_EQ(vc->payDate(), "1号");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("智能定投修改成功"));
    EXPECT_EQ(fieldOf(requests(Plan::kModify).back(), "ofcode"), "270001");
    EXPECT_FALSE(plans()[1].weekly);
    EXPECT_EQ(plans()[1].payDay, 1);
}

TEST_F(PlanTest, APlanIsTerminatedFromTheTerminationList) {
    auto* query = openItem<IFIOpenedQueryViewController>("zndt_cx");
    ASSERT_TRUE(query);
    ASSERT_TRUE(gridShows(*query, 1));
    ASSERT_TRUE(tapToolbar(query, "终止"));
    settle();
    auto* vc = dynamic_cast<IFICloseViewController*>(top());
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "终止智能定投");
    ASSERT_TRUE(waitFor([&] { return vc->tableData().size() == 1; }));
    EXPECT_TRUE(vc->tableView()->isEditing());
    vc->tableView()->window()->layoutIfNeeded();
    auto cell = vc->tableView()->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->textLabel()->text(), "恒岳增利债券 净值:1.0872");
    EXPECT_EQ(cell->detailTextLabel()->text(), "270003");
    saveScreenshot("plan-close");

    // Cancelling the sheet sends nothing.
    tapView(cell->editingControl());
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    tapView(cell->deleteConfirmationButton());
    settle(0.5);
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "交易确认\n操作类型:终止智能定投\n基金名称:恒岳增利债券\n基金代码:270003\n定投金额:500.00\n");
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle(0.5);
    EXPECT_TRUE(requests(Plan::kClose).empty());

    cell = vc->tableView()->cellForRowAtIndexPath({0, 0});
    tapView(cell->editingControl());
    tapView(cell->deleteConfirmationButton());
    settle(0.5);
    saveScreenshot("plan-close-confirm");
    ASSERT_TRUE(host.pressAlertButton("终止"));
    ASSERT_TRUE(alertShown("智能定投已终止"));
    EXPECT_TRUE(vc->tableData().empty());
    EXPECT_FALSE(plans()[0].running);
    const SimRecord close = requests(Plan::kClose).back();
    EXPECT_EQ(fieldOf(close, "ofcode"), "270003");
    EXPECT_EQ(fieldOf(close, "tacode"), "01");
    ASSERT_TRUE(dismissAlert("智能定投已终止"));
    popViewControllers(1);
    settle();
    ASSERT_TRUE(gridShows(*query, 0)) << "the query asks again when the customer comes back";
}

TEST_F(PlanTest, ARefusedTerminationKeepsTheRow) {
    auto* vc = openItem<IFICloseViewController>("zndt_zz");
    ASSERT_TRUE(vc);
    ASSERT_TRUE(waitFor([&] { return vc->tableData().size() == 1; }));
    sim->answerNext(Plan::kClose, TCRSWriter()
                                      .beginSet()
                                      .addField("msgcode", TCRSFieldType::VarText)
                                      .addField("msg", TCRSFieldType::VarText)
                                      .addRecord({"1", "未找到该定投计划"})
                                      .bytes());
    vc->tableView()->window()->layoutIfNeeded();
    auto cell = vc->tableView()->cellForRowAtIndexPath({0, 0});
    tapView(cell->editingControl());
    tapView(cell->deleteConfirmationButton());
    settle(0.5);
    ASSERT_TRUE(host.pressAlertButton("终止"));
    ASSERT_TRUE(alertShown("未找到该定投计划"));
    EXPECT_EQ(vc->tableData().size(), 1u);
    EXPECT_TRUE(plans()[0].running);
}

}  // namespace
