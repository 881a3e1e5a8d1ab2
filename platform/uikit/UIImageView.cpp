#include "platform/uikit/UIImageView.h"

UIImageView::UIImageView(const CGRect& frame) : UIView(frame) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

UIImageView::UIImageView(std::shared_ptr<UIImage> image)
    : UIView(image ? CGRectMake(0, 0, image->size().width, image->size().height) : CGRectZero),
      image_(std::move(image)) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

CGSize UIImageView::sizeThatFits(CGSize size) const { return image_ ? image_->size() : size; }

void UIImageView::drawRect(const CGRect&) {
    const auto& img = highlighted_ && highlightedImage_ ? highlightedImage_ : image_;
    if (img) drawImageWithContentMode(*img, bounds(), contentMode());
}
