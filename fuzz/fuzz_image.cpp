// Image decoding under arbitrary bytes (downloaded and bundle PNG images): an
// image read must have a sane size and draw, and write to a PNG that reads
// back to the same size. Sizes beyond the reader's cap are refused, not
// allocated.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/graphics/UIImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    auto image = UIImage::imageWithData(bytes, size % 2 ? 2 : 1);
    if (!image) return 0;
    const int w = image->pixelWidth(), h = image->pixelHeight();
    if (w <= 0 || h <= 0 || w > UIImage::kMaxPixelSide || h > UIImage::kMaxPixelSide) std::abort();
    image->pixelAt(w - 1, h - 1);
    if (w * h > 256 * 256) return 0;  // writing large images only slows the search
    auto png = UIImagePNGRepresentation(*image);
    auto again = UIImage::imageWithData(png);
    if (!again || again->pixelWidth() != w || again->pixelHeight() != h) std::abort();
    return 0;
}
