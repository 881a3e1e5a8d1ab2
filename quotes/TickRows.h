#pragma once
// The rows of the tick-by-tick deal lists, read from a 31000/9 reply: set 0
// the header (its "zrsp" colours the prices), set 1 one deal a record, read
// by position: 0 the direction (1 buy, another non-zero value sell, 0 none),
// 1 the time (HHMM as an integer), 2 the price, 3 the volume.
//
// Each row keeps its four texts with their colours and alignments, and the
// volume as a number: big deals are told by that number, never by its text
// ("1.25万" would read as 1).
//
// The big-deal threshold is the setting "StepForBS". When it is absent the
// list takes its own default and writes it into the setting, so that the
// settings screen ("大单标准") shows the threshold in use and the other list
// uses the same one.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/VTAFloat.h"
#include "platform/graphics/UIFont.h"

class UIColor;
class VTATCRS;

struct TickLabel {
    std::string text;
    std::shared_ptr<UIColor> textColor;
    UITextAlignment alignment = UITextAlignment::Left;
};

struct TickRow {
    std::array<TickLabel, 4> labels;  // time, price, volume, direction
    std::optional<VTAFloat> volume;   // no value when the server sent none

    // Above the threshold (equal is not a big deal).
    bool isBigDeal(int threshold) const;
};

// How the volume is written: the older list as the plain number, the newer
// one in the money form with its magnitude ("1.25万").
enum class TickVolumeText { Plain, Money };

struct TickReading {
    enum class Outcome {
        Rows,       // every deal read (possibly none)
        NoSets,     // the reply held no record set
        Unreadable  // no deals set, or a deal whose time has fewer than two digits
    };
    Outcome outcome = Outcome::Rows;
    std::vector<TickRow> rows;
};

// Reads the sets of a reply (an error set 0 is the caller's to show).
TickReading readTickReply(const std::vector<std::shared_ptr<VTATCRS>>& sets, TickVolumeText volumeText);

// "14:35" of 1435, "9:35" of 935; nullopt for fewer than two digits.
std::optional<std::string> tickTimeText(int64_t hhmm);

// The setting "StepForBS"; when it is absent, the list's own default, which
// the setting keeps from now on.
int tickBigDealThreshold(int fallback);
