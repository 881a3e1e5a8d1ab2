#pragma once
// Fonts by name and size in points. Every name maps to an installed family list
// that covers Latin and Chinese; unknown names map to the system font.
//
// The class functions hand out one shared object per face and size, made on
// first use and kept: its metrics are worked out once, and the text functions
// ask for sized fonts (shrinking a line to fit) without remaking them.
#include <memory>
#include <mutex>
#include <string>

enum class UILineBreakMode { WordWrap, CharacterWrap, Clip, HeadTruncation, TailTruncation, MiddleTruncation };
enum class UITextAlignment { Left, Center, Right };
// Where a shrunken line sits vertically relative to the line of the original size.
enum class UIBaselineAdjustment { AlignBaselines, AlignCenters, None };

class UIFont {
public:
    UIFont(std::string name, std::string families, bool bold, double pointSize);

    static std::shared_ptr<UIFont> systemFontOfSize(double pt);
    static std::shared_ptr<UIFont> boldSystemFontOfSize(double pt);
    // Never null: unknown names map to the system font (bold when the name says "Bold").
    static std::shared_ptr<UIFont> fontWithName(const std::string& name, double pt);

    double pointSize() const { return pointSize_; }
    std::string fontName() const { return name_; }
    bool isBold() const { return bold_; }
    // Height of one line as text drawing lays it out; ascender + descender.
    double lineHeight() const;
    double ascender() const;
    double descender() const;  // negative, below the baseline (as UIKit reports it)
    // The font of this face at another size (the shared one).
    std::shared_ptr<UIFont> fontWithSize(double pt) const;

    // The Pango family list, e.g. "DejaVu Sans, WenQuanYi Micro Hei".
    const std::string& families() const { return families_; }

private:
    static std::shared_ptr<UIFont> shared(const std::string& name, const std::string& families, bool bold, double pt);
    void loadMetrics() const;

    std::string name_;
    std::string families_;
    bool bold_ = false;
    double pointSize_ = 0;
    mutable std::once_flag metricsOnce_;  // shared fonts are read from any thread
    mutable double ascender_ = 0, descender_ = 0;
};
