#include "ui/Drawing.h"

#include "core/VTAUserDefoult.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIColor.h"
#include "platform/graphics/UIImage.h"

#include <cairo.h>

double drawStringInRect(CGContext* ctx, const std::string& text, double x, double y, double width, double height,
                        const UIFont& font, const UIColor& color, TextDrawingMode mode, int alignment) {
    if (!ctx || text.empty() || width <= 0 || height <= 0) return font.pointSize();
    double size = fittingFontSize(text, font, width, kMinimumShrinkFontSize);
    auto used = font.fontWithSize(size);
    CGSize measured = sizeWithFont(text, *used, width, UILineBreakMode::TailTruncation);
    double left = x;
    if (alignment == 1)
        left = x + (width - measured.width) / 2;
    else if (alignment == 2)
        left = x + width - measured.width;
    double top = y + (height - measured.height) / 2;

    ctx->saveGState();
    ctx->clipToRect(CGRectMake(x, y, width, height));
    ctx->setFillColor(color);
    (void)mode;  // glyphs are always filled: no screen outlines its text
    UIGraphicsPushContext(ctx);
    drawStringAtPoint(text, CGPointMake(left, top), width, *used, UILineBreakMode::TailTruncation);
    UIGraphicsPopContext();
    ctx->restoreGState();
    return size;
}

void drawLine(CGContext* ctx, double x1, double y1, double x2, double y2, const UIColor& color, double width) {
    if (!ctx) return;
    ctx->saveGState();
    ctx->setStrokeColor(color);
    ctx->setLineWidth(width);
    ctx->setLineCap(CGLineCap::Round);
    ctx->beginPath();
    ctx->moveToPoint(x1, y1);
    ctx->addLineToPoint(x2, y2);
    ctx->strokePath();
    ctx->restoreGState();
}

void fillRect(CGContext* ctx, double x, double y, double width, double height, const UIColor& color) {
    if (!ctx) return;
    ctx->saveGState();
    ctx->setFillColor(color);
    ctx->fillRect(CGRectMake(x, y, width, height));
    ctx->restoreGState();
}

std::shared_ptr<UIImage> drawImageCentered(const std::shared_ptr<UIImage>& image, double width, double height,
                                           const std::shared_ptr<UIColor>& color) {
    if (width <= 0 || height <= 0) return nullptr;
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), false, 0);
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (ctx && color) {
        ctx->setFillColor(*color);
        ctx->fillRect(CGRectMake(0, 0, width, height));
    }
    if (ctx && image) {
        CGSize s = image->size();
        ctx->drawImage(CGRectMake((width - s.width) / 2, (height - s.height) / 2, s.width, s.height), *image);
    }
    auto out = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return out;
}

std::shared_ptr<UIFont> defaultFont() {
    int size = VTAUserDefoult::standerDefoult().getIntForKey("defoult font size");
    if (size <= 0) size = 15;
    return UIFont::fontWithName("Arial", size);
}
