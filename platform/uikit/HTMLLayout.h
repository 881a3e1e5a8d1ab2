#pragma once
// A page laid out for a width: each paragraph of an HTMLDocument becomes one
// Pango layout with its runs' fonts, colours and underlines; images sit inline
// as boxes of their size. Coordinates are points in the page (y down from the
// top). Drawing and hit testing use the same layouts.
#include "platform/graphics/CGContext.h"
#include "platform/uikit/HTMLDocument.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIImage;

class HTMLLayout {
public:
    // Finds the image of an <img> source (null: not available, an empty box or alt text shows).
    using ImageResolver = std::function<std::shared_ptr<UIImage>(const std::string& source)>;

    static constexpr double kPageMargin = 8;

    HTMLLayout(const HTMLDocument& document, double width, const ImageResolver& resolver);
    ~HTMLLayout();
    HTMLLayout(const HTMLLayout&) = delete;
    HTMLLayout& operator=(const HTMLLayout&) = delete;

    double width() const { return width_; }
    double height() const { return height_; }

    // Draws the page's content (not its background) with text in `textColor`.
    void draw(CGContext& ctx, const CGRect& visible, const HTMLColor& textColor) const;
    // The link address (as written) under a point, or empty.
    std::string linkAtPoint(CGPoint p) const;
    // The box of the first character of the first occurrence of a text, or of a
    // link's first fragment; nullopt when not on the page.
    std::optional<CGRect> rectOfText(const std::string& text) const;
    std::optional<CGRect> rectOfLink(const std::string& href) const;

    struct ImageBox {
        CGRect rect;
        std::string source;
        bool loaded = false;
    };
    std::vector<ImageBox> imageBoxes() const;

private:
    struct Paragraph;
    std::optional<CGRect> rectOfByte(const Paragraph& p, size_t byte) const;

    double width_ = 0, height_ = 0;
    std::vector<std::unique_ptr<Paragraph>> paragraphs_;
};
