#include "platform/uikit/HTMLDocument.h"
#include "platform/foundation/TextHelpers.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {
constexpr int kMaxDepth = 400;
const char* const kObjectReplacement = "\xEF\xBF\xBC";  // U+FFFC, stands for an image

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

const char* attribute(const GumboNode* node, const char* name) {
    const GumboAttribute* a = gumbo_get_attribute(&node->v.element.attributes, name);
    return a ? a->value : nullptr;
}

// Parses "12", "12px", "12pt", "1.5em" (relative to `em`); nullopt otherwise.
std::optional<double> parseLength(const std::string& text, double em) {
    std::string s = lowercasedText(trimmedText(text));
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || !std::isfinite(v) || v < 0) return std::nullopt;
    std::string unit = trimmedText(end);
    if (unit.empty() || unit == "px") return v;
    if (unit == "pt") return v * 4.0 / 3.0;
    if (unit == "em" || unit == "rem") return v * em;
    if (unit == "%") return v * em / 100.0;
    return std::nullopt;
}

// CSS declarations of a style attribute, names lower-cased.
std::map<std::string, std::string> parseStyle(const char* style) {
    std::map<std::string, std::string> out;
    if (!style) return out;
    std::string s = style;
    size_t pos = 0;
    while (pos < s.size()) {
        size_t semi = s.find(';', pos);
        std::string decl = s.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos);
        size_t colon = decl.find(':');
        if (colon != std::string::npos)
            out[lowercasedText(trimmedText(decl.substr(0, colon)))] = trimmedText(decl.substr(colon + 1));
        if (semi == std::string::npos) break;
        pos = semi + 1;
    }
    return out;
}

// <font size>: 1 to 7, or relative to 3 with a sign.
double fontSizeForHTMLSize(const std::string& attr) {
    static const double sizes[] = {10, 13, 16, 18, 24, 32, 48};
    std::string s = trimmedText(attr);
    if (s.empty()) return 16;
    int n = std::atoi(s.c_str() + ((s[0] == '+') ? 1 : 0));
    if (s[0] == '+' || s[0] == '-') n += 3;
    n = std::clamp(n, 1, 7);
    return sizes[n - 1];
}

struct InlineStyle {
    bool bold = false, italic = false, underline = false;
    double fontSize = 16;
    std::optional<HTMLColor> color;
    std::string href;
    bool pre = false;
};

struct BlockStyle {
    HTMLAlign align = HTMLAlign::Left;
    double indent = 0;
};

class Builder {
public:
    explicit Builder(HTMLDocument& doc) : doc_(doc) {}

    void walk(const GumboNode* node, InlineStyle style, BlockStyle block, int depth) {
        // Content nested deeper than any real page is left out (the walk recurses).
        if (depth > kMaxDepth) return;
        switch (node->type) {
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_CDATA:
            case GUMBO_NODE_WHITESPACE:
                addText(node->v.text.text, style, block);
                return;
            case GUMBO_NODE_DOCUMENT:
                walkChildren(&node->v.document.children, style, block, depth);
                return;
            case GUMBO_NODE_ELEMENT:
            case GUMBO_NODE_TEMPLATE:
                element(node, style, block, depth);
                return;
            default:
                return;
        }
    }

    void finish() { flush(); }

private:
    void walkChildren(const GumboVector* children, const InlineStyle& style, const BlockStyle& block, int depth) {
        for (unsigned i = 0; i < children->length; ++i)
            walk(static_cast<const GumboNode*>(children->data[i]), style, block, depth + 1);
    }

    static std::string nodeText(const GumboNode* node) {
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA)
            return node->v.text.text;
        if (node->type != GUMBO_NODE_ELEMENT) return "";
        std::string s;
        const GumboVector& c = node->v.element.children;
        for (unsigned i = 0; i < c.length; ++i) s += nodeText(static_cast<const GumboNode*>(c.data[i]));
        return s;
    }

    static void applyStyleAttribute(const GumboNode* node, InlineStyle& style, BlockStyle& block) {
        auto css = parseStyle(attribute(node, "style"));
        if (auto it = css.find("color"); it != css.end())
            if (auto c = parseHTMLColor(it->second)) style.color = c;
        if (auto it = css.find("font-size"); it != css.end())
            if (auto v = parseLength(it->second, style.fontSize); v && *v > 0) style.fontSize = std::min(*v, 200.0);
        if (auto it = css.find("font-weight"); it != css.end()) {
            std::string w = lowercasedText(it->second);
            style.bold = w == "bold" || w == "bolder" || std::atoi(w.c_str()) >= 600;
        }
        if (auto it = css.find("font-style"); it != css.end()) style.italic = lowercasedText(it->second) != "normal";
        if (auto it = css.find("text-decoration"); it != css.end())
            style.underline = lowercasedText(it->second).find("underline") != std::string::npos;
        if (auto it = css.find("text-align"); it != css.end()) block.align = alignFrom(it->second, block.align);
        if (const char* align = attribute(node, "align")) block.align = alignFrom(align, block.align);
    }

    static HTMLAlign alignFrom(const std::string& value, HTMLAlign fallback) {
        std::string v = lowercasedText(trimmedText(value));
        if (v == "center" || v == "middle") return HTMLAlign::Center;
        if (v == "right") return HTMLAlign::Right;
        if (v == "left" || v == "justify") return HTMLAlign::Left;
        return fallback;
    }

    void element(const GumboNode* node, InlineStyle style, BlockStyle block, int depth) {
        GumboTag tag = node->v.element.tag;
        switch (tag) {
            case GUMBO_TAG_HEAD:
                for (unsigned i = 0; i < node->v.element.children.length; ++i) {
                    auto* child = static_cast<const GumboNode*>(node->v.element.children.data[i]);
                    if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_TITLE &&
                        doc_.title.empty())
                        doc_.title = collapse(nodeText(child));
                }
                return;
            case GUMBO_TAG_SCRIPT:
            case GUMBO_TAG_STYLE:
            case GUMBO_TAG_NOSCRIPT:
            case GUMBO_TAG_TEMPLATE:
            case GUMBO_TAG_IFRAME:
            case GUMBO_TAG_OBJECT:
            case GUMBO_TAG_EMBED:
            case GUMBO_TAG_SELECT:
            case GUMBO_TAG_TEXTAREA:
            case GUMBO_TAG_TITLE:
            case GUMBO_TAG_META:
            case GUMBO_TAG_LINK:
            case GUMBO_TAG_INPUT:
            case GUMBO_TAG_BUTTON:
                return;
            case GUMBO_TAG_BR:
                lineBreak(block);
                return;
            case GUMBO_TAG_HR:
                flush();
                {
                    HTMLParagraph p;
                    p.rule = true;
                    p.marginTop = std::max(pendingMargin_, 8.0);
                    p.marginBottom = 8;
                    p.indent = block.indent;
                    doc_.paragraphs.push_back(std::move(p));
                    pendingMargin_ = 0;
                }
                return;
            case GUMBO_TAG_IMG: {
                HTMLRun run;
                run.kind = HTMLRun::Kind::Image;
                const char* src = attribute(node, "src");
                run.imageSource = src ? trimmedText(src) : "";
                const char* alt = attribute(node, "alt");
                run.text = alt ? alt : "";
                if (const char* w = attribute(node, "width"))
                    run.imageWidth = parseLength(w, style.fontSize).value_or(0);
                if (const char* h = attribute(node, "height"))
                    run.imageHeight = parseLength(h, style.fontSize).value_or(0);
                run.imageWidth = std::min(run.imageWidth, 4000.0);
                run.imageHeight = std::min(run.imageHeight, 4000.0);
                run.href = style.href;
                ensureParagraph(block);
                current_->runs.push_back(std::move(run));
                lastWasSpace_ = false;
                return;
            }
            default:
                break;
        }

        bool isBlock = false;
        double margin = 0;
        std::string bullet;
        switch (tag) {
            case GUMBO_TAG_B:
            case GUMBO_TAG_STRONG:
            case GUMBO_TAG_TH:
                style.bold = true;
                isBlock = false;
                break;
            case GUMBO_TAG_I:
            case GUMBO_TAG_EM:
            case GUMBO_TAG_CITE:
            case GUMBO_TAG_VAR:
            case GUMBO_TAG_ADDRESS:
                style.italic = true;
                isBlock = tag == GUMBO_TAG_ADDRESS;
                break;
            case GUMBO_TAG_U:
            case GUMBO_TAG_INS:
                style.underline = true;
                break;
            case GUMBO_TAG_BIG:
                style.fontSize *= 1.2;
                break;
            case GUMBO_TAG_SMALL:
                style.fontSize /= 1.2;
                break;
            case GUMBO_TAG_A:
                if (const char* href = attribute(node, "href")) {
                    style.href = trimmedText(href);
                    style.underline = true;
                    style.color = doc_.linkColor.value_or(HTMLColor{0, 0, 0.93, 1});
                }
                break;
            case GUMBO_TAG_FONT:
                if (const char* size = attribute(node, "size")) style.fontSize = fontSizeForHTMLSize(size);
                if (const char* color = attribute(node, "color"))
                    if (auto c = parseHTMLColor(color)) style.color = c;
                break;
            case GUMBO_TAG_H1:
            case GUMBO_TAG_H2:
            case GUMBO_TAG_H3:
            case GUMBO_TAG_H4:
            case GUMBO_TAG_H5:
            case GUMBO_TAG_H6: {
                static const double sizes[] = {32, 24, 18.72, 16, 13.28, 10.72};
                style.fontSize = sizes[tag - GUMBO_TAG_H1];
                style.bold = true;
                isBlock = true;
                margin = style.fontSize * 0.67;
                break;
            }
            case GUMBO_TAG_P:
                isBlock = true;
                margin = style.fontSize;
                break;
            case GUMBO_TAG_PRE:
                isBlock = true;
                margin = style.fontSize;
                style.pre = true;
                break;
            case GUMBO_TAG_CENTER:
                isBlock = true;
                block.align = HTMLAlign::Center;
                break;
            case GUMBO_TAG_BLOCKQUOTE:
            case GUMBO_TAG_DD:
                isBlock = true;
                margin = tag == GUMBO_TAG_BLOCKQUOTE ? style.fontSize : 0;
                block.indent += 30;
                break;
            case GUMBO_TAG_UL:
            case GUMBO_TAG_OL:
                isBlock = true;
                margin = listDepth_ == 0 ? style.fontSize : 0;
                block.indent += 24;
                break;
            case GUMBO_TAG_LI: {
                isBlock = true;
                const GumboNode* parent = node->parent;
                if (parent && parent->type == GUMBO_NODE_ELEMENT && parent->v.element.tag == GUMBO_TAG_OL) {
                    int n = 0;
                    const GumboVector& siblings = parent->v.element.children;
                    for (unsigned i = 0; i < siblings.length; ++i) {
                        auto* s = static_cast<const GumboNode*>(siblings.data[i]);
                        if (s->type == GUMBO_NODE_ELEMENT && s->v.element.tag == GUMBO_TAG_LI) ++n;
                        if (s == node) break;
                    }
                    bullet = std::to_string(n) + ". ";
                } else {
                    bullet = "\xE2\x80\xA2 ";  // •
                }
                break;
            }
            case GUMBO_TAG_TD:
                // Cells of a row share its line, apart by a gap.
                if (current_ && !current_->runs.empty() && !lastWasSpace_) addText("   ", style, block, true);
                break;
            case GUMBO_TAG_DIV:
            case GUMBO_TAG_TR:
            case GUMBO_TAG_TABLE:
            case GUMBO_TAG_SECTION:
            case GUMBO_TAG_ARTICLE:
            case GUMBO_TAG_HEADER:
            case GUMBO_TAG_FOOTER:
            case GUMBO_TAG_NAV:
            case GUMBO_TAG_ASIDE:
            case GUMBO_TAG_MAIN:
            case GUMBO_TAG_FORM:
            case GUMBO_TAG_DL:
            case GUMBO_TAG_DT:
            case GUMBO_TAG_FIGURE:
            case GUMBO_TAG_CAPTION:
            case GUMBO_TAG_FIELDSET:
            case GUMBO_TAG_TBODY:
            case GUMBO_TAG_THEAD:
            case GUMBO_TAG_TFOOT:
            case GUMBO_TAG_HTML:
                isBlock = true;
                break;
            case GUMBO_TAG_BODY: {
                isBlock = true;
                auto css = parseStyle(attribute(node, "style"));
                const char* bg = attribute(node, "bgcolor");
                std::string bgText = bg ? bg : "";
                if (auto it = css.find("background-color"); it != css.end())
                    bgText = it->second;
                else if (auto it2 = css.find("background"); it2 != css.end())
                    bgText = it2->second;
                if (auto c = parseHTMLColor(bgText)) doc_.background = c;
                if (const char* text = attribute(node, "text"))
                    if (auto c = parseHTMLColor(text)) doc_.textColor = c;
                if (const char* link = attribute(node, "link"))
                    if (auto c = parseHTMLColor(link)) doc_.linkColor = c;
                break;
            }
            default:
                break;
        }
        applyStyleAttribute(node, style, block);

        if (isBlock) {
            flush();
            pendingMargin_ = std::max(pendingMargin_, margin);
        }
        if (!bullet.empty()) {
            ensureParagraph(block);
            addText(bullet, style, block, true);
            lastWasSpace_ = true;
        }
        bool isList = tag == GUMBO_TAG_UL || tag == GUMBO_TAG_OL;
        if (isList) ++listDepth_;
        walkChildren(&node->v.element.children, style, block, depth);
        if (isList) --listDepth_;
        if (isBlock) {
            flush();
            pendingMargin_ = std::max(pendingMargin_, margin);
        }
    }

    static std::string collapse(const std::string& text) {
        std::string out;
        bool space = false;
        for (char c : text) {
            if (isSpace(c)) {
                space = true;
                continue;
            }
            if (space && !out.empty()) out += ' ';
            space = false;
            out += c;
        }
        return out;
    }

    void ensureParagraph(const BlockStyle& block) {
        if (current_) return;
        doc_.paragraphs.emplace_back();
        current_ = &doc_.paragraphs.back();
        current_->align = block.align;
        current_->indent = block.indent;
        current_->marginTop = pendingMargin_;
        pendingMargin_ = 0;
        lastWasSpace_ = true;
    }

    void appendRun(const std::string& text, const InlineStyle& style) {
        if (text.empty()) return;
        auto& runs = current_->runs;
        if (!runs.empty()) {
            HTMLRun& last = runs.back();
            if (last.kind == HTMLRun::Kind::Text && last.bold == style.bold && last.italic == style.italic &&
                last.underline == style.underline && last.fontSize == style.fontSize && last.color == style.color &&
                last.href == style.href) {
                last.text += text;
                return;
            }
        }
        HTMLRun run;
        run.text = text;
        run.bold = style.bold;
        run.italic = style.italic;
        run.underline = style.underline;
        run.fontSize = style.fontSize;
        run.color = style.color;
        run.href = style.href;
        runs.push_back(std::move(run));
    }

    void addText(const std::string& raw, const InlineStyle& style, const BlockStyle& block, bool verbatim = false) {
        if (style.pre || verbatim) {
            if (raw.empty()) return;
            ensureParagraph(block);
            std::string text;
            for (char c : raw)
                if (c != '\r') text += c;
            appendRun(text, style);
            lastWasSpace_ = !text.empty() && isSpace(text.back());
            return;
        }
        std::string text;
        bool pendingSpace = false;
        for (char c : raw) {
            if (isSpace(c)) {
                pendingSpace = true;
                continue;
            }
            if (pendingSpace && !(text.empty() && lastWasSpace_)) text += ' ';
            pendingSpace = false;
            text += c;
        }
        if (pendingSpace && !(text.empty() && lastWasSpace_)) text += ' ';
        if (text.empty() || (text == " " && !current_)) return;
        ensureParagraph(block);
        if (text == " " && lastWasSpace_) return;
        appendRun(text, style);
        lastWasSpace_ = text.back() == ' ';
    }

    void lineBreak(const BlockStyle& block) {
        ensureParagraph(block);
        // Trailing space before a break is not shown.
        if (!current_->runs.empty() && current_->runs.back().kind == HTMLRun::Kind::Text) {
            auto& t = current_->runs.back().text;
            while (!t.empty() && t.back() == ' ') t.pop_back();
        }
        InlineStyle plain;
        if (!current_->runs.empty()) {
            const HTMLRun& last = current_->runs.back();
            plain.fontSize = last.fontSize;
        }
        HTMLRun run;
        run.text = "\n";
        run.fontSize = plain.fontSize;
        current_->runs.push_back(std::move(run));
        lastWasSpace_ = true;
    }

    void flush() {
        if (!current_) return;
        auto& runs = current_->runs;
        // Spaces at the end are not shown, nor the break that ends a paragraph.
        while (!runs.empty() && runs.back().kind == HTMLRun::Kind::Text) {
            auto& t = runs.back().text;
            while (!t.empty() && t.back() == ' ') t.pop_back();
            if (t == "\n" && runs.size() > 1) {
                runs.pop_back();
                break;
            }
            if (!t.empty()) break;
            runs.pop_back();
        }
        bool empty = std::all_of(runs.begin(), runs.end(),
                                 [](const HTMLRun& r) { return r.kind == HTMLRun::Kind::Text && r.text.empty(); });
        if (empty) {
            pendingMargin_ = std::max(pendingMargin_, current_->marginTop);
            doc_.paragraphs.pop_back();
        }
        current_ = nullptr;
    }

    HTMLDocument& doc_;
    HTMLParagraph* current_ = nullptr;
    double pendingMargin_ = 0;
    bool lastWasSpace_ = true;
    int listDepth_ = 0;
};

const std::map<std::string, HTMLColor>& namedColors() {
    static const std::map<std::string, HTMLColor> colors = {
        {"black", {0, 0, 0}},
        {"white", {1, 1, 1}},
        {"red", {1, 0, 0}},
        {"green", {0, 128 / 255.0, 0}},
        {"lime", {0, 1, 0}},
        {"blue", {0, 0, 1}},
        {"navy", {0, 0, 128 / 255.0}},
        {"yellow", {1, 1, 0}},
        {"gray", {128 / 255.0, 128 / 255.0, 128 / 255.0}},
        {"grey", {128 / 255.0, 128 / 255.0, 128 / 255.0}},
        {"silver", {192 / 255.0, 192 / 255.0, 192 / 255.0}},
        {"maroon", {128 / 255.0, 0, 0}},
        {"purple", {128 / 255.0, 0, 128 / 255.0}},
        {"fuchsia", {1, 0, 1}},
        {"magenta", {1, 0, 1}},
        {"teal", {0, 128 / 255.0, 128 / 255.0}},
        {"olive", {128 / 255.0, 128 / 255.0, 0}},
        {"aqua", {0, 1, 1}},
        {"cyan", {0, 1, 1}},
        {"orange", {1, 165 / 255.0, 0}},
        {"brown", {165 / 255.0, 42 / 255.0, 42 / 255.0}},
        {"darkred", {139 / 255.0, 0, 0}},
        {"darkgreen", {0, 100 / 255.0, 0}},
        {"darkblue", {0, 0, 139 / 255.0}},
        {"lightgray", {211 / 255.0, 211 / 255.0, 211 / 255.0}},
        {"lightgrey", {211 / 255.0, 211 / 255.0, 211 / 255.0}},
        {"darkgray", {169 / 255.0, 169 / 255.0, 169 / 255.0}},
        {"transparent", {0, 0, 0, 0}},
    };
    return colors;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The part of an address before its path: "scheme://authority".
std::string originOf(const std::string& url) {
    auto scheme = url.find("://");
    if (scheme == std::string::npos) return "";
    auto slash = url.find_first_of("/?#", scheme + 3);
    return slash == std::string::npos ? url : url.substr(0, slash);
}

bool hasScheme(const std::string& s) {
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    for (size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == ':') return true;
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}

// Removes "." and ".." segments of a path.
std::string normalizePath(const std::string& path) {
    std::vector<std::string> parts;
    size_t pos = 0;
    bool trailingSlash = !path.empty() && path.back() == '/';
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        std::string seg = path.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        if (seg == "..") {
            if (!parts.empty()) parts.pop_back();
            trailingSlash = true;
        } else if (seg == ".") {
            trailingSlash = true;
        } else if (!seg.empty()) {
            parts.push_back(seg);
            trailingSlash = false;
        }
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    if (!path.empty() && path.back() == '/') trailingSlash = true;
    std::string out;
    for (auto& p : parts) out += "/" + p;
    if (out.empty() || trailingSlash) out += "/";
    return out;
}
}  // namespace

std::string HTMLParagraph::text() const {
    std::string s;
    for (auto& r : runs) s += r.kind == HTMLRun::Kind::Image ? std::string(kObjectReplacement) : r.text;
    return s;
}

HTMLDocument HTMLDocument::parse(const std::string& html) {
    HTMLDocument doc;
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // parse errors are not reported: no need to keep them
    GumboOutput* output = gumbo_parse_with_options(&options, html.data(), html.size());
    if (!output) return doc;
    Builder builder(doc);
    builder.walk(output->document, InlineStyle{}, BlockStyle{}, 0);
    builder.finish();
    gumbo_destroy_output(&options, output);
    return doc;
}

std::string HTMLDocument::plainText() const {
    std::string s;
    for (auto& p : paragraphs) {
        if (p.rule) continue;
        std::string line;
        for (auto& r : p.runs)
            if (r.kind == HTMLRun::Kind::Text) line += r.text;
        if (!s.empty()) s += "\n";
        s += line;
    }
    return s;
}

std::vector<std::string> HTMLDocument::links() const {
    std::vector<std::string> out;
    for (auto& p : paragraphs)
        for (auto& r : p.runs)
            if (!r.href.empty() && std::find(out.begin(), out.end(), r.href) == out.end()) out.push_back(r.href);
    return out;
}

std::optional<HTMLColor> parseHTMLColor(const std::string& text) {
    std::string s = lowercasedText(trimmedText(text));
    if (s.empty()) return std::nullopt;
    if (s[0] == '#' || (s.size() == 6 && std::all_of(s.begin(), s.end(), [](char c) { return hexValue(c) >= 0; }))) {
        std::string h = s[0] == '#' ? s.substr(1) : s;
        if (!std::all_of(h.begin(), h.end(), [](char c) { return hexValue(c) >= 0; })) return std::nullopt;
        if (h.size() == 3)
            return HTMLColor{hexValue(h[0]) * 17 / 255.0, hexValue(h[1]) * 17 / 255.0, hexValue(h[2]) * 17 / 255.0, 1};
        if (h.size() == 6)
            return HTMLColor{(hexValue(h[0]) * 16 + hexValue(h[1])) / 255.0,
                             (hexValue(h[2]) * 16 + hexValue(h[3])) / 255.0,
                             (hexValue(h[4]) * 16 + hexValue(h[5])) / 255.0, 1};
        return std::nullopt;
    }
    if (s.rfind("rgb", 0) == 0) {
        auto open = s.find('('), close = s.find(')');
        if (open == std::string::npos || close == std::string::npos || close < open) return std::nullopt;
        std::string inner = s.substr(open + 1, close - open - 1);
        double v[4] = {0, 0, 0, 1};
        int n = 0;
        size_t pos = 0;
        while (n < 4 && pos <= inner.size()) {
            size_t comma = inner.find(',', pos);
            std::string part =
                trimmedText(inner.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
            char* end = nullptr;
            double x = std::strtod(part.c_str(), &end);
            if (end == part.c_str() || !std::isfinite(x)) return std::nullopt;
            v[n++] = x;
            if (comma == std::string::npos) break;
            pos = comma + 1;
        }
        if (n < 3) return std::nullopt;
        return HTMLColor{std::clamp(v[0], 0.0, 255.0) / 255.0, std::clamp(v[1], 0.0, 255.0) / 255.0,
                         std::clamp(v[2], 0.0, 255.0) / 255.0, std::clamp(v[3], 0.0, 1.0)};
    }
    auto it = namedColors().find(s);
    if (it == namedColors().end()) return std::nullopt;
    return it->second;
}

std::string resolveURL(const std::string& base, const std::string& reference) {
    std::string ref = trimmedText(reference);
    if (ref.empty()) return base;
    if (ref[0] == '@' || hasScheme(ref) || base.empty() || base == "about:blank") return ref;
    std::string origin = originOf(base);
    if (ref.rfind("//", 0) == 0) {
        auto colon = base.find(':');
        return colon == std::string::npos ? ref : base.substr(0, colon + 1) + ref;
    }
    std::string withoutFragment = base.substr(0, base.find('#'));
    if (ref[0] == '#') return withoutFragment + ref;
    std::string withoutQuery = withoutFragment.substr(0, withoutFragment.find('?'));
    if (ref[0] == '?') return withoutQuery + ref;
    if (origin.empty()) {
        // A base without an authority (such as "file:/x/y" or a bare path): join the paths.
        auto slash = withoutQuery.rfind('/');
        return (slash == std::string::npos ? std::string() : withoutQuery.substr(0, slash + 1)) + ref;
    }
    std::string basePath = withoutQuery.substr(origin.size());
    if (basePath.empty()) basePath = "/";
    // Keep the query and fragment of the reference apart from its path.
    auto tail = ref.find_first_of("?#");
    std::string refPath = ref.substr(0, tail);
    std::string refTail = tail == std::string::npos ? "" : ref.substr(tail);
    std::string path;
    if (refPath.empty())
        path = basePath;
    else if (refPath[0] == '/')
        path = refPath;
    else
        path = basePath.substr(0, basePath.rfind('/') + 1) + refPath;
    return origin + normalizePath(path) + refTail;
}

std::string escapeHTML(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}
