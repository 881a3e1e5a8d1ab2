#include "ui/Palette.h"

#include "platform/graphics/UIColor.h"

#include <array>

namespace {
struct RGB {
    double r, g, b;
};

constexpr std::array<RGB, kPaletteSize> kPalette = {{
    {0.000, 0.000, 0.000}, {1.000, 1.000, 1.000}, {0.000, 0.000, 0.000}, {0.478, 0.000, 0.000}, {0.667, 0.000, 0.000},
    {1.000, 1.000, 0.000}, {0.000, 1.000, 1.000}, {1.000, 1.000, 1.000}, {0.600, 0.600, 0.600}, {0.333, 0.333, 0.333},
    {0.200, 0.200, 0.400}, {0.780, 0.860, 1.000}, {0.137, 0.176, 0.255}, {0.937, 0.937, 0.937}, {0.000, 0.200, 0.600},
    {1.000, 0.235, 0.235}, {0.000, 0.800, 0.000}, {0.900, 0.900, 0.900}, {0.600, 0.000, 0.000}, {0.000, 0.400, 0.000},
    {1.000, 0.235, 0.235}, {0.000, 0.800, 0.000}, {1.000, 1.000, 1.000}, {0.000, 0.000, 0.400}, {1.000, 1.000, 0.000},
    {0.800, 0.800, 0.800}, {0.800, 0.800, 0.800}, {0.400, 0.000, 0.000}, {1.000, 0.800, 0.000}, {1.000, 0.800, 0.000},
    {1.000, 1.000, 1.000}, {1.000, 0.235, 0.235}, {0.000, 0.800, 0.800}, {1.000, 1.000, 1.000}, {1.000, 1.000, 0.000},
    {1.000, 0.000, 1.000}, {0.000, 1.000, 0.000}, {0.000, 1.000, 1.000}, {1.000, 0.500, 0.000}, {0.250, 0.500, 1.000},
    {1.000, 0.600, 0.000}, {1.000, 0.149, 0.149}, {0.071, 1.000, 0.000}, {1.000, 1.000, 1.000}, {0.000, 0.000, 0.000},
    {0.000, 0.478, 1.000}, {1.000, 0.843, 0.000}, {0.250, 0.250, 0.250}, {0.800, 0.800, 0.800}, {0.100, 0.100, 0.100},
    {0.965, 0.965, 0.965},
}};
}  // namespace

std::shared_ptr<UIColor> colorWithIndex(int index) {
    // Colours are immutable values: hand out one shared object per index.
    static const std::array<std::shared_ptr<UIColor>, kPaletteSize> colors = [] {
        std::array<std::shared_ptr<UIColor>, kPaletteSize> out;
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = UIColor::colorWithRed(kPalette[i].r, kPalette[i].g, kPalette[i].b, 1.0);
        return out;
    }();
    if (index < 0 || index >= kPaletteSize) return colors[1];
    return colors[static_cast<size_t>(index)];
}

std::shared_ptr<UIColor> colorWithCompareResult(int result) {
    return colorWithIndex(result > 0 ? 15 : result < 0 ? 16 : 17);
}

std::shared_ptr<UIColor> colorWithCompare(const VTAFloat& a, const VTAFloat& b) {
    return colorWithCompareResult(compareVTAFloat(a, b));
}

std::shared_ptr<UIColor> colorWithCompare(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b) {
    if (!a || !b) return colorWithIndex(17);
    return colorWithCompare(*a, *b);
}

std::shared_ptr<UIColor> colorWithSign(double value) {
    return colorWithCompareResult(value > 0 ? 1 : value < 0 ? -1 : 0);
}
