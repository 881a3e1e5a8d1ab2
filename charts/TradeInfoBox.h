#pragma once
// The shared layout of the two touched-point boxes: the large price with its
// change and percentage under it, and rows of titled values.
#include <memory>
#include <string>

class UIColor;
class UIView;

// Clear and not opaque: the chart shows through.
void makeTradeInfoBoxView(UIView& view);

// The price centred in (0, 0, 80, 30) (the large size below 8 characters,
// else 18), the change and "percent%" under it in the same colour.
void drawTradeInfoHeadline(const std::string& price, const std::string& change, const std::string& percent,
                           const std::string& prevClose, double largeSize);
// A title (white) at (x, y), `titleWidth` wide, and its value `valueWidth` wide after it.
void drawTradeInfoValue(const std::string& title, double x, double y, double titleWidth, const std::string& value,
                        double valueWidth, const UIColor& color);
