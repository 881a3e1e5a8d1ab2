#include "platform/graphics/UIImage.h"

#include "platform/foundation/Paths.h"
#include "platform/graphics/CGContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>

namespace {

struct ByteReader {
    const std::vector<uint8_t>* bytes;
    size_t pos = 0;
};

cairo_status_t readBytes(void* closure, unsigned char* data, unsigned int length) {
    auto* r = static_cast<ByteReader*>(closure);
    if (length > r->bytes->size() - r->pos) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, r->bytes->data() + r->pos, length);
    r->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t writeBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

bool isPNG(const std::vector<uint8_t>& bytes) {
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), sig, 8) == 0;
}

// The size the header chunk (IHDR: 4-byte length, "IHDR", width and height
// big-endian, right after the signature) declares is checked before anything
// is allocated for the pixels: a few hundred bytes can declare gigabytes.
bool declaresSaneSize(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return false;
    auto be32 = [&](size_t at) {
        return (uint32_t(bytes[at]) << 24) | (uint32_t(bytes[at + 1]) << 16) | (uint32_t(bytes[at + 2]) << 8) |
               uint32_t(bytes[at + 3]);
    };
    uint32_t w = be32(16), h = be32(20);
    return w > 0 && h > 0 && w <= uint32_t(UIImage::kMaxPixelSide) && h <= uint32_t(UIImage::kMaxPixelSide);
}

std::optional<std::vector<uint8_t>> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::mutex cacheMutex;
std::map<std::string, std::shared_ptr<UIImage>> cache;

}  // namespace

UIImage::UIImage(cairo_surface_t* surface, double scale)
    : surface_(surface), scale_(std::isfinite(scale) && scale > 0 ? scale : 1) {}

UIImage::~UIImage() {
    if (surface_) cairo_surface_destroy(surface_);
}

std::shared_ptr<UIImage> UIImage::imageWithSurface(cairo_surface_t* surface, double scale) {
    if (!surface) return nullptr;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE || cairo_image_surface_get_width(surface) <= 0 ||
        cairo_image_surface_get_height(surface) <= 0) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::make_shared<UIImage>(surface, scale);
}

std::shared_ptr<UIImage> UIImage::imageWithData(const std::vector<uint8_t>& png, double scale) {
    if (!isPNG(png) || !declaresSaneSize(png)) return nullptr;
    ByteReader reader{&png, 0};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readBytes, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    // Draw from a single format: whatever cairo loaded, keep premultiplied ARGB.
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32) {
        int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
        cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
        s = argb;
    }
    return imageWithSurface(s, scale);
}

std::shared_ptr<UIImage> UIImage::imageWithContentsOfFile(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes) return nullptr;
    std::string stem = path;
    if (endsWith(stem, ".png") || endsWith(stem, ".PNG")) stem.resize(stem.size() - 4);
    return imageWithData(*bytes, endsWith(stem, "@2x") ? 2.0 : 1.0);
}

std::shared_ptr<UIImage> UIImage::imageNamed(const std::string& name) {
    if (name.empty()) return nullptr;
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        auto it = cache.find(name);
        if (it != cache.end()) return it->second;
    }
    std::string stem = name;
    if (endsWith(stem, ".png")) stem.resize(stem.size() - 4);
    std::shared_ptr<UIImage> image = imageWithContentsOfFile(bundlePath(stem + "@2x.png"));
    if (!image) image = imageWithContentsOfFile(bundlePath(stem + ".png"));
    if (!image) return nullptr;  // not cached: the bundle may gain the file later
    std::lock_guard<std::mutex> lock(cacheMutex);
    return cache.emplace(name, image).first->second;
}

void UIImage::clearImageCache() {
    std::lock_guard<std::mutex> lock(cacheMutex);
    cache.clear();
}

int UIImage::pixelWidth() const { return surface_ ? cairo_image_surface_get_width(surface_) : 0; }
int UIImage::pixelHeight() const { return surface_ ? cairo_image_surface_get_height(surface_) : 0; }

CGSize UIImage::size() const { return CGSizeMake(pixelWidth() / scale_, pixelHeight() / scale_); }

void UIImage::drawInRect(const CGRect& rectIn) const {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || !surface_) return;
    CGRect rect = CGRectStandardize(rectIn);
    if (!stretchable_) {
        ctx->drawImage(rect, *this);
        return;
    }
    // Nine parts: corners as they are, edges stretched one way, the middle both.
    CGSize sz = size();
    double l = caps_.left, r = caps_.right, t = caps_.top, b = caps_.bottom;
    // Caps larger than the destination shrink proportionally.
    if (l + r > rect.size.width && l + r > 0) {
        double k = rect.size.width / (l + r);
        l *= k, r *= k;
    }
    if (t + b > rect.size.height && t + b > 0) {
        double k = rect.size.height / (t + b);
        t *= k, b *= k;
    }
    double sx[4] = {0, caps_.left, sz.width - caps_.right, sz.width};
    double sy[4] = {0, caps_.top, sz.height - caps_.bottom, sz.height};
    double dx[4] = {rect.origin.x, rect.origin.x + l, rect.origin.x + rect.size.width - r,
                    rect.origin.x + rect.size.width};
    double dy[4] = {rect.origin.y, rect.origin.y + t, rect.origin.y + rect.size.height - b,
                    rect.origin.y + rect.size.height};
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            CGRect src = CGRectMake(sx[i], sy[j], sx[i + 1] - sx[i], sy[j + 1] - sy[j]);
            CGRect dst = CGRectMake(dx[i], dy[j], dx[i + 1] - dx[i], dy[j + 1] - dy[j]);
            if (src.size.width > 0 && src.size.height > 0 && dst.size.width > 0 && dst.size.height > 0)
                ctx->drawImage(dst, *this, src);
        }
    }
}

void UIImage::drawInRect(const CGRect& rect, CGBlendMode mode, double alpha) const {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    ctx->saveGState();
    ctx->setBlendMode(mode);
    ctx->setAlpha(alpha * ctx->alpha());
    drawInRect(rect);
    ctx->restoreGState();
}

void UIImage::drawAtPoint(CGPoint p) const {
    CGSize sz = size();
    drawInRect(CGRectMake(p.x, p.y, sz.width, sz.height));
}

void UIImage::drawAtPoint(CGPoint p, CGBlendMode mode, double alpha) const {
    CGSize sz = size();
    drawInRect(CGRectMake(p.x, p.y, sz.width, sz.height), mode, alpha);
}

void UIImage::drawAsPatternInRect(const CGRect& rect) const {
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) ctx->drawTiledImage(rect, *this);
}

std::shared_ptr<UIImage> UIImage::withCaps(const UIEdgeInsets& caps) const {
    if (!surface_) return nullptr;
    cairo_surface_reference(surface_);
    auto image = std::make_shared<UIImage>(surface_, scale_);
    CGSize sz = size();
    UIEdgeInsets c = caps;
    c.left = std::clamp(c.left, 0.0, sz.width);
    c.right = std::clamp(c.right, 0.0, sz.width - c.left);
    c.top = std::clamp(c.top, 0.0, sz.height);
    c.bottom = std::clamp(c.bottom, 0.0, sz.height - c.top);
    image->caps_ = c;
    image->stretchable_ = true;
    return image;
}

std::shared_ptr<UIImage> UIImage::stretchableImageWithLeftCapWidth(int left, int top) const {
    CGSize sz = size();
    UIEdgeInsets caps;
    if (left > 0) {
        caps.left = left;
        caps.right = std::max(0.0, sz.width - left - 1);
    }
    if (top > 0) {
        caps.top = top;
        caps.bottom = std::max(0.0, sz.height - top - 1);
    }
    return withCaps(caps);
}

std::shared_ptr<UIImage> UIImage::resizableImageWithCapInsets(const UIEdgeInsets& caps) const { return withCaps(caps); }

std::vector<uint8_t> UIImage::pngData() const {
    std::vector<uint8_t> out;
    if (!surface_) return out;
    if (cairo_surface_write_to_png_stream(surface_, writeBytes, &out) != CAIRO_STATUS_SUCCESS) out.clear();
    return out;
}

bool UIImage::writePNG(const std::string& path) const {
    std::vector<uint8_t> bytes = pngData();
    if (bytes.empty()) return false;
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.good()) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

uint32_t UIImage::pixelAt(int x, int y) const {
    if (!surface_ || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return 0;
    cairo_surface_flush(surface_);
    const uint8_t* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    uint32_t px;
    std::memcpy(&px, data + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * 4, 4);
    return px;
}

std::vector<uint8_t> UIImagePNGRepresentation(const UIImage& image) { return image.pngData(); }
