#pragma once
// The pieces of the trade forms (the login, the token application): the
// blue value label of a chosen row (150 x 20, right-aligned, Arial 15), a
// form row of a caption and one view (DisplayCell, optionally with a
// disclosure indicator), a plain caption for the rows of several items, and
// the box that holds one such item in its column.
#include <memory>
#include <string>

class UILabel;
class UITableViewCell;
class UIView;

std::shared_ptr<UILabel> tradeValueLabel();
// The value of a form row that shows data (180 points wide, right-aligned,
// the default font, clear background).
std::shared_ptr<UILabel> tradeFormValueLabel(const std::string& text, double height = 30);
std::shared_ptr<UITableViewCell> tradeFormCell(const std::string& caption, std::shared_ptr<UIView> view,
                                               bool disclosure);
std::shared_ptr<UILabel> tradeCaptionLabel(const std::string& text);
// A column of a row of several items (VTAHQCell): an item with a size of its
// own (a switch, a button) is centred in it; one without fills it from `inset`.
std::shared_ptr<UIView> tradeRowItem(std::shared_ptr<UIView> item, double inset = 0);
