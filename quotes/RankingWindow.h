#pragma once
// The window of a ranking the list shows: its first row (an offset into the
// ranking) and its row count, always 20. Pulling moves it by a window and
// wraps at both ends:
// - down: from the first window to the last one (total - 20), otherwise 20
//   rows back, not before 0;
// - up: from the window that ends at the total back to 0; otherwise 20 rows
//   on, or the last full window (total - 20) when fewer than 20 rows follow.
// For a total of 45 the windows run 0, 20, 25, 0 upwards and 0, 25, 5, 0
// downwards. A ranking shorter than a window always shows the window at 0:
// the first row is never negative.
struct RankingWindow {
    static constexpr int kLength = 20;

    int location = 0;
    int length = kLength;

    RankingWindow pulledDown(int total) const;
    RankingWindow pulledUp(int total) const;

    friend bool operator==(const RankingWindow& a, const RankingWindow& b) {
        return a.location == b.location && a.length == b.length;
    }
};
