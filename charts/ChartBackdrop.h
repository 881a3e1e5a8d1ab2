#pragma once
// What a chart draws that does not follow the crosshair (grid, candles, lines,
// scale labels), kept as pixels: a crosshair move repaints the screen, and the
// chart then paints the kept picture instead of drawing all of it again.
//
// The picture is made at the device scale of the context it goes to, and it
// is used only where that context maps the view onto whole device pixels
// (a plain scale and a whole-pixel offset), so that it lands on the very
// pixels the drawing would have touched; elsewhere (a rotated or fractional
// context) the chart draws directly.
#include <cairo.h>

#include <functional>

#include "platform/graphics/CGContext.h"

class ChartBackdrop {
public:
    ChartBackdrop() = default;
    ~ChartBackdrop();
    ChartBackdrop(const ChartBackdrop&) = delete;
    ChartBackdrop& operator=(const ChartBackdrop&) = delete;

    // Paints the picture of a view of `size` points: the kept one unless
    // `changed` or the device scale or size differ, else one drawn anew by
    // `draw` (which draws in the view's points, with its context current).
    void paint(CGContext& ctx, const CGSize& size, bool changed, const std::function<void(CGContext&)>& draw);
    // Forgets the picture (the next paint draws).
    void clear();
    // Whether the last paint drew (false: it painted the kept picture).
    bool drewLast() const { return drewLast_; }

    // Off: every chart draws directly, keeping nothing (tests draw their
    // reference pictures so). On by default.
    static void setKeepsPictures(bool on);

private:
    cairo_surface_t* surface_ = nullptr;
    CGSize size_{};
    double scale_ = 0;
    bool drewLast_ = false;
};
