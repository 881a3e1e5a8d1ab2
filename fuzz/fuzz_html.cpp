// The web page's HTML reader under arbitrary text: parse, read every
// paragraph, colour and link, and resolve each link against the page's address.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/uikit/HTMLDocument.h"

namespace {

void checkColor(const std::optional<HTMLColor>& c) {
    if (!c) return;
    for (double part : {c->r, c->g, c->b, c->a})
        if (!(part >= 0 && part <= 1)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string html(reinterpret_cast<const char*>(data), size);
    HTMLDocument doc = HTMLDocument::parse(html);
    checkColor(doc.background);
    checkColor(doc.textColor);
    checkColor(doc.linkColor);
    for (const auto& paragraph : doc.paragraphs) {
        paragraph.text();
        if (!std::isfinite(paragraph.marginTop) || !std::isfinite(paragraph.marginBottom)) std::abort();
        for (const auto& run : paragraph.runs) {
            checkColor(run.color);
            if (!std::isfinite(run.fontSize) || run.fontSize <= 0) std::abort();
            if (!std::isfinite(run.imageWidth) || !std::isfinite(run.imageHeight)) std::abort();
        }
    }
    doc.plainText();
    for (const auto& link : doc.links()) resolveURL("http://127.0.0.1:8010/page/news.html", link);
    // Colour texts and escaping on their own.
    checkColor(parseHTMLColor(html));
    std::string escaped = escapeHTML(html);
    if (escaped.find('<') != std::string::npos || escaped.find('>') != std::string::npos) std::abort();
    return 0;
}
