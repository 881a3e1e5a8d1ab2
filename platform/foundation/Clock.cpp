#include "platform/foundation/Clock.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace {

std::mutex gMutex;
bool gFrozen = false;
double gFrozenAt = 0;
double gOffset = 0;  // what runFrom adds to real time

}  // namespace

double Clock::systemNow() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

double Clock::now() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gFrozen ? gFrozenAt : systemNow() + gOffset;
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
    gOffset = 0;
}

void Clock::runFrom(double t) {
    const double real = systemNow();
    std::lock_guard<std::mutex> lock(gMutex);
    gFrozen = false;
    gOffset = t - real;
}

bool Clock::isFrozen() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gFrozen;
}
