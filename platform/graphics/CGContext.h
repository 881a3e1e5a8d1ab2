#pragma once
// A drawing context over a cairo_t, in points with y pointing down (UIKit's
// coordinate system). The creator of the cairo_t sets its base transform (for
// example the 2x screen scale) as the cairo matrix, not as a surface device
// scale, before constructing; the context does not own the cairo_t.
//
// Graphics state beyond cairo's own (fill and stroke colours, alpha, shadow,
// blend mode) is saved and restored with saveGState/restoreGState, together with
// cairo's state (CTM, clip, line width, caps, joins, dashes).
#include "platform/graphics/Geometry.h"
#include "platform/graphics/UIColor.h"

#include <functional>
#include <memory>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
class UIImage;

enum class CGLineCap { Butt, Round, Square };
enum class CGLineJoin { Miter, Round, Bevel };
enum class CGPathDrawingMode { Fill, EOFill, Stroke, FillStroke, EOFillStroke };
enum class CGBlendMode {
    Normal,
    Multiply,
    Screen,
    Overlay,
    Darken,
    Lighten,
    ColorDodge,
    ColorBurn,
    SoftLight,
    HardLight,
    Difference,
    Exclusion,
    Hue,
    Saturation,
    Color,
    Luminosity,
    Clear,
    Copy,
    SourceIn,
    SourceOut,
    SourceAtop,
    DestinationOver,
    DestinationIn,
    DestinationOut,
    DestinationAtop,
    XOR,
    PlusDarker,
    PlusLighter
};
// Gradient options (bit flags).
enum : unsigned {
    kCGGradientDrawsBeforeStartLocation = 1u << 0,
    kCGGradientDrawsAfterEndLocation = 1u << 1,
};

class CGContext {
public:
    explicit CGContext(cairo_t* cr);  // does not own
    ~CGContext();
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    cairo_t* cairo() const { return cr_; }
    // Device pixels per point of the base space (shadow offsets and blur are in
    // base-space points). Taken from the cairo_t's matrix at construction.
    double baseScale() const { return baseScale_; }
    void setBaseScale(double s) { baseScale_ = s > 0 ? s : 1; }

    void saveGState();
    void restoreGState();

    // Colours. Text is drawn in the fill colour.
    void setFillColor(const UIColor& c);
    void setFillColor(double r, double g, double b, double a);
    void setStrokeColor(const UIColor& c);
    void setStrokeColor(double r, double g, double b, double a);
    void setGrayFillColor(double w, double a) { setFillColor(w, w, w, a); }
    void setGrayStrokeColor(double w, double a) { setStrokeColor(w, w, w, a); }
    const UIColor& fillColor() const;
    const UIColor& strokeColor() const;

    void setLineWidth(double w);
    double lineWidth() const;
    void setLineCap(CGLineCap cap);
    void setLineJoin(CGLineJoin join);
    void setMiterLimit(double limit);
    // Empty lengths: solid lines.
    void setLineDash(double phase, const std::vector<double>& lengths);
    // Multiplies everything drawn afterwards (0..1).
    void setAlpha(double a);
    double alpha() const;
    void setShouldAntialias(bool on);

    // Path construction (in user space).
    void beginPath();
    void moveToPoint(double x, double y);
    void addLineToPoint(double x, double y);
    void addLines(const std::vector<CGPoint>& points);
    void addRect(const CGRect& r);
    void addRects(const std::vector<CGRect>& rects);
    void addEllipseInRect(const CGRect& r);
    // Angles in radians from the +x axis towards +y (down on screen). clockwise=false
    // sweeps with increasing angles (clockwise on the y-down screen), clockwise=true
    // with decreasing angles: the meaning the flag has in a flipped UIKit context.
    void addArc(double x, double y, double radius, double startAngle, double endAngle, bool clockwise);
    // Tangent arc between the lines current->(x1,y1) and (x1,y1)->(x2,y2).
    void addArcToPoint(double x1, double y1, double x2, double y2, double radius);
    void addRoundedRect(const CGRect& r, double radius);
    void addCurveToPoint(double cp1x, double cp1y, double cp2x, double cp2y, double x, double y);
    void addQuadCurveToPoint(double cpx, double cpy, double x, double y);
    void closePath();
    bool isPathEmpty() const;
    CGPoint pathCurrentPoint() const;
    CGRect pathBoundingBox() const;

    // Painting the path (each consumes it).
    void strokePath();
    void fillPath();
    void eoFillPath();
    void drawPath(CGPathDrawingMode mode);
    // Intersects the clip with the path (nonzero rule) and consumes it.
    void clip();
    void eoClip();

    void fillRect(const CGRect& r);
    void fillRects(const std::vector<CGRect>& rects);
    void strokeRect(const CGRect& r);
    void strokeRectWithWidth(const CGRect& r, double width);
    // Makes the rectangle fully transparent, whatever the blend mode.
    void clearRect(const CGRect& r);
    void fillEllipseInRect(const CGRect& r);
    void strokeEllipseInRect(const CGRect& r);
    // Pairs of points: (p0,p1), (p2,p3), ... each a separate segment.
    void strokeLineSegments(const std::vector<CGPoint>& points);

    void clipToRect(const CGRect& r);
    void clipToRects(const std::vector<CGRect>& rects);
    CGRect clipBoundingBox() const;

    // Transforms of the user space.
    void translateCTM(double tx, double ty);
    void scaleCTM(double sx, double sy);
    void rotateCTM(double radians);
    void concatCTM(const CGAffineTransform& t);
    // The CTM relative to the base space (identity right after construction).
    CGAffineTransform getCTM() const;

    // Fills the clip area with a gradient. Colours and locations pair up; empty
    // locations space the colours evenly. Null colours count as clear.
    void drawLinearGradient(const std::vector<std::shared_ptr<UIColor>>& colors, const std::vector<double>& locations,
                            CGPoint start, CGPoint end, unsigned options = 0);
    void drawRadialGradient(const std::vector<std::shared_ptr<UIColor>>& colors, const std::vector<double>& locations,
                            CGPoint startCenter, double startRadius, CGPoint endCenter, double endRadius,
                            unsigned options = 0);

    // Shadow under everything drawn afterwards: offset in base-space points
    // (positive height is down), blur radius in points. A null colour is
    // black at 1/3 alpha. A zero size, zero blur or clear colour turns it off.
    void setShadow(CGSize offset, double blur, std::shared_ptr<UIColor> color = nullptr);
    void clearShadow();

    void setBlendMode(CGBlendMode mode);
    CGBlendMode blendMode() const;

    // Draws the whole image scaled into rect, upright (as UIImage draws).
    void drawImage(const CGRect& rect, const UIImage& image);
    // Draws the part src (in image points) of the image scaled into dst.
    void drawImage(const CGRect& dst, const UIImage& image, const CGRect& src);
    // Tiles the image over rect, starting at the origin of the user space.
    void drawTiledImage(const CGRect& rect, const UIImage& image);

    // Runs draw() (which paints with cairo on cairo()) with this context's alpha,
    // blend mode and shadow applied. bounds: user-space area the painting stays
    // in (limits the work of the shadow); null for unknown. Text drawing uses it.
    void paintWithEffects(const CGRect* bounds, const std::function<void()>& draw);
    // Sets the cairo source to the fill (or stroke) colour, pattern colours included.
    void applyFillSource();
    void applyStrokeSource();

private:
    struct State;
    State& state();
    const State& state() const;
    void setSourceColor(const UIColor& c);

    cairo_t* cr_;
    double baseScale_ = 1;
    double baseMatrix_[6] = {1, 0, 0, 1, 0, 0};
    std::vector<State> states_;
};

// The UIKit-style context stack of the current thread.
// The context of the drawing in progress, or null.
CGContext* UIGraphicsGetCurrentContext();
void UIGraphicsPushContext(CGContext* context);
void UIGraphicsPopContext();

// Bitmap image contexts: an ARGB bitmap of size*scale pixels (transparent; opaque
// ones start black), scaled so drawing is in points. scale <= 0 means the main
// screen's scale. Each begin pushes the new context; end pops and frees it.
void UIGraphicsBeginImageContext(CGSize size);
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, double scale);
std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext();
void UIGraphicsEndImageContext();
// The scale used when scale <= 0 is given (the screen's; 2 by default).
double UIGraphicsMainScreenScale();
void UIGraphicsSetMainScreenScale(double scale);
