#include "ui/VTAButtonFactory.h"

#include "platform/graphics/UIImage.h"
#include "ui/UIGlossyButton.h"

namespace {
void attach(const std::shared_ptr<UIButton>& b, VTAButtonFactory::Action action) {
    if (!action) return;
    UIButton* raw = b.get();
    b->addTarget(
        raw, [action = std::move(action)](UIControl& c) { action(static_cast<UIButton&>(c)); },
        UIControlEventTouchUpInside);
}
}  // namespace

std::shared_ptr<UIButton> VTAButtonFactory::roundedButton(const std::string& title, const CGRect& frame,
                                                          Action action) {
    auto b = std::make_shared<UIButton>(UIButtonType::RoundedRect, frame);
    b->setTitle(title);
    attach(b, std::move(action));
    return b;
}

std::shared_ptr<UIButton> VTAButtonFactory::imageButton(const std::string& imageName, const CGRect& frame,
                                                        Action action, const std::string& title,
                                                        const std::string& highlightedImageName) {
    auto b = std::make_shared<UIButton>(UIButtonType::Custom, frame);
    b->setBackgroundImage(UIImage::imageNamed(imageName));
    if (!highlightedImageName.empty())
        b->setBackgroundImage(UIImage::imageNamed(highlightedImageName), UIControlStateHighlighted);
    if (!title.empty()) {
        b->setTitle(title);
        b->setTitleColor(UIColor::whiteColor());
    }
    attach(b, std::move(action));
    return b;
}

std::shared_ptr<UIGlossyButton> VTAButtonFactory::glossyButton(const std::string& title, std::shared_ptr<UIColor> color,
                                                               const CGRect& frame, Action action) {
    auto b = std::make_shared<UIGlossyButton>(frame);
    b->setTitle(title);
    b->setTintColor(std::move(color));
    b->useWhiteLabel(true);
    attach(b, std::move(action));
    return b;
}

std::shared_ptr<UIButton> VTAButtonFactory::checkButton(const CGRect& frame, bool checked, Action action) {
    auto b = std::make_shared<UIButton>(UIButtonType::Custom, frame);
    b->setImage(UIImage::imageNamed("unchecked.png"));
    b->setImage(UIImage::imageNamed("checked.png"), UIControlStateSelected);
    b->setImage(UIImage::imageNamed("checked.png"), UIControlStateSelected | UIControlStateHighlighted);
    b->setSelected(checked);
    UIButton* raw = b.get();
    // The flip comes first so that the action reads the new state.
    raw->addTarget(
        raw, [](UIControl& c) { c.setSelected(!c.isSelected()); }, UIControlEventTouchUpInside);
    attach(b, std::move(action));
    return b;
}

std::shared_ptr<UIBarButtonItem> VTAButtonFactory::toolbarItem(const std::string& title, std::function<void()> action) {
    UIBarButtonItem::Action a;
    if (action) a = [action = std::move(action)](UIBarButtonItem&) { action(); };
    return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, nullptr, std::move(a));
}
