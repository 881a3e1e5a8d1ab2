#pragma once
// The simulated market: a fixed list of instruments (Shenzhen and Shanghai A
// and B shares, indices, Hong Kong shares, funds, bonds) and a deterministic,
// seeded price walk. Every price of one instrument has the instrument's
// number of decimals; prices are integers in that unit (1234 with 2 decimals
// is 12.34).
//
// The walk: one daily step per weekday from 2020-01-02 on (weekends keep the
// last close), pulled back toward the instrument's base price and limited to
// the daily price limit; within a trading day the minute prices run as a
// bridge from the opening price to the day's close, one point per minute of
// the trading sessions ("interval" for Shenzhen and Shanghai, "HKtime" for
// Hong Kong); minute volumes are seeded too. The same seed and time always
// give the same prices, and an instrument's prices are drawn by a key of its
// own (SimInstrument::walkKey), never by its place in the list. Thread-safe.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

struct SimInstrument {
    std::string code;
    std::string name;
    std::string pycode;  // pinyin initials, upper case
    int market = 1;      // 1 Shenzhen, 2 Shanghai, 3 Hong Kong
    int classId = 1;     // 1 A share, 2 index, 3 B share, 4 fund, 5 bond, 6 Hong Kong share, 7 warrant
    int decimals = 2;
    double basePrice = 10;
    int64_t baseVolume = 1000000;  // shares (or index units) a day
    // What the seeded walk of its prices is drawn with: its own, so that
    // neither the list's order nor an instrument added to it moves another's
    // prices (SimMarket's constructor gives it).
    uint64_t walkKey = 0;
    std::string id() const { return code + "." + std::to_string(market); }
    // A lot (手): what orders are placed in and what the replies count volumes
    // in; a bond's is 10 张, every other's 100 shares.
    int lot() const { return classId == 5 ? 10 : 100; }
};

struct SimMinutePoint {
    int hhmm = 0;             // the minute as HHMM
    int64_t price = 0;        // last price of the minute
    int64_t average = 0;      // average deal price so far
    int64_t volume = 0;       // volume of the minute
    int64_t totalVolume = 0;  // volume so far
    double amount = 0;        // amount so far (in currency units)
};

struct SimQuote {
    int decimals = 2;
    int64_t prevClose = 0, open = 0, high = 0, low = 0, last = 0, average = 0;
    bool traded = false;  // false before the first minute of the day (open/high/low have no value)
    int64_t volume = 0;
    double amount = 0;
    int64_t bid[5] = {}, ask[5] = {};
    int64_t bidVolume[5] = {}, askVolume[5] = {};
    int date = 0;  // yyyymmdd of the trading day shown
    int hhmm = 0;  // minute of the last point (0 before the open)
};

struct SimBar {
    int date = 0;
    int64_t open = 0, high = 0, low = 0, close = 0, prevClose = 0;
    int64_t volume = 0;
    double amount = 0;
};

class SimMarket {
public:
    explicit SimMarket(uint64_t seed = 1);

    uint64_t seed() const { return seed_; }
    const std::vector<SimInstrument>& instruments() const { return instruments_; }
    // market 0: the first instrument with the code in any market.
    const SimInstrument* find(const std::string& code, int market = 0) const;
    // "code.market" as id() writes it (no other text of the market: "600000.02"
    // names nothing), or a bare code (the first of the code in any market).
    const SimInstrument* findId(const std::string& id) const;
    // Instruments whose code or pinyin starts with the key (case-insensitive), list order.
    std::vector<const SimInstrument*> search(const std::string& key, size_t count, int market = 0) const;

    static constexpr const char* kInterval = "0930-1130,1300-1500";
    // Hong Kong: 9:30-12:00 and 13:00-16:00, 330 minutes.
    static constexpr const char* kHKTime = "570,720,780,960";
    // Minutes of the day that have a point, in order.
    const std::vector<int>& sessionMinutes(int market) const;
    static bool isTradingDay(int yyyymmdd);
    int previousTradingDay(int yyyymmdd) const;
    // The trading day a quote at local date `yyyymmdd` and minute shows.
    int64_t prevClose(const SimInstrument& inst, int yyyymmdd) const;
    int64_t close(const SimInstrument& inst, int yyyymmdd) const;
    // The day's minute points up to and including `minuteOfDay` (all: 1440).
    // Bonds trade thinly: their first minutes and their last ones pass
    // without a deal (volume 0, the price standing).
    std::vector<SimMinutePoint> minutePoints(const SimInstrument& inst, int yyyymmdd, int minuteOfDay = 1440) const;
    SimQuote quote(const SimInstrument& inst, double t) const;
    // Daily bars of trading days up to `yyyymmdd`, oldest first; the bar of
    // `yyyymmdd` itself holds the minutes up to `lastMinute` only (none
    // before its first deal).
    std::vector<SimBar> dailyBars(const SimInstrument& inst, int yyyymmdd, int count, int lastMinute = 1440) const;
    // The bar of the minute points from .. to - 1: open, high, low and close
    // of the deals, the volume and amount of those minutes. False without a
    // deal among them.
    static bool barOf(const std::vector<SimMinutePoint>& points, size_t from, size_t to, SimBar& bar);

    static std::string priceText(int64_t value, int decimals);  // "12.34"

private:
    double uniform(uint64_t a, uint64_t b, uint64_t c) const;
    double normal(uint64_t a, uint64_t b, uint64_t c) const;
    int64_t closeOfDay(size_t index, long day) const;
    size_t indexOf(const SimInstrument& inst) const;
    // A whole trading day's points, worked out once and shared: readers on
    // many connection threads look at it without holding the lock.
    using DayPoints = std::shared_ptr<const std::vector<SimMinutePoint>>;
    DayPoints dayPoints(size_t index, int yyyymmdd) const;
    // How many of a day's points lie at or before the minute of the day.
    static size_t pointsUpTo(const std::vector<SimMinutePoint>& day, int minuteOfDay);

    uint64_t seed_;
    std::vector<SimInstrument> instruments_;
    std::vector<int> cnMinutes_, hkMinutes_;
    // Every quote reads the closes; they grow only when a later day is first
    // asked for, so readers share the lock.
    mutable std::shared_mutex closesMutex_;
    mutable std::vector<std::vector<int64_t>> closes_;           // per instrument, by day since the anchor
    mutable std::mutex mutex_;                                   // the day caches below
    mutable std::map<std::pair<size_t, long>, DayPoints> days_;  // whole days, computed once
    // The bars of whole days (none: a day without a deal): a monthly chart
    // asks for years of days, and each is worked out from its minutes once.
    mutable std::map<std::pair<size_t, long>, std::optional<SimBar>> dayBars_;
    std::vector<SimMinutePoint> wholeDay(size_t index, int yyyymmdd) const;
    std::optional<SimBar> wholeDayBar(const SimInstrument& inst, int yyyymmdd) const;
};
