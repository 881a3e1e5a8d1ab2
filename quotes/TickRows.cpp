#include "quotes/TickRows.h"

#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/QuoteContract.h"
#include "platform/graphics/UIColor.h"
#include "ui/Palette.h"

namespace {
using namespace QuoteContract::Tick;
constexpr int kPaletteRise = 15, kPaletteFall = 16, kPaletteFlat = 17, kPaletteVolume = 28;
}  // namespace

bool TickRow::isBigDeal(int threshold) const { return volume && volume->realValue() > threshold; }

std::optional<std::string> tickTimeText(int64_t hhmm) {
    std::string digits = std::to_string(hhmm);
    if (hhmm < 0 || digits.size() < 2) return std::nullopt;
    return digits.substr(0, digits.size() - 2) + ":" + digits.substr(digits.size() - 2);
}

int tickBigDealThreshold(int fallback) {
    VTAUserDefoult& settings = VTAUserDefoult::standerDefoult();
    int stored = settings.getIntForKey("StepForBS");
    if (stored >= 0) return stored;
    settings.setInt(fallback, "StepForBS");
    return fallback;
}

TickReading readTickReply(const std::vector<std::shared_ptr<VTATCRS>>& sets, TickVolumeText volumeText) {
    TickReading reading;
    if (sets.empty() || !sets[0]) {
        reading.outcome = TickReading::Outcome::NoSets;
        return reading;
    }
    if (sets.size() < 2 || !sets[1]) {
        reading.outcome = TickReading::Outcome::Unreadable;
        return reading;
    }
    VTATCRS& header = *sets[0];
    header.fetchFirst();
    std::optional<VTAFloat> prevClose = header.toVTAFloatWithFieldName(QuoteContract::Col::kPrevClose);
    VTATCRS& deals = *sets[1];
    for (deals.fetchFirst(); !deals.isEOF(); deals.fetchNext()) {
        auto time = tickTimeText(deals.toIntAtIndex(kTimeColumn));
        if (!time) {
            reading.outcome = TickReading::Outcome::Unreadable;
            reading.rows.clear();
            return reading;
        }
        TickRow row;
        std::optional<VTAFloat> price = deals.toVTAFloatAtIndex(kPriceColumn);
        row.volume = deals.toVTAFloatAtIndex(kVolumeColumn);
        row.labels[0] = {*time, UIColor::whiteColor(), UITextAlignment::Left};
        row.labels[1] = {price ? price->toString() : std::string(), colorWithCompare(price, prevClose),
                         UITextAlignment::Right};
        std::string volume;
        if (row.volume) volume = volumeText == TickVolumeText::Money ? row.volume->toMoney() : row.volume->toString();
        row.labels[2] = {volume, colorWithIndex(kPaletteVolume), UITextAlignment::Right};
        int64_t direction = deals.toIntAtIndex(kDirectionColumn);
        if (direction == kBuy)
            row.labels[3] = {"B", colorWithIndex(kPaletteRise), UITextAlignment::Right};
        else if (direction != kNeither)
            row.labels[3] = {"S", colorWithIndex(kPaletteFall), UITextAlignment::Right};
        else
            row.labels[3] = {"-", colorWithIndex(kPaletteFlat), UITextAlignment::Right};
        reading.rows.push_back(std::move(row));
    }
    return reading;
}
