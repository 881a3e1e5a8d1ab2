#pragma once
// An item of a navigation bar or toolbar: a title, an image, a system item or a
// custom view, with an action. Bars show each item as a button they make.
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIView.h"

#include <functional>
#include <memory>
#include <string>

enum class UIBarButtonItemStyle { Plain, Bordered, Done };
enum class UIBarButtonSystemItem {
    Done,
    Cancel,
    Edit,
    Save,
    Add,
    FlexibleSpace,
    FixedSpace,
    Compose,
    Reply,
    Action,
    Organize,
    Bookmarks,
    Search,
    Refresh,
    Stop,
    Camera,
    Trash,
    Play,
    Pause,
    Rewind,
    FastForward,
    Undo,
    Redo
};
enum class UIBarStyle { Default = 0, Black = 1, BlackOpaque = 1, BlackTranslucent = 2 };

class UIBarButtonItem : public std::enable_shared_from_this<UIBarButtonItem> {
public:
    using Action = std::function<void(UIBarButtonItem& sender)>;

    UIBarButtonItem(const std::string& title, UIBarButtonItemStyle style, const void* target = nullptr,
                    Action action = nullptr);
    UIBarButtonItem(std::shared_ptr<UIImage> image, UIBarButtonItemStyle style, const void* target = nullptr,
                    Action action = nullptr);
    UIBarButtonItem(UIBarButtonSystemItem item, const void* target = nullptr, Action action = nullptr);
    explicit UIBarButtonItem(std::shared_ptr<UIView> customView);
    static std::shared_ptr<UIBarButtonItem> flexibleSpace();
    static std::shared_ptr<UIBarButtonItem> fixedSpace(double width);

    // The title (for system items, the one shown: "完成", "取消", "编辑"...).
    std::string title() const;
    void setTitle(const std::string& t);
    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> i);
    UIBarButtonItemStyle style() const { return style_; }
    void setStyle(UIBarButtonItemStyle s);
    bool isSystemItem() const { return system_; }
    UIBarButtonSystemItem systemItem() const { return systemItem_; }
    const std::shared_ptr<UIView>& customView() const { return customView_; }
    void setCustomView(std::shared_ptr<UIView> v);
    double width() const { return width_; }
    void setWidth(double w);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e);
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }
    std::shared_ptr<UIColor> tintColor() const { return tint_; }
    void setTintColor(std::shared_ptr<UIColor> c);

    const void* target() const { return target_; }
    const Action& action() const { return action_; }
    void setTarget(const void* t) { target_ = t; }
    void setAction(Action a) { action_ = std::move(a); }
    // Runs the action as a tap would (nothing when disabled or without one).
    void performAction();

    bool isSpace() const {
        return system_ && (systemItem_ == UIBarButtonSystemItem::FlexibleSpace ||
                           systemItem_ == UIBarButtonSystemItem::FixedSpace);
    }
    // Bars watch their items: a change bumps this counter.
    unsigned long long version() const { return version_; }

private:
    void changed();

    std::string title_;
    std::shared_ptr<UIImage> image_;
    UIBarButtonItemStyle style_ = UIBarButtonItemStyle::Plain;
    bool system_ = false;
    UIBarButtonSystemItem systemItem_ = UIBarButtonSystemItem::Done;
    std::shared_ptr<UIView> customView_;
    double width_ = 0;
    bool enabled_ = true;
    int tag_ = 0;
    std::shared_ptr<UIColor> tint_;
    const void* target_ = nullptr;
    Action action_;
    unsigned long long version_ = 0;
};

class UIButton;
// Builds the button a bar shows for an item (bordered and done items get a
// frame, system items their glyph); `back` makes the arrow-shaped back button.
std::shared_ptr<UIView> makeBarItemView(const std::shared_ptr<UIBarButtonItem>& item, UIBarStyle barStyle,
                                        const std::shared_ptr<UIColor>& tint, bool onToolbar, bool back = false);
