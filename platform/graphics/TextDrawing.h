#pragma once
// Text drawing and measuring through Pango. Measuring runs the same layout code as
// drawing, so a measured size is exactly the size drawn. Sizes are in points; the
// context's CTM applies the screen scale. Text is drawn in the current context's
// fill colour; with no current context the drawing functions only measure.
#include "platform/graphics/Geometry.h"
#include "platform/graphics/UIFont.h"

#include <string>
#include <vector>

// Wrapping (WordWrap and CharacterWrap alike) keeps the line-breaking rules of
// Chinese and Latin text: no line starts with "，" or "。", words stay whole
// unless longer than a line.
//
// Draws text wrapped (or truncated) inside rect; lines that do not fit in the
// rect's height are left out, and with a truncation mode the last line that fits
// ends (starts, or has in its middle) "…". A rect height under two lines draws one
// line. Returns the size drawn.
CGSize drawString(const std::string& text, const CGRect& rect, const UIFont& font,
                  UILineBreakMode mode = UILineBreakMode::WordWrap, UITextAlignment align = UITextAlignment::Left);
// One line, top-left at p, no width limit (newlines drawn as spaces).
CGSize drawStringAtPoint(const std::string& text, CGPoint p, const UIFont& font);
// One line at p within width, truncated or clipped by mode.
CGSize drawStringAtPoint(const std::string& text, CGPoint p, double width, const UIFont& font, UILineBreakMode mode);
// One line at p, shrinking from the font's size down to minFontSize to fit width;
// what still does not fit is truncated by mode. actualFontSize (may be null)
// receives the size used.
CGSize drawStringAtPoint(const std::string& text, CGPoint p, double width, const UIFont& font, double minFontSize,
                         double* actualFontSize, UILineBreakMode mode,
                         UIBaselineAdjustment baselineAdjustment = UIBaselineAdjustment::AlignBaselines);

// One line, no limit.
CGSize sizeWithFont(const std::string& text, const UIFont& font);
// One line within width (truncated by mode).
CGSize sizeWithFont(const std::string& text, const UIFont& font, double width, UILineBreakMode mode);
// Wrapped within the constrained size, as drawString would draw it in a rect of that size.
CGSize sizeWithFont(const std::string& text, const UIFont& font, CGSize constrained, UILineBreakMode mode);
// One line shrunk to fit width as drawStringAtPoint with a minimum size would draw it.
CGSize sizeWithFont(const std::string& text, const UIFont& font, double minFontSize, double* actualFontSize,
                    double width, UILineBreakMode mode);

// The lines `text` wraps into within `width` (WordWrap or CharacterWrap), as
// drawString draws them; tests and accessibility use it.
std::vector<std::string> wrappedLines(const std::string& text, const UIFont& font, double width,
                                      UILineBreakMode mode = UILineBreakMode::WordWrap);
// The text of the single line drawn for `text` in `width` with a truncation mode:
// the text itself when it fits, else cut with "…" (tests and accessibility use it).
std::string truncatedString(const std::string& text, const UIFont& font, double width, UILineBreakMode mode);
// The largest size in [minFontSize, font size] at which text fits width on one
// line (minFontSize when none does).
double fittingFontSize(const std::string& text, const UIFont& font, double width, double minFontSize);
