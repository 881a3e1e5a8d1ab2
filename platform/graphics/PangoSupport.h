#pragma once
// Pango plumbing shared by UIFont and the text functions: one Pango context per
// thread with scale-independent metrics (no hinting, unrounded glyph positions),
// so a text measures the same at 1x and 2x and as it is drawn.
#include <pango/pango.h>

#include <memory>
#include <string>

class UIFont;

struct GObjectUnref {
    void operator()(void* p) const;
};
using PangoLayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;

PangoContext* threadPangoContext();

// A layout of one font at a size (points = user units); no width limit yet.
PangoLayoutPtr makePangoLayout(const std::string& utf8, const std::string& families, bool bold, double size);
PangoLayoutPtr makePangoLayout(const std::string& utf8, const UIFont& font, double size);

// A one-line layout (single paragraph mode) of the text, shared: the last few
// hundred such layouts of the thread are kept, so that the labels, boxes and
// titles drawn on every frame are shaped once. Read it; do not change it.
PangoLayoutPtr sharedLineLayout(const std::string& utf8, const UIFont& font, double size);

// Text made safe for Pango: invalid UTF-8 replaced by U+FFFD.
std::string validUtf8(const std::string& text);

inline double fromPango(int v) { return double(v) / PANGO_SCALE; }
