#include "platform/graphics/UIFont.h"

#include "platform/graphics/PangoSupport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <tuple>

namespace {

// Every face lists a Latin family and a Chinese one, so mixed text renders.
// Liberation Sans has Arial's and Helvetica's widths, so numbers fit the
// fixed columns the screens were laid out for; DejaVu stands in without it.
const char* const kSans = "Liberation Sans, DejaVu Sans, WenQuanYi Micro Hei, sans-serif";
const char* const kHei = "WenQuanYi Micro Hei, Liberation Sans, DejaVu Sans, sans-serif";
const char* const kMono = "Liberation Mono, DejaVu Sans Mono, WenQuanYi Micro Hei Mono, monospace";

std::string squeeze(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == ' ' || c == '-' || c == '_') continue;
        out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

struct Face {
    const char* families;
    bool bold;
};

Face faceForName(const std::string& name) {
    std::string key = squeeze(name);
    bool bold = key.find("bold") != std::string::npos || key.find("heavy") != std::string::npos ||
                key.find("black") != std::string::npos;
    if (key.rfind("stheiti", 0) == 0 || key.rfind("heiti", 0) == 0 || key.rfind("stxihei", 0) == 0 ||
        key.rfind("pingfang", 0) == 0)
        return {kHei, bold || key.find("medium") != std::string::npos};
    if (key.rfind("courier", 0) == 0 || key.rfind("menlo", 0) == 0 || key.rfind("monaco", 0) == 0) return {kMono, bold};
    // Arial, ArialMT, ArialRoundedMTBold, Helvetica, Helvetica Neue, ... and unknown names.
    return {kSans, bold};
}

}  // namespace

UIFont::UIFont(std::string name, std::string families, bool bold, double pointSize)
    : name_(std::move(name)),
      families_(std::move(families)),
      bold_(bold),
      pointSize_(std::isfinite(pointSize) && pointSize > 0 ? pointSize : 12) {}

std::shared_ptr<UIFont> UIFont::shared(const std::string& name, const std::string& families, bool bold, double pt) {
    using Key = std::tuple<std::string, std::string, bool, double>;
    static std::mutex mutex;
    static std::map<Key, std::shared_ptr<UIFont>> fonts;
    auto font = std::make_shared<UIFont>(name, families, bold, pt);  // its size made valid
    std::lock_guard<std::mutex> lock(mutex);
    auto& kept = fonts[Key(name, families, bold, font->pointSize())];
    if (!kept) kept = std::move(font);
    return kept;
}

std::shared_ptr<UIFont> UIFont::systemFontOfSize(double pt) { return shared("Helvetica", kSans, false, pt); }

std::shared_ptr<UIFont> UIFont::boldSystemFontOfSize(double pt) { return shared("Helvetica-Bold", kSans, true, pt); }

std::shared_ptr<UIFont> UIFont::fontWithName(const std::string& name, double pt) {
    Face f = faceForName(name);
    return shared(name.empty() ? std::string("Helvetica") : name, f.families, f.bold, pt);
}

std::shared_ptr<UIFont> UIFont::fontWithSize(double pt) const { return shared(name_, families_, bold_, pt); }

void UIFont::loadMetrics() const {
    std::call_once(metricsOnce_, [this] {
        // A line holding Latin and Chinese: the box every drawn line gets.
        PangoLayoutPtr layout = makePangoLayout("Ag\xE6\xB5\xA6", *this, pointSize_);
        PangoRectangle logical;
        pango_layout_get_extents(layout.get(), nullptr, &logical);
        double baseline = fromPango(pango_layout_get_baseline(layout.get()));
        ascender_ = baseline - fromPango(logical.y);
        descender_ = -(fromPango(logical.y + logical.height) - baseline);
    });
}

double UIFont::lineHeight() const {
    loadMetrics();
    return ascender_ - descender_;
}

double UIFont::ascender() const {
    loadMetrics();
    return ascender_;
}

double UIFont::descender() const {
    loadMetrics();
    return descender_;
}
