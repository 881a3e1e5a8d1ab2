#pragma once
// A bitmap to draw into in tests: an image context made current for the life of
// the object, and pixel readers for the result.
#include "platform/graphics/CGContext.h"
#include "platform/graphics/UIImage.h"

#include <cstdint>
#include <memory>

struct Pixel {
    int r = 0, g = 0, b = 0, a = 0;  // premultiplied 0..255
};

class Canvas {
public:
    // width x height points at `scale`, transparent (or white when `white`).
    Canvas(double width, double height, double scale = 1, bool white = false);
    ~Canvas();
    CGContext& ctx() { return *ctx_; }
    // Snapshot of the drawing so far.
    std::shared_ptr<UIImage> image() const;

private:
    CGContext* ctx_ = nullptr;
};

Pixel pixelOf(const UIImage& image, int x, int y);
// Bounding box (in pixels) of the pixels that differ from `background` by more
// than `threshold` in any channel; empty when none.
CGRect inkBounds(const UIImage& image, Pixel background = {}, int threshold = 40);
int countInk(const UIImage& image, Pixel background = {}, int threshold = 40);
// Number of pixels where two same-sized images differ by more than threshold.
int countDifferent(const UIImage& a, const UIImage& b, int threshold = 40);
