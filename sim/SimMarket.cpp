#include "sim/SimMarket.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "sim/SimClock.h"

namespace {

constexpr int kAnchorDate = 20200102;

uint64_t mix(uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

std::vector<int> minutesOf(const std::vector<std::pair<int, int>>& windows) {
    std::vector<int> out;
    bool first = true;
    for (auto [from, to] : windows) {
        // The first window has a point at its opening minute; later ones start
        // one minute after their opening (the break's last price stands until then).
        for (int m = first ? from : from + 1; m <= to; ++m) out.push_back(m);
        first = false;
    }
    return out;
}

SimInstrument make(const char* code, const char* name, const char* py, int market, int classId, int decimals,
                   double price, int64_t volume) {
    SimInstrument i;
    i.code = code;
    i.name = name;
    i.pycode = py;
    i.market = market;
    i.classId = classId;
    i.decimals = decimals;
    i.basePrice = price;
    i.baseVolume = volume;
    return i;
}

// The instruments listed first, keyed by their places in the list.
constexpr size_t kFirstKeyedByPlace = 76;

// A key of the id's bytes (FNV-1a), far from the small keys of the places.
uint64_t walkKeyOf(const std::string& id) {
    uint64_t h = 14695981039346656037ULL;
    for (unsigned char ch : id) h = (h ^ ch) * 1099511628211ULL;
    return mix(h) | (uint64_t{1} << 63);
}

int64_t pow10(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

}  // namespace

SimMarket::SimMarket(uint64_t seed) : seed_(seed) {
    instruments_ = {
        // Shenzhen A shares
        make("000001", "平安银行", "PAYH", 1, 1, 2, 11.20, 80000000),
        make("000002", "万科Ａ", "WKA", 1, 1, 2, 9.85, 60000000),
        make("000063", "中兴通讯", "ZXTX", 1, 1, 2, 27.40, 40000000),
        make("000333", "美的集团", "MDJT", 1, 1, 2, 62.10, 20000000),
        make("000651", "格力电器", "GLDQ", 1, 1, 2, 38.50, 25000000),
        make("000858", "五粮液", "WLY", 1, 1, 2, 142.00, 9000000),
        make("002415", "海康威视", "HKWS", 1, 1, 2, 31.20, 30000000),
        make("300750", "宁德时代", "NDSD", 1, 1, 2, 185.60, 12000000),
        // Shanghai A shares
        make("600000", "浦发银行", "PFYH", 2, 1, 2, 7.45, 50000000),
        make("600028", "中国石化", "ZGSH", 2, 1, 2, 6.12, 90000000),
        make("600036", "招商银行", "ZSYH", 2, 1, 2, 33.80, 45000000),
        make("600519", "贵州茅台", "GZMT", 2, 1, 2, 1690.00, 2500000),
        make("600900", "长江电力", "CJDL", 2, 1, 2, 24.60, 30000000),
        make("601318", "中国平安", "ZGPA", 2, 1, 2, 45.30, 50000000),
        make("601398", "工商银行", "GSYH", 2, 1, 2, 5.20, 200000000),
        make("601857", "中国石油", "ZGSY", 2, 1, 2, 7.80, 100000000),
        // B shares (3 decimals)
        make("200012", "南玻Ｂ", "NBB", 1, 3, 2, 2.95, 3000000),
        make("200625", "长安Ｂ", "CAB", 1, 3, 2, 3.40, 5000000),
        make("900901", "云赛Ｂ股", "YSBG", 2, 3, 3, 0.335, 4000000),
        make("900905", "老凤祥Ｂ", "LFXB", 2, 3, 3, 3.120, 1500000),
        // Indices
        make("000001", "上证指数", "SZZS", 2, 2, 2, 3150.00, 300000000),
        make("000300", "沪深300", "HS300", 2, 2, 2, 3800.00, 150000000),
        make("399001", "深证成指", "SZCZ", 1, 2, 2, 10200.00, 400000000),
        make("399006", "创业板指", "CYBZ", 1, 2, 2, 2050.00, 120000000),
        // Hong Kong
        make("00700", "腾讯控股", "TXKG", 3, 6, 3, 368.200, 18000000),
        make("00005", "汇丰控股", "HFKG", 3, 6, 3, 62.350, 20000000),
        make("00941", "中国移动", "ZGYD", 3, 6, 3, 71.450, 15000000),
        make("09988", "阿里巴巴－ＳＷ", "ALBB", 3, 6, 3, 82.900, 30000000),
        make("HSI", "恒生指数", "HSZS", 3, 2, 2, 18500.00, 900000000),
        // Funds
        make("510050", "上证50ETF", "SZ50ETF", 2, 4, 3, 2.650, 300000000),
        make("510300", "沪深300ETF", "HS300ETF", 2, 4, 3, 3.900, 250000000),
        make("159915", "创业板ETF", "CYBETF", 1, 4, 3, 2.050, 200000000),
        make("184688", "基金开元", "JJKY", 1, 4, 3, 1.020, 5000000),
        // Bonds
        make("019547", "16国债19", "GZ1619", 2, 5, 3, 101.250, 200000),
        make("010107", "21国债⑺", "GZ7", 2, 5, 3, 100.780, 300000),
        make("112233", "12中行债", "ZXZ", 1, 5, 3, 99.600, 150000),
        // More Shenzhen A shares, for the rankings and the sectors
        make("000100", "TCL科技", "TCLKJ", 1, 1, 2, 4.30, 150000000),
        make("000166", "申万宏源", "SWHY", 1, 1, 2, 4.60, 70000000),
        make("000538", "云南白药", "YNBY", 1, 1, 2, 52.30, 6000000),
        make("000568", "泸州老窖", "LZLJ", 1, 1, 2, 180.00, 5000000),
        make("000625", "长安汽车", "CAQC", 1, 1, 2, 13.50, 50000000),
        make("000725", "京东方Ａ", "JDFA", 1, 1, 2, 4.10, 280000000),
        make("000768", "中航西飞", "ZHXF", 1, 1, 2, 24.50, 12000000),
        make("000776", "广发证券", "GFZQ", 1, 1, 2, 15.20, 35000000),
        make("000895", "双汇发展", "SHFZ", 1, 1, 2, 27.80, 10000000),
        make("001979", "招商蛇口", "ZSSK", 1, 1, 2, 10.90, 30000000),
        make("002142", "宁波银行", "NBYH", 1, 1, 2, 24.10, 25000000),
        make("002304", "洋河股份", "YHGF", 1, 1, 2, 105.00, 5000000),
        make("002352", "顺丰控股", "SFKG", 1, 1, 2, 38.60, 12000000),
        make("002475", "立讯精密", "LXJM", 1, 1, 2, 30.20, 35000000),
        make("002594", "比亚迪", "BYD", 1, 1, 2, 230.00, 8000000),
        make("002714", "牧原股份", "MYGF", 1, 1, 2, 42.10, 18000000),
        make("300015", "爱尔眼科", "AEYK", 1, 1, 2, 16.80, 40000000),
        make("300059", "东方财富", "DFCF", 1, 1, 2, 14.20, 120000000),
        make("300274", "阳光电源", "YGDY", 1, 1, 2, 88.50, 12000000),
        make("300760", "迈瑞医疗", "MRYL", 1, 1, 2, 290.00, 3000000),
        // More Shanghai A shares
        make("600011", "华能国际", "HNGJ", 2, 1, 2, 7.60, 40000000),
        make("600016", "民生银行", "MSYH", 2, 1, 2, 3.70, 120000000),
        make("600030", "中信证券", "ZXZQ", 2, 1, 2, 21.50, 90000000),
        make("600048", "保利发展", "BLFZ", 2, 1, 2, 10.20, 60000000),
        make("600050", "中国联通", "ZGLT", 2, 1, 2, 4.80, 200000000),
        make("600104", "上汽集团", "SQJT", 2, 1, 2, 14.60, 25000000),
        make("600276", "恒瑞医药", "HRYY", 2, 1, 2, 45.20, 30000000),
        make("600309", "万华化学", "WHHX", 2, 1, 2, 82.40, 10000000),
        make("600690", "海尔智家", "HEZJ", 2, 1, 2, 25.30, 30000000),
        make("600809", "山西汾酒", "SXFJ", 2, 1, 2, 220.00, 3000000),
        make("600887", "伊利股份", "YLGF", 2, 1, 2, 28.40, 40000000),
        make("601012", "隆基绿能", "LJLN", 2, 1, 2, 22.10, 70000000),
        make("601288", "农业银行", "NYYH", 2, 1, 2, 4.10, 250000000),
        make("601601", "中国太保", "ZGTB", 2, 1, 2, 27.60, 15000000),
        make("601628", "中国人寿", "ZGRS", 2, 1, 2, 30.10, 20000000),
        make("601688", "华泰证券", "HTZQ", 2, 1, 2, 14.80, 40000000),
        make("601899", "紫金矿业", "ZJKY", 2, 1, 2, 15.30, 150000000),
        make("601988", "中国银行", "ZGYH", 2, 1, 2, 4.25, 300000000),
        make("603288", "海天味业", "HTWY", 2, 1, 2, 41.20, 12000000),
        make("688981", "中芯国际", "ZXGJ", 2, 1, 2, 48.50, 30000000),
        // What the brokerage's exchange products are (SimBonds.cpp): customers
        // hold, buy and sell them as any other security; a bond near its 100 元
        // face value a 张.
        make("110001", "模拟转债", "MNZZ", 2, 5, 3, 104.600, 400000),
        make("128001", "深模转债", "SMZZ", 1, 5, 3, 103.200, 250000),
        make("510999", "模拟ETF", "MNETF", 2, 4, 3, 1.000, 60000000),
        // The shares of the new issues (SimNewIssues.h), near their issue
        // prices: what an allotment brings, sold as any other stock.
        make("002888", "华宇新材", "HYXC", 1, 1, 2, 18.50, 8000000),
        make("300888", "中科微电", "ZKWD", 1, 1, 2, 32.15, 6000000),
        make("002887", "东方锂业", "DFLY", 1, 1, 2, 9.88, 9000000),
        make("603888", "沪光智能", "HGZN", 2, 1, 2, 12.36, 10000000),
        // The warrants customers hold (SimWarrants.h), by their trading codes,
        // in 3 places: a call on 浦发银行 at 8.00 and a put on 万科Ａ at 12.00.
        make("580001", "浦发CWB1", "PFCWB1", 2, 7, 3, 0.520, 20000000),
        make("038001", "万科JTP1", "WKJTP1", 1, 7, 3, 2.180, 15000000),
    };
    // The first 76 were keyed by their places when the list began, and keep
    // those keys: their prices are the ones tests and the README quote. Every
    // later one is keyed by its id alone.
    for (size_t k = 0; k < instruments_.size(); ++k)
        instruments_[k].walkKey = k < kFirstKeyedByPlace ? k : walkKeyOf(instruments_[k].id());
    closes_.resize(instruments_.size());
    cnMinutes_ = minutesOf({{570, 690}, {780, 900}});
    hkMinutes_ = minutesOf({{570, 720}, {780, 960}});
}

const SimInstrument* SimMarket::find(const std::string& code, int market) const {
    for (const auto& i : instruments_)
        if (i.code == code && (market == 0 || i.market == market)) return &i;
    return nullptr;
}

const SimInstrument* SimMarket::findId(const std::string& id) const {
    auto dot = id.rfind('.');
    if (dot == std::string::npos) return find(id, 0);
    // The market as id() writes it: "600000.02" names nothing.
    const std::string market = id.substr(dot + 1);
    if (market.empty() || market.size() > 3 || market[0] == '0' ||
        market.find_first_not_of("0123456789") != std::string::npos)
        return nullptr;
    return find(id.substr(0, dot), std::stoi(market));
}

std::vector<const SimInstrument*> SimMarket::search(const std::string& key, size_t count, int market) const {
    std::vector<const SimInstrument*> out;
    if (key.empty()) return out;
    std::string upper = key;
    for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const auto& i : instruments_) {
        if (out.size() >= count) break;
        if (market != 0 && i.market != market) continue;
        if (i.code.rfind(upper, 0) == 0 || i.pycode.rfind(upper, 0) == 0) out.push_back(&i);
    }
    return out;
}

const std::vector<int>& SimMarket::sessionMinutes(int market) const { return market == 3 ? hkMinutes_ : cnMinutes_; }

bool SimMarket::isTradingDay(int yyyymmdd) {
    int w = SimClock::weekdayOfDay(SimClock::dayNumber(yyyymmdd));
    return w != 0 && w != 6;
}

int SimMarket::previousTradingDay(int yyyymmdd) const {
    long d = SimClock::dayNumber(yyyymmdd) - 1;
    while (!isTradingDay(SimClock::dateOfDay(d))) --d;
    return SimClock::dateOfDay(d);
}

double SimMarket::uniform(uint64_t a, uint64_t b, uint64_t c) const {
    uint64_t h = mix(seed_ ^ mix(a ^ mix(b ^ mix(c))));
    return (static_cast<double>(h >> 11) + 0.5) / 9007199254740992.0;
}

double SimMarket::normal(uint64_t a, uint64_t b, uint64_t c) const {
    double u1 = uniform(a, b, c * 2 + 1), u2 = uniform(a, b, c * 2 + 2);
    return std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

size_t SimMarket::indexOf(const SimInstrument& inst) const { return static_cast<size_t>(&inst - instruments_.data()); }

int64_t SimMarket::closeOfDay(size_t index, long day) const {
    const SimInstrument& inst = instruments_[index];
    const long anchor = SimClock::dayNumber(kAnchorDate);
    const int64_t unit = pow10(inst.decimals);
    const int64_t base = std::llround(inst.basePrice * static_cast<double>(unit));
    if (day < anchor) return base;
    size_t want = static_cast<size_t>(day - anchor);
    if (want > 20000) want = 20000;  // far future: the walk stops
    {
        std::shared_lock lock(closesMutex_);
        if (closes_[index].size() > want) return closes_[index][want];
    }
    std::unique_lock lock(closesMutex_);
    auto& closes = closes_[index];
    while (closes.size() <= want) {
        long d = anchor + static_cast<long>(closes.size());
        int64_t prev = closes.empty() ? base : closes.back();
        if (!isTradingDay(SimClock::dateOfDay(d)) && !closes.empty()) {
            closes.push_back(prev);
            continue;
        }
        double limit = inst.market == 3 ? 0.15 : (inst.classId == 5 ? 0.02 : 0.10);
        double vol = inst.classId == 5 ? 0.002 : (inst.classId == 2 ? 0.011 : 0.018);
        double r = vol * normal(inst.walkKey, static_cast<uint64_t>(d), 7) +
                   0.03 * std::log(static_cast<double>(base) / static_cast<double>(prev));
        r = std::clamp(r, -limit * 0.98, limit * 0.98);
        int64_t next = std::llround(static_cast<double>(prev) * (1 + r));
        closes.push_back(std::max<int64_t>(next, 1));
    }
    return closes[want];
}

int64_t SimMarket::close(const SimInstrument& inst, int yyyymmdd) const {
    return closeOfDay(indexOf(inst), SimClock::dayNumber(yyyymmdd));
}

int64_t SimMarket::prevClose(const SimInstrument& inst, int yyyymmdd) const {
    return close(inst, previousTradingDay(yyyymmdd));
}

SimMarket::DayPoints SimMarket::dayPoints(size_t index, int yyyymmdd) const {
    const std::pair<size_t, long> key{index, SimClock::dayNumber(yyyymmdd)};
    {
        std::lock_guard lock(mutex_);
        if (auto it = days_.find(key); it != days_.end()) return it->second;
    }
    auto day = std::make_shared<const std::vector<SimMinutePoint>>(wholeDay(index, yyyymmdd));
    std::lock_guard lock(mutex_);
    if (days_.size() > 20000) days_.clear();  // bounded memory
    return days_.try_emplace(key, std::move(day)).first->second;
}

size_t SimMarket::pointsUpTo(const std::vector<SimMinutePoint>& day, int minuteOfDay) {
    auto after = std::upper_bound(day.begin(), day.end(), minuteOfDay, [](int minute, const SimMinutePoint& p) {
        return minute < p.hhmm / 100 * 60 + p.hhmm % 100;
    });
    return static_cast<size_t>(after - day.begin());
}

std::vector<SimMinutePoint> SimMarket::minutePoints(const SimInstrument& inst, int yyyymmdd, int minuteOfDay) const {
    if (!isTradingDay(yyyymmdd)) return {};
    DayPoints day = dayPoints(indexOf(inst), yyyymmdd);
    return {day->begin(), day->begin() + static_cast<ptrdiff_t>(pointsUpTo(*day, minuteOfDay))};
}

std::vector<SimMinutePoint> SimMarket::wholeDay(size_t index, int yyyymmdd) const {
    std::vector<SimMinutePoint> out;
    const SimInstrument& inst = instruments_[index];
    const long day = SimClock::dayNumber(yyyymmdd);
    const auto& minutes = sessionMinutes(inst.market);
    const size_t n = minutes.size();
    const double prev = static_cast<double>(prevClose(inst, yyyymmdd));
    const double last = static_cast<double>(close(inst, yyyymmdd));
    const double open = prev * (1 + 0.004 * normal(inst.walkKey, static_cast<uint64_t>(day), 11));
    const double sigma = prev * (inst.classId == 5 ? 0.0002 : 0.0012);
    // Bonds: minutes without a deal at both ends of the day.
    size_t first = 0, final = n - 1;
    if (inst.classId == 5 && n > 60) {
        first = 5 + static_cast<size_t>(uniform(inst.walkKey, static_cast<uint64_t>(day), 21) * 25);
        final = n - 4 - static_cast<size_t>(uniform(inst.walkKey, static_cast<uint64_t>(day), 22) * 20);
    }
    // Bridge from the open (first deal) to the close (last deal).
    const size_t span = final - first;
    std::vector<double> walk(n, 0);
    for (size_t i = first + 1; i <= final; ++i)
        walk[i] = walk[i - 1] + normal(inst.walkKey, static_cast<uint64_t>(day), 1000 + i);
    double amount = 0;
    int64_t total = 0;
    const double perMinute = static_cast<double>(inst.baseVolume) / static_cast<double>(n);
    int64_t price = std::max<int64_t>(std::llround(open), 1);
    for (size_t i = 0; i < n; ++i) {
        SimMinutePoint pt;
        pt.hhmm = minutes[i] / 60 * 100 + minutes[i] % 60;
        if (i >= first && i <= final) {
            double f = span > 0 ? static_cast<double>(i - first) / static_cast<double>(span) : 1;
            double p = open + (last - open) * f + sigma * (walk[i] - f * walk[final]);
            price = i == final ? static_cast<int64_t>(last) : std::max<int64_t>(std::llround(p), 1);
            double factor = std::exp(0.6 * normal(inst.walkKey, static_cast<uint64_t>(day), 50000 + i));
            pt.volume = std::max<int64_t>(100, std::llround(perMinute * factor / 100) * 100);
        }
        pt.price = price;
        total += pt.volume;
        amount +=
            static_cast<double>(pt.price) * static_cast<double>(pt.volume) / static_cast<double>(pow10(inst.decimals));
        pt.totalVolume = total;
        pt.amount = amount;
        pt.average = total > 0
                         ? std::llround(amount / static_cast<double>(total) * static_cast<double>(pow10(inst.decimals)))
                         : price;
        out.push_back(pt);
    }
    return out;
}

bool SimMarket::barOf(const std::vector<SimMinutePoint>& points, size_t from, size_t to, SimBar& bar) {
    to = std::min(to, points.size());
    bool traded = false;
    for (size_t i = from; i < to; ++i) {
        const auto& p = points[i];
        if (p.volume <= 0) continue;
        if (!traded) bar.open = bar.high = bar.low = p.price;
        traded = true;
        bar.high = std::max(bar.high, p.price);
        bar.low = std::min(bar.low, p.price);
        bar.close = p.price;
    }
    if (!traded) return false;
    bar.volume = points[to - 1].totalVolume - (from > 0 ? points[from - 1].totalVolume : 0);
    bar.amount = points[to - 1].amount - (from > 0 ? points[from - 1].amount : 0);
    return true;
}

SimQuote SimMarket::quote(const SimInstrument& inst, double t) const {
    SimClock::Local l = SimClock::local(t);
    int date = l.yyyymmdd();
    int minute = l.minuteOfDay();
    if (!isTradingDay(date)) {
        date = previousTradingDay(date);
        minute = 1440;
    }
    SimQuote q;
    q.decimals = inst.decimals;
    q.date = date;
    q.prevClose = prevClose(inst, date);
    const size_t index = indexOf(inst);
    DayPoints whole = dayPoints(index, date);
    const std::vector<SimMinutePoint>& points = *whole;
    const size_t shown = pointsUpTo(points, minute);
    SimBar day;
    if (!barOf(points, 0, shown, day)) {
        q.last = q.prevClose;
        q.average = q.prevClose;
    } else {
        q.traded = true;
        q.open = day.open;
        q.high = day.high;
        q.low = day.low;
        q.last = day.close;
        q.average = points[shown - 1].average;
        q.volume = points[shown - 1].totalVolume;
        q.amount = points[shown - 1].amount;
        q.hhmm = points[shown - 1].hhmm;
    }
    for (int k = 0; k < 5; ++k) {
        q.ask[k] = q.last + (k + 1);
        q.bid[k] = std::max<int64_t>(q.last - k, 1);
        uint64_t salt = static_cast<uint64_t>(q.date) * 10000 + static_cast<uint64_t>(q.hhmm);
        q.askVolume[k] = 100 * (1 + static_cast<int64_t>(uniform(inst.walkKey, salt, 300 + k) * 500));
        q.bidVolume[k] = 100 * (1 + static_cast<int64_t>(uniform(inst.walkKey, salt, 400 + k) * 500));
    }
    return q;
}

std::optional<SimBar> SimMarket::wholeDayBar(const SimInstrument& inst, int yyyymmdd) const {
    const std::pair<size_t, long> key{indexOf(inst), SimClock::dayNumber(yyyymmdd)};
    {
        std::lock_guard lock(mutex_);
        if (auto it = dayBars_.find(key); it != dayBars_.end()) return it->second;
    }
    auto points = minutePoints(inst, yyyymmdd);
    std::optional<SimBar> bar;
    if (SimBar b; barOf(points, 0, points.size(), b)) bar = b;
    std::lock_guard lock(mutex_);
    if (dayBars_.size() > 200000) dayBars_.clear();  // bounded memory
    dayBars_[key] = bar;
    return bar;
}

std::vector<SimBar> SimMarket::dailyBars(const SimInstrument& inst, int yyyymmdd, int count, int lastMinute) const {
    std::vector<SimBar> bars;
    int day = isTradingDay(yyyymmdd) ? yyyymmdd : previousTradingDay(yyyymmdd);
    if (day != yyyymmdd) lastMinute = 1440;
    for (int k = 0; static_cast<int>(bars.size()) < count && k < count + 1; ++k) {
        std::optional<SimBar> b;
        if (k == 0 && lastMinute < 1440) {
            auto points = minutePoints(inst, day, lastMinute);
            if (SimBar part; barOf(points, 0, points.size(), part)) b = part;
        } else {
            b = wholeDayBar(inst, day);
        }
        // A day whose first deal is still to come has no bar yet.
        if (b) {
            b->date = day;
            b->prevClose = prevClose(inst, day);
            bars.push_back(*b);
        } else if (k > 0) {
            break;
        }
        if (day <= kAnchorDate) break;
        day = previousTradingDay(day);
    }
    std::reverse(bars.begin(), bars.end());
    return bars;
}

std::string SimMarket::priceText(int64_t value, int decimals) {
    // Digits written from the right into a buffer: a quote reply has a thousand prices.
    decimals = std::clamp(decimals, 0, 6);
    const bool negative = value < 0;
    uint64_t v = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char buf[32];
    char* p = buf + sizeof buf;
    for (int i = 0; i < decimals; ++i, v /= 10) *--p = char('0' + v % 10);
    if (decimals > 0) *--p = '.';
    do {
        *--p = char('0' + v % 10);
        v /= 10;
    } while (v > 0);
    if (negative) *--p = '-';
    return std::string(p, buf + sizeof buf);
}
