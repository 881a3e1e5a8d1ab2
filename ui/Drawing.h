#pragma once
// Drawing conventions shared by the hand-drawn screens and widgets: text
// shrunk to its rectangle, round-capped lines, filled rectangles, and the
// form font of the older screens.
#include "platform/graphics/CGContext.h"
#include "platform/graphics/UIFont.h"

#include <memory>
#include <string>

class UIColor;
class UIImage;

// The text modes callers pass to drawStringInRect; the glyphs are filled in all of them.
enum class TextDrawingMode { Fill = 0, Stroke = 1, FillStroke = 2 };

// The smallest size drawStringInRect shrinks a font to.
constexpr double kMinimumShrinkFontSize = 6.0;

// Draws one line of text in the rectangle (x, y, width, height), vertically
// centred, aligned 0 left, 1 centre, 2 right; when the text is wider than the
// rectangle the font shrinks (down to kMinimumShrinkFontSize, below that the
// text is truncated with "…"). Returns the font size used. Nothing is drawn
// without a context, an empty text or a rectangle without area.
double drawStringInRect(CGContext* ctx, const std::string& text, double x, double y, double width, double height,
                        const UIFont& font, const UIColor& color, TextDrawingMode mode = TextDrawingMode::Fill,
                        int alignment = 0);
// Strokes a straight line with round caps.
void drawLine(CGContext* ctx, double x1, double y1, double x2, double y2, const UIColor& color, double width);
// Fills the rectangle with the colour.
void fillRect(CGContext* ctx, double x, double y, double width, double height, const UIColor& color);

// A new image of the size filled with the colour, the image (when given) drawn
// centred at its own size (highlight backgrounds of buttons).
std::shared_ptr<UIImage> drawImageCentered(const std::shared_ptr<UIImage>& image, double width, double height,
                                           const std::shared_ptr<UIColor>& color);

// The form font of the older screens: "Arial" at the setting "defoult font size"
// (15 points when the setting is missing or not positive).
std::shared_ptr<UIFont> defaultFont();
