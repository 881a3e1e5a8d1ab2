#include "platform/graphics/TextDrawing.h"

#include "platform/graphics/CGContext.h"
#include "platform/graphics/PangoSupport.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

const char* const kEllipsis = "\xE2\x80\xA6";  // …
constexpr double kFitSlack = 0.01;             // points of rounding allowed when fitting

bool isTruncation(UILineBreakMode m) {
    return m == UILineBreakMode::HeadTruncation || m == UILineBreakMode::TailTruncation ||
           m == UILineBreakMode::MiddleTruncation;
}

std::string oneLine(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return s;
}

double lineWidth(const std::string& text, const UIFont& font, double size) {
    PangoLayoutPtr layout = sharedLineLayout(text, font, size);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    return fromPango(logical.width);
}

// Byte offsets of the character starts of valid UTF-8 text, plus the end.
std::vector<size_t> charStarts(const std::string& s) {
    std::vector<size_t> starts;
    const char* begin = s.data();
    const char* end = begin + s.size();
    for (const char* p = begin; p < end; p = g_utf8_next_char(p)) starts.push_back(static_cast<size_t>(p - begin));
    starts.push_back(s.size());
    return starts;
}

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string trimLeft(std::string s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

// The longest cut of a single line (valid UTF-8, no newlines) that fits width
// with "…" in the place the mode says.
std::string truncateLine(const std::string& text, const UIFont& font, double size, double width, UILineBreakMode mode) {
    if (lineWidth(text, font, size) <= width + kFitSlack) return text;
    std::vector<size_t> starts = charStarts(text);
    const int n = static_cast<int>(starts.size()) - 1;
    auto candidate = [&](int keep) {
        switch (mode) {
            case UILineBreakMode::HeadTruncation:
                return kEllipsis + trimLeft(text.substr(starts[n - keep]));
            case UILineBreakMode::MiddleTruncation: {
                int head = (keep + 1) / 2, tail = keep / 2;
                return trimRight(text.substr(0, starts[head])) + kEllipsis + trimLeft(text.substr(starts[n - tail]));
            }
            default:
                return trimRight(text.substr(0, starts[keep])) + kEllipsis;
        }
    };
    int lo = 0, hi = n - 1;  // keep lo characters always fits (or nothing does)
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        if (lineWidth(candidate(mid), font, size) <= width + kFitSlack)
            lo = mid;
        else
            hi = mid - 1;
    }
    return candidate(lo);
}

struct Line {
    PangoLayoutPtr layout;  // owns the line below
    PangoLayoutLine* line = nullptr;
    double width = 0;
};

struct Block {
    std::vector<Line> lines;
    double lineHeight = 0;
    double ascender = 0;
    double width = 0;
    bool clip = false;  // draw clipped to the rect (one clipped line)
};

Line singleLayoutLine(const std::string& text, const UIFont& font, double size) {
    Line l;
    l.layout = sharedLineLayout(text, font, size);
    l.line = pango_layout_get_line_readonly(l.layout.get(), 0);
    PangoRectangle logical;
    pango_layout_line_get_extents(l.line, nullptr, &logical);
    l.width = fromPango(logical.width);
    return l;
}

// One line of text within width (width <= 0 or infinite: no limit).
Block layoutSingle(const std::string& rawText, const UIFont& font, double size, double width, UILineBreakMode mode) {
    std::string text = oneLine(validUtf8(rawText));
    Block b;
    auto sized = font.fontWithSize(size);
    b.lineHeight = sized->lineHeight();
    b.ascender = sized->ascender();
    bool limited = std::isfinite(width) && width > 0;
    if (limited && isTruncation(mode)) text = truncateLine(text, font, size, width, mode);
    b.lines.push_back(singleLayoutLine(text, font, size));
    b.width = b.lines[0].width;
    if (limited && b.width > width + kFitSlack) {
        b.width = width;
        b.clip = true;
    }
    return b;
}

// Text wrapped inside a rectangle, keeping the lines that fit its height.
Block layoutInRect(const std::string& rawText, const UIFont& font, CGSize box, UILineBreakMode mode) {
    double size = font.pointSize();
    double lh = font.lineHeight();
    bool limitedWidth = std::isfinite(box.width) && box.width > 0;
    bool limitedHeight = std::isfinite(box.height) && box.height > 0;
    if (limitedHeight && box.height < 2 * lh - kFitSlack && limitedWidth && mode != UILineBreakMode::WordWrap &&
        mode != UILineBreakMode::CharacterWrap)
        return layoutSingle(rawText, font, size, box.width, mode);

    std::string text = validUtf8(rawText);
    Block b;
    b.lineHeight = lh;
    b.ascender = font.ascender();
    PangoLayoutPtr layout = makePangoLayout(text, font, size);
    if (limitedWidth) {
        pango_layout_set_width(layout.get(), static_cast<int>(std::floor((box.width + kFitSlack) * PANGO_SCALE)));
        // Both wrapping modes keep the line-breaking rules (Pango's, after
        // Unicode's): no line starts with closing punctuation such as "，" or
        // "。" and none ends with an opening one; a word longer than the line
        // still breaks between its characters.
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    }
    int total = pango_layout_get_line_count(layout.get());
    int visible = total;
    if (limitedHeight) visible = std::clamp(static_cast<int>(std::floor((box.height + kFitSlack) / lh)), 1, total);
    for (int i = 0; i < visible; ++i) {
        PangoLayoutLine* pl = pango_layout_get_line_readonly(layout.get(), i);
        bool last = i == visible - 1;
        if (last && visible < total && isTruncation(mode) && limitedWidth) {
            std::string rest = oneLine(text.substr(static_cast<size_t>(pl->start_index)));
            b.lines.push_back(singleLayoutLine(truncateLine(rest, font, size, box.width, mode), font, size));
        } else {
            Line l;
            // Lines share the layout; the first entry keeps it alive.
            l.line = pl;
            PangoRectangle logical;
            pango_layout_line_get_extents(pl, nullptr, &logical);
            l.width = fromPango(logical.width);
            b.lines.push_back(std::move(l));
        }
    }
    for (const Line& l : b.lines) b.width = std::max(b.width, l.width);
    // Keep the shared layout alive in a slot of its own.
    Line holder;
    holder.layout = std::move(layout);
    b.lines.insert(b.lines.begin(), std::move(holder));
    return b;
}

// The lines to draw (the first entry of a wrapped block only holds its layout).
std::vector<const Line*> drawnLines(const Block& b) {
    std::vector<const Line*> out;
    for (const Line& l : b.lines)
        if (l.line) out.push_back(&l);
    return out;
}

CGSize blockSize(const Block& b) {
    return CGSizeMake(b.width, b.lineHeight * static_cast<double>(drawnLines(b).size()));
}

void drawBlock(const Block& b, const CGRect& rect, UITextAlignment align) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    cairo_t* cr = ctx->cairo();
    std::vector<const Line*> lines = drawnLines(b);
    double boxWidth = std::isfinite(rect.size.width) && rect.size.width > 0 ? rect.size.width : b.width;
    CGRect bounds = CGRectMake(rect.origin.x, rect.origin.y, std::max(boxWidth, b.width),
                               b.lineHeight * static_cast<double>(lines.size()));
    ctx->paintWithEffects(&bounds, [&] {
        cairo_save(cr);
        if (b.clip) {
            cairo_new_path(cr);
            cairo_rectangle(cr, rect.origin.x, rect.origin.y, boxWidth, bounds.size.height);
            cairo_clip(cr);
        }
        ctx->applyFillSource();
        for (size_t i = 0; i < lines.size(); ++i) {
            double x = rect.origin.x;
            if (align == UITextAlignment::Center)
                x += (boxWidth - lines[i]->width) / 2;
            else if (align == UITextAlignment::Right)
                x += boxWidth - lines[i]->width;
            double baseline = rect.origin.y + b.lineHeight * static_cast<double>(i) + b.ascender;
            cairo_move_to(cr, x, baseline);
            pango_cairo_show_layout_line(cr, lines[i]->line);
        }
        cairo_new_path(cr);
        cairo_restore(cr);
    });
}

}  // namespace

CGSize drawString(const std::string& text, const CGRect& rect, const UIFont& font, UILineBreakMode mode,
                  UITextAlignment align) {
    CGRect r = CGRectStandardize(rect);
    Block b = layoutInRect(text, font, r.size, mode);
    drawBlock(b, r, align);
    return blockSize(b);
}

std::vector<std::string> wrappedLines(const std::string& rawText, const UIFont& font, double width,
                                      UILineBreakMode mode) {
    std::string text = validUtf8(rawText);
    Block b = layoutInRect(text, font, CGSizeMake(width, 0), mode);
    std::vector<std::string> out;
    for (const Line* l : drawnLines(b))
        out.push_back(text.substr(static_cast<size_t>(l->line->start_index), static_cast<size_t>(l->line->length)));
    return out;
}

CGSize drawStringAtPoint(const std::string& text, CGPoint p, const UIFont& font) {
    Block b = layoutSingle(text, font, font.pointSize(), 0, UILineBreakMode::Clip);
    drawBlock(b, CGRectMake(p.x, p.y, 0, 0), UITextAlignment::Left);
    return blockSize(b);
}

CGSize drawStringAtPoint(const std::string& text, CGPoint p, double width, const UIFont& font, UILineBreakMode mode) {
    Block b = layoutSingle(text, font, font.pointSize(), width, mode);
    drawBlock(b, CGRectMake(p.x, p.y, width, b.lineHeight), UITextAlignment::Left);
    return blockSize(b);
}

namespace {
// The vertical shift of a line shrunk to `size` relative to the original line box.
double baselineShift(const UIFont& font, double size, UIBaselineAdjustment adj) {
    if (size == font.pointSize()) return 0;
    auto sized = font.fontWithSize(size);
    switch (adj) {
        case UIBaselineAdjustment::AlignBaselines:
            return font.ascender() - sized->ascender();
        case UIBaselineAdjustment::AlignCenters:
            return (font.lineHeight() - sized->lineHeight()) / 2;
        case UIBaselineAdjustment::None:
            return 0;
    }
    return 0;
}
}  // namespace

CGSize drawStringAtPoint(const std::string& text, CGPoint p, double width, const UIFont& font, double minFontSize,
                         double* actualFontSize, UILineBreakMode mode, UIBaselineAdjustment baselineAdjustment) {
    double size = fittingFontSize(text, font, width, minFontSize);
    if (actualFontSize) *actualFontSize = size;
    Block b = layoutSingle(text, font, size, width, mode);
    double dy = baselineShift(font, size, baselineAdjustment);
    drawBlock(b, CGRectMake(p.x, p.y + dy, width, b.lineHeight), UITextAlignment::Left);
    return CGSizeMake(b.width, font.lineHeight());
}

CGSize sizeWithFont(const std::string& text, const UIFont& font) {
    return blockSize(layoutSingle(text, font, font.pointSize(), 0, UILineBreakMode::Clip));
}

CGSize sizeWithFont(const std::string& text, const UIFont& font, double width, UILineBreakMode mode) {
    return blockSize(layoutSingle(text, font, font.pointSize(), width, mode));
}

CGSize sizeWithFont(const std::string& text, const UIFont& font, CGSize constrained, UILineBreakMode mode) {
    return blockSize(layoutInRect(text, font, constrained, mode));
}

CGSize sizeWithFont(const std::string& text, const UIFont& font, double minFontSize, double* actualFontSize,
                    double width, UILineBreakMode mode) {
    double size = fittingFontSize(text, font, width, minFontSize);
    if (actualFontSize) *actualFontSize = size;
    Block b = layoutSingle(text, font, size, width, mode);
    return CGSizeMake(b.width, font.lineHeight());
}

std::string truncatedString(const std::string& text, const UIFont& font, double width, UILineBreakMode mode) {
    std::string line = oneLine(validUtf8(text));
    if (!isTruncation(mode) || !(width > 0) || !std::isfinite(width)) return line;
    return truncateLine(line, font, font.pointSize(), width, mode);
}

double fittingFontSize(const std::string& rawText, const UIFont& font, double width, double minFontSize) {
    double size = font.pointSize();
    if (!std::isfinite(minFontSize) || minFontSize <= 0 || minFontSize >= size || !(width > 0) || !std::isfinite(width))
        return size;
    std::string text = oneLine(validUtf8(rawText));
    double w = lineWidth(text, font, size);
    if (w <= width + kFitSlack) return size;
    // Unhinted widths scale with the size: start from the proportional guess,
    // on the half-point grid, and step down until it fits.
    double s = std::max(minFontSize, std::floor(size * width / w * 2) / 2);
    while (s > minFontSize && lineWidth(text, font, s) > width + kFitSlack) s = std::max(minFontSize, s - 0.5);
    return s;
}
