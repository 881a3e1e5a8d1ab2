#include "platform/foundation/Clock.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace {

std::mutex gMutex;
bool gFrozen = false;
double gFrozenAt = 0;

}  // namespace

double Clock::systemNow() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

double Clock::now() {
    {
        std::lock_guard<std::mutex> lock(gMutex);
        if (gFrozen) return gFrozenAt;
    }
    return systemNow();
}

void Clock::freezeAt(double t) {
    std::lock_guard<std::mutex> lock(gMutex);
    gFrozen = true;
    gFrozenAt = t;
}

void Clock::advance(double seconds) {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gFrozen && seconds > 0) gFrozenAt += seconds;
}

void Clock::useSystemTime() {
    std::lock_guard<std::mutex> lock(gMutex);
    gFrozen = false;
}

bool Clock::isFrozen() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gFrozen;
}
