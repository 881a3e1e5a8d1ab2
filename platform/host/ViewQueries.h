#pragma once
// Reading the screen as a person would: which views are visible, what texts
// they show, where they are. A view is visible when neither it nor a superview
// is hidden or fully transparent and some of it lies inside the screen and
// inside every clipping superview. Its texts are what its accessibilityText()
// answers (labels, button titles, field texts, alert titles, web page text).
#include "platform/graphics/Geometry.h"

#include <string>
#include <vector>

class UIView;
class UIWindow;

struct VisibleView {
    UIView* view;
    CGRect screenRect;  // the visible part, in screen points
    std::string text;   // may be empty
};

// Every visible view of the application's visible windows, back to front.
std::vector<VisibleView> visibleViews();
// The frontmost visible view whose text contains `text` (exactly equal wins
// over containing); null when none.
const VisibleView* findVisibleText(const std::vector<VisibleView>& views, const std::string& text);
// Visible texts, back to front, one per view that shows one.
std::vector<std::string> visibleTexts();
// The view tree of the visible windows: one line per view with its class,
// frame (in its superview), tag, "hidden", and text in quotes, indented by depth.
std::string viewTreeText();
