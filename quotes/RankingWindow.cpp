#include "quotes/RankingWindow.h"

#include <algorithm>

namespace {
int lastWindow(int total) { return std::max(total - RankingWindow::kLength, 0); }
}  // namespace

RankingWindow RankingWindow::pulledDown(int total) const {
    RankingWindow w;
    w.location = location == 0 ? lastWindow(total) : std::max(location - kLength, 0);
    return w;
}

RankingWindow RankingWindow::pulledUp(int total) const {
    RankingWindow w;
    if (location + length == total)
        w.location = 0;
    else if (location + 2 * kLength > total)
        w.location = lastWindow(total);
    else
        w.location = location + kLength;
    return w;
}
