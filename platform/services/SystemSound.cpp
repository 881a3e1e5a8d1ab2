#include "platform/services/SystemSound.h"

#include "platform/foundation/Clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

SystemSoundLog& SystemSoundLog::shared() {
    static SystemSoundLog log;
    return log;
}

void SystemSoundLog::record(SystemSoundID id) {
    entries_.push_back({id, Clock::now()});
    if (std::getenv("RD_LOG_SOUNDS")) {
        if (id == kSystemSoundID_Vibrate)
            std::fprintf(stderr, "[sound] vibrate\n");
        else
            std::fprintf(stderr, "[sound] system sound %u\n", id);
    }
    if (listener_) listener_(id);
}

size_t SystemSoundLog::vibrationCount() const {
    return static_cast<size_t>(
        std::count_if(entries_.begin(), entries_.end(), [](auto& e) { return e.sound == kSystemSoundID_Vibrate; }));
}

size_t SystemSoundLog::soundCount() const { return entries_.size() - vibrationCount(); }

size_t SystemSoundLog::soundCount(SystemSoundID id) const {
    return static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(), [&](auto& e) { return e.sound == id; }));
}

void AudioServicesPlaySystemSound(SystemSoundID soundID) { SystemSoundLog::shared().record(soundID); }

void AudioServicesPlayAlertSound(SystemSoundID soundID) { SystemSoundLog::shared().record(soundID); }
