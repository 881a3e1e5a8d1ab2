// The fund catalogue and the customers' fund side the simulated brokerage
// opens with, whatever the seed (the project's seed list; the README's
// simulator section lists it):
//   companies  01 恒岳基金, 02 华信基金, 03 长江基金
//   types      1 股票型, 2 混合型, 3 债券型, 4 货币型, 5 指数型
//   funds      sixteen, among them 270001 稳健成长基金 (恒岳, 混合型, open for
//              purchase and fixed investment, 中风险: within A's tolerance),
//              270002 恒岳先锋股票 (高风险: above it), 270006 恒岳新兴产业混合
//              in its offering period, 270007 with purchases suspended and
//              420002 with redemptions suspended
//   A          accounts with 恒岳 and 华信 (none with 长江); 10,000.00 份 of
//              270001, 20,000.00 份 of 270004, 5,000.00 份 of 310003; four
//              fund orders of the weeks before (three confirmed, one cancelled)
//   B          an account with 恒岳, nothing held
#include <string>

#include "sim/SimClock.h"
#include "sim/SimFunds.h"
#include "sim/SimServer.h"

namespace {

using S = SimFundStatus;

SimFund fund(const char* code, const char* name, const char* tacode, const char* style, S status, int64_t nav, int risk,
             std::array<int, 5> returns, int rating, bool fixedInvestment = false) {
    SimFund f;
    f.code = code;
    f.name = name;
    f.tacode = tacode;
    f.style = style;
    f.status = status;
    f.nav = nav;
    f.risk = risk;
    f.returns = returns;
    f.rating = rating;
    f.fixedInvestment = fixedInvestment;
    return f;
}

std::vector<SimFund> catalogue() {
    return {
        fund("270001", "稳健成长基金", "01", "2", S::Open, 12345, 3, {12, 85, 210, 640, 1180}, 4, true),
        fund("270002", "恒岳先锋股票", "01", "1", S::Open, 21876, 5, {-45, 160, 420, 1150, 2230}, 3),
        fund("270003", "恒岳增利债券", "01", "3", S::Open, 10872, 2, {2, 9, 35, 180, 410}, 4, true),
        fund("270004", "恒岳货币A", "01", "4", S::Open, 10000, 1, {1, 4, 18, 110, 225}, 5),
        fund("270005", "恒岳沪深300指数", "01", "5", S::Open, 9632, 4, {-31, -75, 140, 520, 890}, 3, true),
        fund("270006", "恒岳新兴产业混合", "01", "2", S::Offering, 10000, 3, {0, 0, 0, 0, 0}, 0),
        fund("270007", "恒岳稳利债券", "01", "3", S::PurchaseSuspended, 10415, 2, {1, 6, 28, 150, 330}, 3),
        fund("310001", "华信价值精选混合", "02", "2", S::Open, 15230, 3, {25, 110, 260, 710, 1320}, 5, true),
        fund("310002", "华信成长动力股票", "02", "1", S::Open, 18750, 4, {-12, 130, 380, 960, 1840}, 4),
        fund("310003", "华信纯债债券", "02", "3", S::Open, 11024, 2, {3, 11, 40, 195, 420}, 4),
        fund("310004", "华信中证500指数", "02", "5", S::Open, 8915, 4, {-52, -110, 90, 430, 760}, 2),
        fund("310005", "华信现金宝货币", "02", "4", S::Open, 10000, 1, {1, 5, 19, 115, 232}, 4),
        fund("310006", "华信科技创新混合", "02", "2", S::Offering, 10000, 4, {0, 0, 0, 0, 0}, 0),
        fund("420001", "长江红利股票", "03", "1", S::Open, 16420, 4, {18, 95, 230, 680, 1510}, 3),
        fund("420002", "长江安心债券", "03", "3", S::RedemptionSuspended, 10630, 2, {2, 8, 31, 170, 380}, 3),
        fund("420003", "长江蓝筹混合", "03", "2", S::Open, 13380, 3, {9, 70, 190, 590, 1090}, 4),
    };
}

constexpr int64_t kUnit = 100;  // one 份 in the room's units

// A fund order of `daysBefore` days before `today` at 10:15.
SimFundOrder pastOrder(SimFundsRoom& room, int today, int daysBefore, int business, const std::string& code,
                       SimMoney amount, int64_t units, SimFundOrderStatus status) {
    SimFundOrder o;
    o.sno = room.nextOrderNumber();
    o.date = SimClock::dateOfDay(SimClock::dayNumber(today) - daysBefore);
    o.time = 101500;
    o.business = business;
    o.code = code;
    o.name = room.fund(code) ? room.fund(code)->name : "";
    o.amount = amount;
    o.units = units;
    o.status = status;
    return o;
}

}  // namespace

SimFundsRoom::SimFundsRoom(SimServer& server) {
    companies = {{"01", "恒岳基金"}, {"02", "华信基金"}, {"03", "长江基金"}};
    types = {{"1", "股票型"}, {"2", "混合型"}, {"3", "债券型"}, {"4", "货币型"}, {"5", "指数型"}};
    funds = catalogue();

    SimFundCustomer& a = customers["110001234"];
    a.companyAccounts = {{"01", "0110001234"}, {"02", "0210001234"}};
    a.holdings = {{"270001", 10000 * kUnit, 10000 * kUnit, 0},
                  {"270004", 20000 * kUnit, 20000 * kUnit, 1},
                  {"310003", 5000 * kUnit, 5000 * kUnit, 0}};
    const int today = SimClock::local(server.clock().now()).yyyymmdd();
    a.orders = {
        pastOrder(*this, today, 40, 35, "270001", 1234500, 0, SimFundOrderStatus::Confirmed),
        pastOrder(*this, today, 30, 35, "310003", 551200, 0, SimFundOrderStatus::Confirmed),
        pastOrder(*this, today, 12, 36, "270004", 0, 1000 * kUnit, SimFundOrderStatus::Confirmed),
        pastOrder(*this, today, 5, 35, "310001", 300000, 0, SimFundOrderStatus::Cancelled),
    };
    a.settledDay = today;

    customers["110005678"].companyAccounts = {{"01", "0110005678"}};
}
