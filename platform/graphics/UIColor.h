#pragma once
// A colour: red, green, blue, alpha in 0..1 (device RGB), or a pattern colour
// that tiles an image. Views hold std::shared_ptr<UIColor>; nullptr is "no colour".
#include <memory>

class UIImage;

class UIColor {
public:
    UIColor(double r, double g, double b, double a);

    static std::shared_ptr<UIColor> colorWithRed(double r, double g, double b, double a);
    static std::shared_ptr<UIColor> colorWithWhite(double w, double a);
    // Tiles the image from the origin of the user space it is filled in.
    // A null image gives a clear colour.
    static std::shared_ptr<UIColor> colorWithPatternImage(std::shared_ptr<UIImage> image);
    // 0xRRGGBB with an alpha (an addition for colours written in hex).
    static std::shared_ptr<UIColor> colorWithRGBHex(unsigned rgb, double a = 1.0);

    static std::shared_ptr<UIColor> blackColor();
    static std::shared_ptr<UIColor> whiteColor();
    static std::shared_ptr<UIColor> clearColor();
    static std::shared_ptr<UIColor> redColor();
    static std::shared_ptr<UIColor> greenColor();
    static std::shared_ptr<UIColor> blueColor();
    static std::shared_ptr<UIColor> grayColor();
    static std::shared_ptr<UIColor> darkGrayColor();
    static std::shared_ptr<UIColor> lightGrayColor();
    static std::shared_ptr<UIColor> yellowColor();
    static std::shared_ptr<UIColor> orangeColor();
    static std::shared_ptr<UIColor> cyanColor();
    static std::shared_ptr<UIColor> magentaColor();
    static std::shared_ptr<UIColor> brownColor();
    static std::shared_ptr<UIColor> purpleColor();
    static std::shared_ptr<UIColor> groupTableViewBackgroundColor();

    double red() const { return r_; }
    double green() const { return g_; }
    double blue() const { return b_; }
    double alpha() const { return a_; }
    // For a pattern colour the alpha multiplies the image.
    std::shared_ptr<UIColor> colorWithAlphaComponent(double a) const;
    std::shared_ptr<UIImage> patternImage() const { return pattern_; }

    // Sets this colour as the fill of the current context (UIKit's -set / -setFill / -setStroke).
    void set() const;
    void setFill() const;
    void setStroke() const;

    bool operator==(const UIColor& o) const;
    bool operator!=(const UIColor& o) const { return !(*this == o); }

private:
    double r_ = 0, g_ = 0, b_ = 0, a_ = 0;
    std::shared_ptr<UIImage> pattern_;
};
