#include "tests/graphics/Canvas.h"

#include <cstdlib>

Canvas::Canvas(double width, double height, double scale, bool white) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), false, scale);
    ctx_ = UIGraphicsGetCurrentContext();
    if (white && ctx_) {
        ctx_->saveGState();
        ctx_->setFillColor(1, 1, 1, 1);
        ctx_->fillRect(CGRectMake(0, 0, width, height));
        ctx_->restoreGState();
    }
}

Canvas::~Canvas() { UIGraphicsEndImageContext(); }

std::shared_ptr<UIImage> Canvas::image() const { return UIGraphicsGetImageFromCurrentImageContext(); }

Pixel pixelOf(const UIImage& image, int x, int y) {
    uint32_t v = image.pixelAt(x, y);
    return Pixel{int((v >> 16) & 0xff), int((v >> 8) & 0xff), int(v & 0xff), int(v >> 24)};
}

namespace {
bool differs(const Pixel& p, const Pixel& q, int threshold) {
    return std::abs(p.r - q.r) > threshold || std::abs(p.g - q.g) > threshold || std::abs(p.b - q.b) > threshold ||
           std::abs(p.a - q.a) > threshold;
}
}  // namespace

CGRect inkBounds(const UIImage& image, Pixel background, int threshold) {
    int x0 = image.pixelWidth(), y0 = image.pixelHeight(), x1 = -1, y1 = -1;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            if (differs(pixelOf(image, x, y), background, threshold)) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    if (x1 < 0) return CGRectZero;
    return CGRectMake(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

int countInk(const UIImage& image, Pixel background, int threshold) {
    int n = 0;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x) n += differs(pixelOf(image, x, y), background, threshold);
    return n;
}

int countDifferent(const UIImage& a, const UIImage& b, int threshold) {
    int n = 0;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) n += differs(pixelOf(a, x, y), pixelOf(b, x, y), threshold);
    return n;
}
