#pragma once
// Shows an image (or its highlighted variant) placed by the content mode.
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIView.h"

class UIImageView : public UIView {
public:
    explicit UIImageView(const CGRect& frame = CGRectZero);
    // Sized to the image.
    explicit UIImageView(std::shared_ptr<UIImage> image);
    std::string className() const override { return "UIImageView"; }

    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image) {
        image_ = std::move(image);
        setNeedsDisplay();
    }
    const std::shared_ptr<UIImage>& highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(std::shared_ptr<UIImage> image) {
        highlightedImage_ = std::move(image);
        setNeedsDisplay();
    }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool h) {
        highlighted_ = h;
        setNeedsDisplay();
    }

    CGSize sizeThatFits(CGSize size) const override;
    void drawRect(const CGRect& rect) override;

private:
    std::shared_ptr<UIImage> image_;
    std::shared_ptr<UIImage> highlightedImage_;
    bool highlighted_ = false;
};
