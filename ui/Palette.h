#pragma once
// The one colour palette of the screens, by index. Customers of these markets
// read red as a rise and green as a fall, so the price colours follow that.
//
//  idx  use                                   r      g      b
//   0   quote screen background (black)       0.000  0.000  0.000
//   1   plain text on black (white)           1.000  1.000  1.000
//   2   plain text on white (black)           0.000  0.000  0.000
//   3   grid lines of the quote boards        0.478  0.000  0.000
//   4   frame of chart areas                  0.667  0.000  0.000
//   5   titles and captions (yellow)          1.000  1.000  0.000
//   6   stock codes (cyan)                    0.000  1.000  1.000
//   7   stock names (white)                   1.000  1.000  1.000
//   8   secondary text (grey)                 0.600  0.600  0.600
//   9   disabled text (dark grey)             0.333  0.333  0.333
//  10   selected row on black                 0.200  0.200  0.400
//  11   selected row on white                 0.780  0.860  1.000
//  12   toolbar / title bar tint              0.137  0.176  0.255
//  13   form background (light grey)          0.937  0.937  0.937
//  14   form captions (dark blue)             0.000  0.200  0.600
//  15   price rise                            1.000  0.235  0.235
//  16   price fall                            0.000  0.800  0.000
//  17   price unchanged                       0.900  0.900  0.900
//  18   limit-up background                   0.600  0.000  0.000
//  19   limit-down background                 0.000  0.400  0.000
//  20   bid side (buy levels)                 1.000  0.235  0.235
//  21   ask side (sell levels)                0.000  0.800  0.000
//  22   cursor / crosshair lines              1.000  1.000  1.000
//  23   cursor box background                 0.000  0.000  0.400
//  24   cursor box text                       1.000  1.000  0.000
//  25   price axis text                       0.800  0.800  0.800
//  26   time axis text                        0.800  0.800  0.800
//  27   dotted guide lines                    0.400  0.000  0.000
//  28   volume texts                          1.000  0.800  0.000
//  29   intraday average line (yellow)        1.000  0.800  0.000
//  30   intraday price line (white)           1.000  1.000  1.000
//  31   volume bars of a rise                 1.000  0.235  0.235
//  32   volume bars of a fall                 0.000  0.800  0.800
//  33   chart line 1 (white)                  1.000  1.000  1.000
//  34   chart line 2 (yellow)                 1.000  1.000  0.000
//  35   chart line 3 (magenta)                1.000  0.000  1.000
//  36   chart line 4 (green)                  0.000  1.000  0.000
//  37   chart line 5 (cyan)                   0.000  1.000  1.000
//  38   chart line 6 (orange)                 1.000  0.500  0.000
//  39   index overlay line (blue)             0.250  0.500  1.000
//  40   info-radar marker                     1.000  0.600  0.000
//  41   red                                   1.000  0.149  0.149
//  42   green                                 0.071  1.000  0.000
//  43   white                                 1.000  1.000  1.000
//  44   black                                 0.000  0.000  0.000
//  45   blue (links, buttons)                 0.000  0.478  1.000
//  46   gold (badges, highlights)             1.000  0.843  0.000
//  47   list separators on black              0.250  0.250  0.250
//  48   list separators on white              0.800  0.800  0.800
//  49   alternate row on black                0.100  0.100  0.100
//  50   alternate row on white                0.965  0.965  0.965
// Any other index gives white (index 1's colour).
#include "core/VTAFloat.h"

#include <memory>
#include <optional>

class UIColor;

constexpr int kPaletteSize = 51;

std::shared_ptr<UIColor> colorWithIndex(int index);
// Palette 15 when a > b, 16 when a < b, 17 when equal (exact fixed-point
// comparison); 17 when either is missing.
std::shared_ptr<UIColor> colorWithCompare(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b);
std::shared_ptr<UIColor> colorWithCompare(const VTAFloat& a, const VTAFloat& b);
// Palette 15 above 0, 16 below 0, 17 at 0.
std::shared_ptr<UIColor> colorWithSign(double value);
// The colour of a comparison result (QZUtil::compareWithFloatString and the
// like): 15 for a positive result, 16 for a negative one, 17 for 0.
std::shared_ptr<UIColor> colorWithCompareResult(int result);
