#pragma once
// Bitmap images: premultiplied ARGB cairo image surfaces with a scale (pixels per
// point). PNG is the format read and written.
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;
enum class CGBlendMode;

class UIImage {
public:
    // Takes ownership of an image surface (one reference).
    UIImage(cairo_surface_t* surface, double scale);
    ~UIImage();
    UIImage(const UIImage&) = delete;
    UIImage& operator=(const UIImage&) = delete;

    // A bundle PNG: "name" or "name.png"; prefers "name@2x.png" (scale 2). Cached by
    // name. Null when missing or unreadable.
    static std::shared_ptr<UIImage> imageNamed(const std::string& name);
    // A PNG file; a "@2x" in the file name gives scale 2. Null when unreadable.
    static std::shared_ptr<UIImage> imageWithContentsOfFile(const std::string& path);
    // Neither side of an image read may exceed this many pixels.
    static constexpr int kMaxPixelSide = 4096;
    // PNG bytes. Null when not a PNG image, or larger than kMaxPixelSide.
    static std::shared_ptr<UIImage> imageWithData(const std::vector<uint8_t>& png, double scale = 1);
    // Takes ownership of a cairo image surface. Null for a null or failed surface.
    static std::shared_ptr<UIImage> imageWithSurface(cairo_surface_t* surface, double scale);
    static void clearImageCache();

    CGSize size() const;  // points
    double scale() const { return scale_; }
    int pixelWidth() const;
    int pixelHeight() const;
    cairo_surface_t* surface() const { return surface_; }

    // Draw into the current context (nothing without one). A stretchable image
    // keeps its caps and stretches the middle.
    void drawInRect(const CGRect& rect) const;
    void drawInRect(const CGRect& rect, CGBlendMode mode, double alpha) const;
    void drawAtPoint(CGPoint p) const;
    void drawAtPoint(CGPoint p, CGBlendMode mode, double alpha) const;
    void drawAsPatternInRect(const CGRect& rect) const;

    // UIKit's caps: left cap `left` points, right cap width-left-1; same vertically.
    // A zero cap stretches that direction whole.
    std::shared_ptr<UIImage> stretchableImageWithLeftCapWidth(int left, int top) const;
    std::shared_ptr<UIImage> resizableImageWithCapInsets(const UIEdgeInsets& caps) const;
    int leftCapWidth() const { return static_cast<int>(caps_.left); }
    int topCapHeight() const { return static_cast<int>(caps_.top); }
    const UIEdgeInsets& capInsets() const { return caps_; }
    bool isStretchable() const { return stretchable_; }

    std::vector<uint8_t> pngData() const;
    bool writePNG(const std::string& path) const;

    // Premultiplied ARGB of one pixel (0 outside), for tests and hit tests.
    uint32_t pixelAt(int x, int y) const;

private:
    std::shared_ptr<UIImage> withCaps(const UIEdgeInsets& caps) const;

    cairo_surface_t* surface_ = nullptr;
    double scale_ = 1;
    bool stretchable_ = false;
    UIEdgeInsets caps_;
};

// Convenience from UIKit's C functions.
std::vector<uint8_t> UIImagePNGRepresentation(const UIImage& image);
