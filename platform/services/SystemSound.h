#pragma once
// System sounds and vibration. The desktop has neither a speaker we may use
// unasked nor a vibrator: each request is logged and counted, and a host may
// listen (to flash the window, say).
#include <cstdint>
#include <functional>
#include <vector>

using SystemSoundID = uint32_t;
inline constexpr SystemSoundID kSystemSoundID_Vibrate = 0x00000FFF;

void AudioServicesPlaySystemSound(SystemSoundID soundID);
// Plays the sound and vibrates where the device can (here: logged as the sound).
void AudioServicesPlayAlertSound(SystemSoundID soundID);

class SystemSoundLog {
public:
    struct Entry {
        SystemSoundID sound;
        double time;  // Clock seconds
    };
    static SystemSoundLog& shared();

    const std::vector<Entry>& entries() const { return entries_; }
    size_t vibrationCount() const;
    // Plays of a sound other than vibration (of one sound id, or of any).
    size_t soundCount() const;
    size_t soundCount(SystemSoundID id) const;
    void clear() { entries_.clear(); }
    // Heard on every request (the host's hook); null removes it.
    void setListener(std::function<void(SystemSoundID)> f) { listener_ = std::move(f); }

    void record(SystemSoundID id);

private:
    std::vector<Entry> entries_;
    std::function<void(SystemSoundID)> listener_;
};
