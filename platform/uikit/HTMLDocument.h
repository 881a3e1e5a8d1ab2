#pragma once
// The part of an HTML page the web view shows, read with gumbo-parser: the
// title, the page colours, and the body as paragraphs of styled runs (text in
// bold or italics, sizes, colours, links) and inline images. Scripts, styles and
// forms are not run or shown. Whitespace collapses as in a browser except in
// <pre>; <br> breaks a line; block elements (p, div, center, h1-h6, li, tr,
// blockquote, hr...) start paragraphs with their margins and alignment.
#include <optional>
#include <string>
#include <vector>

struct HTMLColor {
    double r = 0, g = 0, b = 0, a = 1;
    bool operator==(const HTMLColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct HTMLRun {
    enum class Kind { Text, Image };
    Kind kind = Kind::Text;
    std::string text;  // Text: UTF-8; Image: the alt text
    bool bold = false, italic = false, underline = false;
    double fontSize = 16;                    // points
    std::optional<HTMLColor> color;          // none: the page's text colour
    std::string href;                        // the link's address as written (empty: not a link)
    std::string imageSource;                 // Image: src as written
    double imageWidth = 0, imageHeight = 0;  // Image: from the attributes (0: the image's own)
};

enum class HTMLAlign { Left, Center, Right };

struct HTMLParagraph {
    std::vector<HTMLRun> runs;
    HTMLAlign align = HTMLAlign::Left;
    double marginTop = 0, marginBottom = 0;
    double indent = 0;
    bool rule = false;  // a horizontal rule (<hr>), no runs
    // The paragraph's text (images as U+FFFC), as laid out.
    std::string text() const;
};

struct HTMLDocument {
    std::string title;
    std::optional<HTMLColor> background, textColor, linkColor;
    std::vector<HTMLParagraph> paragraphs;

    // Never fails: anything gumbo reads (it reads anything) gives a document.
    static HTMLDocument parse(const std::string& html);
    // Text shown, one paragraph per line (images show nothing).
    std::string plainText() const;
    // The link addresses in the order they appear (once each).
    std::vector<std::string> links() const;
};

// "red", "#f00", "#ff0000", "rgb(255,0,0)"; nullopt when not a colour.
std::optional<HTMLColor> parseHTMLColor(const std::string& text);
// The address a reference in a page at `base` points to. A reference with a
// scheme, and a link command of the page (beginning with "@"), stay as written.
std::string resolveURL(const std::string& base, const std::string& reference);
// Minimal escaping for pasting text into a page: & < > " '.
std::string escapeHTML(const std::string& text);
