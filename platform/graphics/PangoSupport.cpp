#include "platform/graphics/PangoSupport.h"

#include "platform/graphics/UIFont.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <unordered_map>

void GObjectUnref::operator()(void* p) const {
    if (p) g_object_unref(p);
}

namespace {
struct ContextHolder {
    PangoContext* context = nullptr;
    ContextHolder() {
        context = pango_font_map_create_context(pango_cairo_font_map_get_default());
        cairo_font_options_t* fo = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(context, fo);
        cairo_font_options_destroy(fo);
        pango_context_set_round_glyph_positions(context, FALSE);
        pango_context_set_language(context, pango_language_from_string("zh-cn"));
    }
    ~ContextHolder() {
        if (context) g_object_unref(context);
    }
};
}  // namespace

PangoContext* threadPangoContext() {
    thread_local ContextHolder holder;
    return holder.context;
}

std::string validUtf8(const std::string& text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out(fixed);
    g_free(fixed);
    return out;
}

PangoLayoutPtr makePangoLayout(const std::string& utf8, const std::string& families, bool bold, double size) {
    PangoLayoutPtr layout(pango_layout_new(threadPangoContext()));
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, families.c_str());
    pango_font_description_set_weight(d, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    if (!std::isfinite(size) || size < 0.5) size = 0.5;
    if (size > 2000) size = 2000;
    pango_font_description_set_absolute_size(d, size * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), d);
    pango_font_description_free(d);
    pango_layout_set_text(layout.get(), utf8.data(), static_cast<int>(utf8.size()));
    return layout;
}

PangoLayoutPtr makePangoLayout(const std::string& utf8, const UIFont& font, double size) {
    return makePangoLayout(utf8, font.families(), font.isBold(), size);
}

namespace {

// The kept layouts of a thread (its Pango context's), by face, size and text.
class LineLayouts {
public:
    ~LineLayouts() { clear(); }
    PangoLayout* get(const std::string& utf8, const UIFont& font, double size) {
        std::string key = font.families();
        key += font.isBold() ? "\x1f"
                               "b"
                             : "\x1f"
                               "r";
        key.append(reinterpret_cast<const char*>(&size), sizeof size);
        key += utf8;
        auto found = layouts_.find(key);
        if (found != layouts_.end()) return found->second;
        if (layouts_.size() >= kKept) clear();  // a new screen's texts: start over
        PangoLayoutPtr layout = makePangoLayout(utf8, font, size);
        pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
        return layouts_.emplace(std::move(key), layout.release()).first->second;
    }

private:
    static constexpr size_t kKept = 512;
    void clear() {
        for (auto& [key, layout] : layouts_) g_object_unref(layout);
        layouts_.clear();
    }
    std::unordered_map<std::string, PangoLayout*> layouts_;
};

}  // namespace

PangoLayoutPtr sharedLineLayout(const std::string& utf8, const UIFont& font, double size) {
    thread_local LineLayouts layouts;
    return PangoLayoutPtr(static_cast<PangoLayout*>(g_object_ref(layouts.get(utf8, font, size))));
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RD_GRAPHICS_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(RD_GRAPHICS_ASAN)
// Fontconfig, Pango, Cairo and GLib keep process-wide caches (font sets, glyph
// caches, type registrations) that they never free; they are not our leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libpangocairo-1.0.so\n"
           "leak:libcairo.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libharfbuzz.so\n"
           "leak:libfreetype.so\n";
}
#endif
