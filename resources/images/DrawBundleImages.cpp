// Draws the bundle images that the widgets and screens name, at 1x (name.png)
// and 2x (name@2x.png), into the folder given as the only argument.
// Usage: rd_draw_bundle_images <output folder>
//
// Images (size in points):
//   QuotesArrow.png              140 x 44   picker-button overlay: a small down triangle at the right
//   QuotesPositionRed.png         86 x 20   pressed order-level button, rise
//   QuotesPositionGreen.png       86 x 20   pressed order-level button, fall
//   QuotesPositionWhite.png       86 x 20   pressed order-level button, flat
//   QuotesExpandBtn.png           44 x 44   quote-panel toggle of the price row
//   QuotesExpandedBackgound.png  320 x 220  background of the open price row
//   PortfolioBtn.png              68 x 25   portfolio button on the trend chart
//   LeftArrow.png, RightArrow.png 35 x 44   stock paging arrows of the quote title
//   ZDFRedBtn.png, ZDFGreenBtn.png 76 x 30  change-percent buttons of the quote rows
//   cellbw.png, cell.png          32 x 40   soft-token button: none (grey) / present (blue)
//   cell_bg_{tall,short}_{even,odd}.png  320 x 78 / 320 x 58  news rows
//   checked.png, unchecked.png    40 x 40   check box
//   checkFace.png, uncheckFace.png 64 x 64  selected-account face of the accounts pager
//   select.png                    90 x 30   drop-down button
//   popupbg.png                  152 x 97   pop-up menu under the portfolio title
//   arrow.png                     24 x 24   down arrow of the portfolio title
//   modePad.png                  302 x 393  account card
//   group.png, group_expanded.png 320 x 36  message group headers
//   group_item_first.png, group_item_first_selectged.png,
//   group_item.png, group_item_selected.png 320 x 100  message rows
//   del.png                       28 x 28   delete a group
//   fav.png, inbox.png            24 x 24   favourites / inbox mode buttons
//   star.png, star_enable.png     30 x 30   favourite mark off / on
//   ME_Segment_Bar.png             8 x 40   pattern of the grouping bar
//   ME_Segment_BG.png, ME_Segment_Btn.png 20 x 30  segmented control track / thumb (caps 6)
//   ME_Expand_Indicator.png       24 x 36   group open indicator (a right-pointing triangle)
//   unread_icon.png               30 x 18   unread mark
//   content_top_bar.png          320 x 82   message title bar
//   bglogo.png                    88 x 104  empty message store
//   GTPTransferAll_Normal.png, GTPTransferAll_Highlighted.png 272 x 40  transfer button
//   back.png, forward.png, refresh.png 24 x 24  web page toolbar
//   menu_hq.png, menu_jy.png, menu_lc.png, menu_zx.png, menu_rzrq.png,
//   menu_msg.png, menu_more.png   28 x 28  the home board's menu icons (white
//                                 pictograms on the tile's colour): quotes, trading,
//                                 wealth, news, margin, messages, more
//   logo.png                      60 x 30  the logo button of the navigation bar
//
// resources/ui.cmake reads the names from the table below (one entry a line).
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {
using Draw = std::function<void(cairo_t*, double w, double h)>;

struct Image {
    const char* name;
    double width, height;
    Draw draw;
};

struct RGBA {
    double r, g, b, a = 1;
};

void setColor(cairo_t* cr, RGBA c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Fills the current path with a vertical gradient from top to bottom.
void fillVertical(cairo_t* cr, double y0, double y1, RGBA top, RGBA bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
}

void stroke(cairo_t* cr, RGBA c, double width) {
    setColor(cr, c);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void triangle(cairo_t* cr, double x1, double y1, double x2, double y2, double x3, double y3, RGBA c) {
    cairo_new_path(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_line_to(cr, x3, y3);
    cairo_close_path(cr);
    setColor(cr, c);
    cairo_fill(cr);
}

void chevron(cairo_t* cr, double cx, double cy, double size, double angle, RGBA c, double width) {
    // A ">" turned by the angle (0 points right).
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_new_path(cr);
    cairo_move_to(cr, -size / 2, -size);
    cairo_line_to(cr, size / 2, 0);
    cairo_line_to(cr, -size / 2, size);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    stroke(cr, c, width);
    cairo_restore(cr);
}

void starPath(cairo_t* cr, double cx, double cy, double outer, double inner) {
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {
        double r = i % 2 == 0 ? outer : inner;
        double a = -M_PI / 2 + i * M_PI / 5;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void tick(cairo_t* cr, double x, double y, double s, RGBA c, double width) {
    cairo_new_path(cr);
    cairo_move_to(cr, x, y + s * 0.5);
    cairo_line_to(cr, x + s * 0.38, y + s * 0.85);
    cairo_line_to(cr, x + s, y + s * 0.1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    stroke(cr, c, width);
}

const RGBA kRise{1.0, 0.15, 0.15};
const RGBA kFall{0.0, 0.62, 0.0};
const RGBA kWhite{1, 1, 1};
const RGBA kBlue{0.0, 0.478, 1.0};

Draw positionButton(RGBA c) {
    return [c](cairo_t* cr, double w, double h) {
        roundedRect(cr, 1, 1, w - 2, h - 2, 3);
        fillVertical(cr, 0, h, {c.r, c.g, c.b, 0.75}, {c.r * 0.7, c.g * 0.7, c.b * 0.7, 0.75});
        stroke(cr, {c.r, c.g, c.b, 1}, 1);
    };
}

Draw percentButton(RGBA c) {
    return [c](cairo_t* cr, double w, double h) {
        roundedRect(cr, 1, 1, w - 2, h - 2, 4);
        fillVertical(cr, 0, h, {std::min(1.0, c.r + 0.15), std::min(1.0, c.g + 0.15), std::min(1.0, c.b + 0.15)},
                     {c.r * 0.75, c.g * 0.75, c.b * 0.75});
        cairo_new_path(cr);
    };
}

Draw newsRow(bool odd) {
    return [odd](cairo_t* cr, double w, double h) {
        // Dark rows under the news lists' light headlines.
        cairo_rectangle(cr, 0, 0, w, h);
        double v = odd ? 0.10 : 0.15;
        fillVertical(cr, 0, h, {v, v, v + 0.01}, {v - 0.04, v - 0.04, v - 0.03});
        cairo_new_path(cr);
        cairo_rectangle(cr, 0, h - 1, w, 1);
        setColor(cr, {0.28, 0.28, 0.3});
        cairo_fill(cr);
    };
}

Draw groupRow(bool first, bool selected) {
    return [first, selected](cairo_t* cr, double w, double h) {
        cairo_rectangle(cr, 0, 0, w, h);
        if (selected)
            fillVertical(cr, 0, h, {0.80, 0.88, 1.0}, {0.66, 0.78, 0.96});
        else
            fillVertical(cr, 0, h, {1, 1, 1}, {0.95, 0.95, 0.95});
        cairo_new_path(cr);
        if (first) {  // a shadow under the group header
            cairo_rectangle(cr, 0, 0, w, 4);
            fillVertical(cr, 0, 4, {0, 0, 0, 0.18}, {0, 0, 0, 0});
            cairo_new_path(cr);
        }
        cairo_rectangle(cr, 0, h - 1, w, 1);
        setColor(cr, {0.82, 0.82, 0.82});
        cairo_fill(cr);
    };
}

Draw groupHeader(bool expanded) {
    return [expanded](cairo_t* cr, double w, double h) {
        cairo_rectangle(cr, 0, 0, w, h);
        if (expanded)
            fillVertical(cr, 0, h, {0.55, 0.68, 0.86}, {0.36, 0.50, 0.72});
        else
            fillVertical(cr, 0, h, {0.90, 0.91, 0.93}, {0.76, 0.78, 0.82});
        cairo_new_path(cr);
        cairo_rectangle(cr, 0, h - 1, w, 1);
        setColor(cr, {0.5, 0.5, 0.55});
        cairo_fill(cr);
    };
}

Draw checkBox(bool checked) {
    return [checked](cairo_t* cr, double w, double h) {
        double s = std::min(w, h) - 12;
        double x = (w - s) / 2, y = (h - s) / 2;
        roundedRect(cr, x, y, s, s, 5);
        fillVertical(cr, y, y + s, {1, 1, 1}, {0.88, 0.88, 0.9});
        stroke(cr, {0.45, 0.47, 0.52}, 1.5);
        if (checked) tick(cr, x + s * 0.18, y + s * 0.18, s * 0.64, {0.0, 0.45, 0.9}, 3.5);
    };
}

Draw face(bool checked) {
    return [checked](cairo_t* cr, double w, double h) {
        double r = std::min(w, h) / 2 - 3;
        cairo_new_path(cr);
        cairo_arc(cr, w / 2, h / 2, r, 0, 2 * M_PI);
        if (checked) {
            fillVertical(cr, 0, h, {0.30, 0.78, 0.35}, {0.10, 0.55, 0.15});
            stroke(cr, {0.05, 0.4, 0.1}, 2);
            tick(cr, w / 2 - r * 0.5, h / 2 - r * 0.45, r, kWhite, 5);
        } else {
            fillVertical(cr, 0, h, {0.97, 0.97, 0.97}, {0.85, 0.85, 0.85});
            stroke(cr, {0.6, 0.6, 0.6}, 2);
        }
    };
}

Draw tokenPhone(bool present) {
    return [present](cairo_t* cr, double w, double h) {
        RGBA body = present ? RGBA{0.1, 0.45, 0.9} : RGBA{0.55, 0.55, 0.55};
        roundedRect(cr, 6, 3, w - 12, h - 6, 4);
        fillVertical(cr, 3, h - 3, {body.r + 0.15, body.g + 0.15, body.b + 0.1}, body);
        cairo_new_path(cr);
        cairo_rectangle(cr, 9, 8, w - 18, h - 20);
        setColor(cr, present ? RGBA{0.85, 0.95, 1} : RGBA{0.85, 0.85, 0.85});
        cairo_fill(cr);
        cairo_arc(cr, w / 2, h - 7.5, 2, 0, 2 * M_PI);
        setColor(cr, kWhite);
        cairo_fill(cr);
    };
}

Draw glossyBar(RGBA top, RGBA bottom, double radius) {
    return [top, bottom, radius](cairo_t* cr, double w, double h) {
        roundedRect(cr, 0.5, 0.5, w - 1, h - 1, radius);
        fillVertical(cr, 0, h, top, bottom);
        stroke(cr, {bottom.r * 0.7, bottom.g * 0.7, bottom.b * 0.7}, 1);
        roundedRect(cr, 1.5, 1.5, w - 3, h / 2 - 1, radius - 1);
        setColor(cr, {1, 1, 1, 0.18});
        cairo_fill(cr);
    };
}

// The home board's pictograms: white lines on a clear ground.
const RGBA kIconInk{1, 1, 1, 0.95};

void iconLines(cairo_t* cr, double width = 2.2) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    stroke(cr, kIconInk, width);
}

void iconFill(cairo_t* cr) {
    setColor(cr, kIconInk);
    cairo_fill(cr);
}

// Quotes: a rising line over an axis, with a candle.
void quotesIcon(cairo_t* cr, double w, double h) {
    cairo_move_to(cr, 3, 3);
    cairo_line_to(cr, 3, h - 3);
    cairo_line_to(cr, w - 2, h - 3);
    iconLines(cr, 1.8);
    cairo_move_to(cr, 6, 19);
    cairo_line_to(cr, 11, 13);
    cairo_line_to(cr, 15, 16);
    cairo_line_to(cr, 24, 6);
    iconLines(cr);
    cairo_rectangle(cr, 19, 15, 4, 7);
    iconFill(cr);
    cairo_move_to(cr, 21, 12.5);
    cairo_line_to(cr, 21, 24);
    iconLines(cr, 1.2);
}

// Trading: buy and sell, two arrows passing each other.
void tradeIcon(cairo_t* cr, double w, double) {
    cairo_move_to(cr, 4, 10);
    cairo_line_to(cr, w - 5, 10);
    iconLines(cr);
    triangle(cr, w - 3, 10, w - 9, 5.5, w - 9, 14.5, kIconInk);
    cairo_move_to(cr, w - 4, 19);
    cairo_line_to(cr, 5, 19);
    iconLines(cr);
    triangle(cr, 3, 19, 9, 14.5, 9, 23.5, kIconInk);
}

// Wealth: a stack of coins, each one hiding the one below.
void wealthIcon(cairo_t* cr, double w, double) {
    const double rx = 9, ry = 3.2, rim = 3.5, cx = w / 2;
    auto silhouette = [&](double y) {
        cairo_new_path(cr);
        cairo_save(cr);
        cairo_translate(cr, cx, y);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, M_PI, 2 * M_PI);
        cairo_restore(cr);
        cairo_save(cr);
        cairo_translate(cr, cx, y + rim);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, M_PI);
        cairo_restore(cr);
        cairo_close_path(cr);
    };
    for (int i = 0; i < 4; ++i) {
        double y = 21 - i * 5;
        silhouette(y);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill_preserve(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        iconLines(cr, 1.8);
        cairo_save(cr);
        cairo_translate(cr, cx, y);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        iconLines(cr, 1.8);
    }
}

// News: a folded paper with a picture and lines of text.
void newsIcon(cairo_t* cr, double w, double h) {
    roundedRect(cr, 4, 4, w - 8, h - 8, 2);
    iconLines(cr, 1.8);
    cairo_rectangle(cr, 8, 8, 6, 6);
    iconFill(cr);
    for (double y : {9.0, 13.0}) {
        cairo_move_to(cr, 16.5, y);
        cairo_line_to(cr, w - 8, y);
    }
    for (double y : {17.5, 21.0}) {
        cairo_move_to(cr, 8, y);
        cairo_line_to(cr, w - 8, y);
    }
    iconLines(cr, 1.4);
}

// Margin trading: a balance, borrowing weighed against collateral.
void marginIcon(cairo_t* cr, double w, double h) {
    cairo_move_to(cr, w / 2, 4);
    cairo_line_to(cr, w / 2, h - 4);
    cairo_move_to(cr, w / 2 - 6, h - 4);
    cairo_line_to(cr, w / 2 + 6, h - 4);
    cairo_move_to(cr, 5, 8);
    cairo_line_to(cr, w - 5, 8);
    iconLines(cr, 1.8);
    for (double cx : {7.0, w - 7.0}) {
        cairo_move_to(cr, cx, 8);
        cairo_line_to(cr, cx - 4, 16);
        cairo_move_to(cr, cx, 8);
        cairo_line_to(cr, cx + 4, 16);
        iconLines(cr, 1.2);
        cairo_move_to(cr, cx - 5, 16);
        cairo_arc_negative(cr, cx, 16, 5, M_PI, 0);
        cairo_close_path(cr);
        iconFill(cr);
    }
}

// Messages: a speech bubble with lines of text.
void messagesIcon(cairo_t* cr, double w, double) {
    roundedRect(cr, 3, 4, w - 6, 15, 4);
    cairo_move_to(cr, 8, 19);
    cairo_line_to(cr, 7, 25);
    cairo_line_to(cr, 14, 19);
    iconLines(cr, 1.8);
    for (double y : {9.0, 13.5}) {
        cairo_move_to(cr, 8, y);
        cairo_line_to(cr, w - (y < 10 ? 8 : 12), y);
    }
    iconLines(cr, 1.6);
}

// More: four squares.
void moreIcon(cairo_t* cr, double w, double h) {
    double s = 9, gap = 3, x = (w - 2 * s - gap) / 2, y = (h - 2 * s - gap) / 2;
    for (int i = 0; i < 4; ++i) {
        roundedRect(cr, x + (i % 2) * (s + gap), y + (i / 2) * (s + gap), s, s, 2);
        if (i == 3)
            iconFill(cr);
        else
            iconLines(cr, 1.8);
    }
}

// The brokerage's logo, the navigation bar's way home: a red badge with a
// white house beside a rising line.
void logo(cairo_t* cr, double w, double h) {
    roundedRect(cr, 2, 3, w - 4, h - 6, 6);
    fillVertical(cr, 3, h - 3, {0.93, 0.2, 0.15}, {0.62, 0.03, 0.02});
    stroke(cr, {0.4, 0.0, 0.0}, 1);
    roundedRect(cr, 3, 4, w - 6, (h - 6) / 2 - 1, 5);
    setColor(cr, {1, 1, 1, 0.2});
    cairo_fill(cr);
    // The house.
    cairo_move_to(cr, 8, 15);
    cairo_line_to(cr, 16, 8);
    cairo_line_to(cr, 24, 15);
    cairo_move_to(cr, 11, 13.5);
    cairo_line_to(cr, 11, h - 8);
    cairo_line_to(cr, 21, h - 8);
    cairo_line_to(cr, 21, 13.5);
    iconLines(cr, 2);
    cairo_rectangle(cr, 14.5, h - 13, 3, 5);
    iconFill(cr);
    // The rising line, ending in an arrow head.
    cairo_move_to(cr, 30, h - 9);
    cairo_line_to(cr, 36, h - 14);
    cairo_line_to(cr, 41, h - 11.5);
    cairo_line_to(cr, 50, h - 19.5);
    iconLines(cr, 2);
    triangle(cr, w - 6, 8, w - 12.5, 9, w - 7.5, 14.5, kIconInk);
}

const std::vector<Image>& images() {
    static const std::vector<Image> list = {
        {"QuotesArrow.png", 140, 44,
         [](cairo_t* cr, double w, double h) {
             triangle(cr, w - 22, h / 2 - 3, w - 10, h / 2 - 3, w - 16, h / 2 + 4, {0.45, 0.45, 0.45});
         }},
        {"QuotesPositionRed.png", 86, 20, positionButton(kRise)},
        {"QuotesPositionGreen.png", 86, 20, positionButton(kFall)},
        {"QuotesPositionWhite.png", 86, 20, positionButton({0.85, 0.85, 0.85})},
        {"QuotesExpandBtn.png", 44, 44,
         [](cairo_t* cr, double w, double h) {
             cairo_arc(cr, w / 2, h / 2, 14, 0, 2 * M_PI);
             fillVertical(cr, 8, 36, {0.35, 0.6, 1.0}, {0.0, 0.35, 0.8});
             cairo_new_path(cr);
             chevron(cr, w / 2, h / 2 + 1, 6, M_PI / 2, kWhite, 2.5);
         }},
        {"QuotesExpandedBackgound.png", 320, 220,
         [](cairo_t* cr, double w, double h) {
             cairo_rectangle(cr, 0, 0, w, h);
             fillVertical(cr, 0, h, {0.16, 0.18, 0.22}, {0.05, 0.06, 0.08});
             cairo_new_path(cr);
             cairo_rectangle(cr, 0, 0, w, 1);
             setColor(cr, {0.4, 0.42, 0.48});
             cairo_fill(cr);
         }},
        {"PortfolioBtn.png", 68, 25, glossyBar({1.0, 0.55, 0.2}, {0.85, 0.3, 0.0}, 5)},
        {"LeftArrow.png", 35, 44,
         [](cairo_t* cr, double w, double h) { chevron(cr, w / 2, h / 2, 8, M_PI, kWhite, 3); }},
        {"RightArrow.png", 35, 44, [](cairo_t* cr, double w, double h) { chevron(cr, w / 2, h / 2, 8, 0, kWhite, 3); }},
        {"ZDFRedBtn.png", 76, 30, percentButton({0.85, 0.1, 0.1})},
        {"ZDFGreenBtn.png", 76, 30, percentButton({0.0, 0.55, 0.0})},
        {"cellbw.png", 32, 40, tokenPhone(false)},
        {"cell.png", 32, 40, tokenPhone(true)},
        {"cell_bg_tall_even.png", 320, 78, newsRow(false)},
        {"cell_bg_tall_odd.png", 320, 78, newsRow(true)},
        {"cell_bg_short_even.png", 320, 58, newsRow(false)},
        {"cell_bg_short_odd.png", 320, 58, newsRow(true)},
        {"checked.png", 40, 40, checkBox(true)},
        {"unchecked.png", 40, 40, checkBox(false)},
        {"checkFace.png", 64, 64, face(true)},
        {"uncheckFace.png", 64, 64, face(false)},
        {"select.png", 90, 30,
         [](cairo_t* cr, double w, double h) {
             glossyBar({0.98, 0.98, 0.98}, {0.82, 0.83, 0.86}, 5)(cr, w, h);
             triangle(cr, w - 16, h / 2 - 3, w - 6, h / 2 - 3, w - 11, h / 2 + 3, {0.3, 0.3, 0.3});
         }},
        {"popupbg.png", 152, 97,
         [](cairo_t* cr, double w, double h) {
             cairo_new_path(cr);
             cairo_move_to(cr, w / 2 - 8, 9);
             cairo_line_to(cr, w / 2, 1);
             cairo_line_to(cr, w / 2 + 8, 9);
             cairo_close_path(cr);
             roundedRect(cr, 1, 8, w - 2, h - 9, 8);
             setColor(cr, {0.08, 0.1, 0.14});  // opaque: the quotes under it must not show through
             cairo_fill_preserve(cr);
             stroke(cr, {0.5, 0.5, 0.55}, 1);
         }},
        {"arrow.png", 24, 24,
         [](cairo_t* cr, double w, double h) { triangle(cr, 5, 9, w - 5, 9, w / 2, h - 7, kWhite); }},
        {"modePad.png", 302, 393,
         [](cairo_t* cr, double w, double h) {
             roundedRect(cr, 2, 14, w - 4, h - 16, 12);
             fillVertical(cr, 14, h, {0.22, 0.25, 0.32}, {0.08, 0.09, 0.12});
             stroke(cr, {0.45, 0.48, 0.55}, 2);
         }},
        {"group.png", 320, 36, groupHeader(false)},
        {"group_expanded.png", 320, 36, groupHeader(true)},
        {"group_item_first.png", 320, 100, groupRow(true, false)},
        {"group_item_first_selectged.png", 320, 100, groupRow(true, true)},
        {"group_item.png", 320, 100, groupRow(false, false)},
        {"group_item_selected.png", 320, 100, groupRow(false, true)},
        {"del.png", 28, 28,
         [](cairo_t* cr, double w, double h) {
             cairo_arc(cr, w / 2, h / 2, w / 2 - 2, 0, 2 * M_PI);
             fillVertical(cr, 0, h, {1.0, 0.35, 0.3}, {0.8, 0.05, 0.05});
             stroke(cr, kWhite, 2);
             cairo_rectangle(cr, 7, h / 2 - 1.5, w - 14, 3);
             setColor(cr, kWhite);
             cairo_fill(cr);
         }},
        {"fav.png", 24, 24,
         [](cairo_t* cr, double w, double h) {
             starPath(cr, w / 2, h / 2 + 1, 11, 4.6);
             setColor(cr, {1.0, 0.84, 0.0});
             cairo_fill_preserve(cr);
             stroke(cr, {0.7, 0.5, 0.0}, 1);
         }},
        {"inbox.png", 24, 24,
         [](cairo_t* cr, double w, double h) {
             cairo_new_path(cr);
             cairo_move_to(cr, 3, 12);
             cairo_line_to(cr, 7, 4);
             cairo_line_to(cr, w - 7, 4);
             cairo_line_to(cr, w - 3, 12);
             cairo_line_to(cr, w - 3, h - 4);
             cairo_line_to(cr, 3, h - 4);
             cairo_close_path(cr);
             stroke(cr, kWhite, 2);
             cairo_move_to(cr, 3, 12);
             cairo_line_to(cr, 8, 12);
             cairo_line_to(cr, 10, 15);
             cairo_line_to(cr, w - 10, 15);
             cairo_line_to(cr, w - 8, 12);
             cairo_line_to(cr, w - 3, 12);
             stroke(cr, kWhite, 2);
         }},
        {"star.png", 30, 30,
         [](cairo_t* cr, double w, double h) {
             starPath(cr, w / 2, h / 2 + 1, 13, 5.5);
             setColor(cr, {0.9, 0.9, 0.9});
             cairo_fill_preserve(cr);
             stroke(cr, {0.55, 0.55, 0.55}, 1.2);
         }},
        {"star_enable.png", 30, 30,
         [](cairo_t* cr, double w, double h) {
             starPath(cr, w / 2, h / 2 + 1, 13, 5.5);
             setColor(cr, {1.0, 0.8, 0.0});
             cairo_fill_preserve(cr);
             stroke(cr, {0.75, 0.5, 0.0}, 1.2);
         }},
        {"ME_Segment_Bar.png", 8, 40,
         [](cairo_t* cr, double w, double h) {
             cairo_rectangle(cr, 0, 0, w, h);
             fillVertical(cr, 0, h, {0.93, 0.94, 0.96}, {0.78, 0.80, 0.84});
             cairo_new_path(cr);
             cairo_rectangle(cr, 0, h - 1, w, 1);
             setColor(cr, {0.6, 0.62, 0.66});
             cairo_fill(cr);
         }},
        {"ME_Segment_BG.png", 20, 30,
         [](cairo_t* cr, double w, double h) {
             roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6);
             fillVertical(cr, 0, h, {0.72, 0.74, 0.78}, {0.86, 0.87, 0.9});
             stroke(cr, {0.55, 0.57, 0.6}, 1);
         }},
        {"ME_Segment_Btn.png", 20, 30, glossyBar({1, 1, 1}, {0.88, 0.89, 0.92}, 6)},
        {"ME_Expand_Indicator.png", 24, 36,
         [](cairo_t* cr, double w, double h) {
             triangle(cr, 8, h / 2 - 6, 8, h / 2 + 6, 17, h / 2, {0.35, 0.35, 0.4});
         }},
        {"unread_icon.png", 30, 18,
         [](cairo_t* cr, double w, double h) {
             cairo_arc(cr, 10, h / 2, 5, 0, 2 * M_PI);
             fillVertical(cr, 4, 14, {0.35, 0.65, 1.0}, {0.0, 0.4, 0.9});
         }},
        {"content_top_bar.png", 320, 82,
         [](cairo_t* cr, double w, double h) {
             cairo_rectangle(cr, 0, 0, w, h);
             fillVertical(cr, 0, h, {0.98, 0.98, 0.99}, {0.88, 0.9, 0.93});
             cairo_new_path(cr);
             cairo_rectangle(cr, 0, h - 1.5, w, 1.5);
             setColor(cr, {0.7, 0.72, 0.76});
             cairo_fill(cr);
         }},
        {"bglogo.png", 88, 104,
         [](cairo_t* cr, double w, double h) {
             // An envelope over a shadow: "no messages".
             roundedRect(cr, 8, 30, w - 16, 52, 5);
             setColor(cr, {0.84, 0.85, 0.88});
             cairo_fill_preserve(cr);
             stroke(cr, {0.68, 0.7, 0.74}, 2);
             cairo_move_to(cr, 10, 32);
             cairo_line_to(cr, w / 2, 60);
             cairo_line_to(cr, w - 10, 32);
             stroke(cr, {0.68, 0.7, 0.74}, 2);
             cairo_save(cr);
             cairo_translate(cr, w / 2, 96);
             cairo_scale(cr, 34, 4);
             cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
             cairo_restore(cr);
             setColor(cr, {0, 0, 0, 0.12});
             cairo_fill(cr);
         }},
        {"GTPTransferAll_Normal.png", 272, 40, glossyBar({0.3, 0.6, 1.0}, {0.0, 0.36, 0.82}, 8)},
        {"GTPTransferAll_Highlighted.png", 272, 40, glossyBar({0.1, 0.4, 0.8}, {0.0, 0.22, 0.55}, 8)},
        {"back.png", 24, 24, [](cairo_t* cr, double w, double h) { chevron(cr, w / 2, h / 2, 6, M_PI, kWhite, 3); }},
        {"forward.png", 24, 24, [](cairo_t* cr, double w, double h) { chevron(cr, w / 2, h / 2, 6, 0, kWhite, 3); }},
        {"refresh.png", 24, 24,
         [](cairo_t* cr, double w, double h) {
             cairo_new_path(cr);
             cairo_arc(cr, w / 2, h / 2, 8, -M_PI / 2 + 0.5, 2 * M_PI * 0.9 - M_PI / 2);
             cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
             stroke(cr, kWhite, 2.5);
             triangle(cr, w / 2 - 1, 0.5, w / 2 - 1, 7.5, w / 2 - 6.5, 4, kWhite);
         }},
        {"menu_hq.png", 28, 28, quotesIcon},
        {"menu_jy.png", 28, 28, tradeIcon},
        {"menu_lc.png", 28, 28, wealthIcon},
        {"menu_zx.png", 28, 28, newsIcon},
        {"menu_rzrq.png", 28, 28, marginIcon},
        {"menu_msg.png", 28, 28, messagesIcon},
        {"menu_more.png", 28, 28, moreIcon},
        {"logo.png", 60, 30, logo},
    };
    return list;
}

bool writeImage(const Image& img, double scale, const std::string& path) {
    int pw = static_cast<int>(std::lround(img.width * scale));
    int ph = static_cast<int>(std::lround(img.height * scale));
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, scale, scale);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
    img.draw(cr, img.width, img.height);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    for (const Image& img : images()) {
        std::string base = img.name;
        std::string stem = base.substr(0, base.size() - 4);
        if (!writeImage(img, 1, dir + "/" + base) || !writeImage(img, 2, dir + "/" + stem + "@2x.png")) {
            std::fprintf(stderr, "cannot write %s in %s\n", img.name, dir.c_str());
            return 1;
        }
    }
    return 0;
}
