#include "platform/uikit/HTMLLayout.h"

#include "platform/graphics/PangoSupport.h"
#include "platform/graphics/UIFont.h"
#include "platform/graphics/UIImage.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPlaceholderSize = 20;

int toPango(double v) { return static_cast<int>(std::lround(v * PANGO_SCALE)); }

guint16 channel(double v) { return static_cast<guint16>(std::lround(std::clamp(v, 0.0, 1.0) * 65535)); }

void insert(PangoAttrList* list, PangoAttribute* attr, size_t start, size_t end) {
    attr->start_index = static_cast<guint>(start);
    attr->end_index = static_cast<guint>(end);
    pango_attr_list_insert(list, attr);
}
}  // namespace

struct HTMLLayout::Paragraph {
    PangoLayoutPtr layout;
    std::string text;
    double x = 0, y = 0, width = 0, height = 0;
    bool rule = false;
    struct Span {
        size_t start, end;
        std::string href;
    };
    std::vector<Span> links;
    struct Image {
        size_t byte;
        CGRect rect;  // in the paragraph's coordinates
        std::shared_ptr<UIImage> image;
        std::string source, alt;
    };
    std::vector<Image> images;
};

HTMLLayout::HTMLLayout(const HTMLDocument& document, double width, const ImageResolver& resolver)
    : width_(std::max(width, 2 * kPageMargin + 10)) {
    const std::string families = UIFont::systemFontOfSize(16)->families();
    double y = kPageMargin;
    for (const HTMLParagraph& source : document.paragraphs) {
        auto p = std::make_unique<Paragraph>();
        p->x = kPageMargin + std::min(source.indent, width_ / 2);
        p->width = std::max(10.0, width_ - kPageMargin - p->x);
        y += source.marginTop;
        p->y = y;
        if (source.rule) {
            p->rule = true;
            p->height = 2;
            y += p->height + source.marginBottom;
            paragraphs_.push_back(std::move(p));
            continue;
        }

        PangoAttrList* attrs = pango_attr_list_new();
        for (const HTMLRun& run : source.runs) {
            size_t start = p->text.size();
            if (run.kind == HTMLRun::Kind::Image) {
                Paragraph::Image img;
                img.byte = start;
                img.source = run.imageSource;
                img.alt = run.text;
                img.image = resolver ? resolver(run.imageSource) : nullptr;
                double w = run.imageWidth, h = run.imageHeight;
                if (img.image) {
                    CGSize natural = img.image->size();
                    if (w <= 0 && h <= 0) {
                        w = natural.width;
                        h = natural.height;
                    } else if (w <= 0 && natural.height > 0) {
                        w = h * natural.width / natural.height;
                    } else if (h <= 0 && natural.width > 0) {
                        h = w * natural.height / natural.width;
                    }
                }
                if (w <= 0) w = kPlaceholderSize;
                if (h <= 0) h = kPlaceholderSize;
                if (w > p->width) {  // scaled down to the column, keeping its shape
                    h = h * p->width / w;
                    w = p->width;
                }
                img.rect = CGRectMake(0, 0, w, h);
                p->text += "\xEF\xBF\xBC";
                PangoRectangle box{0, -toPango(h), toPango(w), toPango(h)};
                insert(attrs, pango_attr_shape_new(&box, &box), start, p->text.size());
                p->images.push_back(std::move(img));
            } else {
                p->text += validUtf8(run.text);
                size_t end = p->text.size();
                if (end == start) continue;
                PangoFontDescription* d = pango_font_description_new();
                pango_font_description_set_family(d, families.c_str());
                pango_font_description_set_absolute_size(d, std::clamp(run.fontSize, 1.0, 200.0) * PANGO_SCALE);
                pango_font_description_set_weight(d, run.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
                pango_font_description_set_style(d, run.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
                insert(attrs, pango_attr_font_desc_new(d), start, end);
                pango_font_description_free(d);
                if (run.color) {
                    insert(
                        attrs,
                        pango_attr_foreground_new(channel(run.color->r), channel(run.color->g), channel(run.color->b)),
                        start, end);
                    if (run.color->a < 1)
                        insert(attrs, pango_attr_foreground_alpha_new(channel(run.color->a)), start, end);
                }
                if (run.underline) insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), start, end);
            }
            if (!run.href.empty()) {
                if (!p->links.empty() && p->links.back().end == start && p->links.back().href == run.href)
                    p->links.back().end = p->text.size();
                else
                    p->links.push_back({start, p->text.size(), run.href});
            }
        }

        p->layout = makePangoLayout(p->text, families, false, 16);
        pango_layout_set_attributes(p->layout.get(), attrs);
        pango_attr_list_unref(attrs);
        pango_layout_set_width(p->layout.get(), toPango(p->width));
        pango_layout_set_wrap(p->layout.get(), PANGO_WRAP_WORD_CHAR);
        pango_layout_set_alignment(p->layout.get(), source.align == HTMLAlign::Center  ? PANGO_ALIGN_CENTER
                                                    : source.align == HTMLAlign::Right ? PANGO_ALIGN_RIGHT
                                                                                       : PANGO_ALIGN_LEFT);
        PangoRectangle logical;
        pango_layout_get_extents(p->layout.get(), nullptr, &logical);
        p->height = fromPango(logical.height);

        // Where the images landed: on their line's baseline.
        if (!p->images.empty()) {
            PangoLayoutIter* it = pango_layout_get_iter(p->layout.get());
            size_t next = 0;
            do {
                if (next >= p->images.size()) break;
                if (static_cast<size_t>(pango_layout_iter_get_index(it)) == p->images[next].byte) {
                    PangoRectangle r;
                    pango_layout_iter_get_char_extents(it, &r);
                    double baseline = fromPango(pango_layout_iter_get_baseline(it));
                    CGRect& box = p->images[next].rect;
                    box.origin = CGPointMake(fromPango(r.x), baseline - box.size.height);
                    ++next;
                }
            } while (pango_layout_iter_next_char(it));
            pango_layout_iter_free(it);
        }
        y += p->height;
        paragraphs_.push_back(std::move(p));
    }
    height_ = y + kPageMargin;
}

HTMLLayout::~HTMLLayout() = default;

void HTMLLayout::draw(CGContext& ctx, const CGRect& visible, const HTMLColor& textColor) const {
    cairo_t* cr = ctx.cairo();
    for (const auto& p : paragraphs_) {
        if (p->y > CGRectGetMaxY(visible) || p->y + p->height < CGRectGetMinY(visible)) continue;
        if (p->rule) {
            ctx.saveGState();
            ctx.setFillColor(0.6, 0.6, 0.6, 1);
            ctx.fillRect(CGRectMake(p->x, p->y, p->width, 1));
            ctx.setFillColor(0.9, 0.9, 0.9, 1);
            ctx.fillRect(CGRectMake(p->x, p->y + 1, p->width, 1));
            ctx.restoreGState();
            continue;
        }
        cairo_save(cr);
        cairo_set_source_rgba(cr, textColor.r, textColor.g, textColor.b, textColor.a);
        cairo_move_to(cr, p->x, p->y);
        pango_cairo_show_layout(cr, p->layout.get());
        cairo_new_path(cr);
        cairo_restore(cr);
        for (const auto& img : p->images) {
            CGRect r = CGRectOffset(img.rect, p->x, p->y);
            if (img.image) {
                img.image->drawInRect(r);
            } else {
                ctx.saveGState();
                ctx.setFillColor(0.93, 0.93, 0.93, 1);
                ctx.fillRect(r);
                ctx.setStrokeColor(0.7, 0.7, 0.7, 1);
                ctx.setLineWidth(1);
                ctx.strokeRect(CGRectInset(r, 0.5, 0.5));
                ctx.restoreGState();
            }
        }
    }
}

std::string HTMLLayout::linkAtPoint(CGPoint pt) const {
    for (const auto& p : paragraphs_) {
        if (p->rule || !p->layout || pt.y < p->y || pt.y > p->y + p->height || p->links.empty()) continue;
        int index = 0, trailing = 0;
        if (!pango_layout_xy_to_index(p->layout.get(), toPango(pt.x - p->x), toPango(pt.y - p->y), &index, &trailing))
            continue;
        for (const auto& span : p->links)
            if (static_cast<size_t>(index) >= span.start && static_cast<size_t>(index) < span.end) return span.href;
    }
    return "";
}

std::optional<CGRect> HTMLLayout::rectOfByte(const Paragraph& p, size_t byte) const {
    if (!p.layout || byte >= p.text.size()) return std::nullopt;
    PangoRectangle r;
    pango_layout_index_to_pos(p.layout.get(), static_cast<int>(byte), &r);
    double x = fromPango(r.x), w = fromPango(r.width);
    if (w < 0) {
        x += w;
        w = -w;
    }
    return CGRectMake(p.x + x, p.y + fromPango(r.y), std::max(w, 1.0), fromPango(r.height));
}

std::optional<CGRect> HTMLLayout::rectOfText(const std::string& text) const {
    if (text.empty()) return std::nullopt;
    for (const auto& p : paragraphs_) {
        auto at = p->text.find(text);
        if (at != std::string::npos) return rectOfByte(*p, at);
    }
    return std::nullopt;
}

std::optional<CGRect> HTMLLayout::rectOfLink(const std::string& href) const {
    for (const auto& p : paragraphs_)
        for (const auto& span : p->links)
            if (span.href == href) return rectOfByte(*p, span.start);
    return std::nullopt;
}

std::vector<HTMLLayout::ImageBox> HTMLLayout::imageBoxes() const {
    std::vector<ImageBox> out;
    for (const auto& p : paragraphs_)
        for (const auto& img : p->images)
            out.push_back({CGRectOffset(img.rect, p->x, p->y), img.source, img.image != nullptr});
    return out;
}
