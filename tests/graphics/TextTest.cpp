#include "platform/graphics/PangoSupport.h"
#include "platform/graphics/TextDrawing.h"
#include "tests/graphics/Canvas.h"
#include "tests/support/Screenshots.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const std::string kChinese = "涨跌幅 浦发银行";
const std::string kEllipsis = "…";

std::shared_ptr<UIImage> renderLine(const std::string& text, const UIFont& font, double scale = 2,
                                    CGPoint at = CGPointMake(4, 4), double width = 240, double height = 40) {
    Canvas c(width, height, scale, true);
    c.ctx().setFillColor(0, 0, 0, 1);
    drawStringAtPoint(text, at, font);
    return c.image();
}

const Pixel kWhite{255, 255, 255, 255};

bool startsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }
bool endsWith(const std::string& s, const std::string& p) {
    return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}

}  // namespace

TEST(Text, ChineseRendersRealGlyphsNotBoxes) {
    auto font = UIFont::systemFontOfSize(16);
    // The fonts cover every character: Pango finds no unknown glyph.
    PangoLayoutPtr layout = makePangoLayout(kChinese, *font, 16);
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout.get()), 0);
    PangoLayoutPtr unassigned = makePangoLayout("\xCD\xB8", *font, 16);  // U+0378, no glyph anywhere
    EXPECT_GT(pango_layout_get_unknown_glyphs_count(unassigned.get()), 0);

    auto line = renderLine(kChinese, *font);
    saveScreenshot(line, "chinese");
    EXPECT_GT(countInk(*line, kWhite), 400);

    // Each glyph differs from the box drawn for a missing glyph and from its neighbours.
    auto box = renderLine("\xCD\xB8", *font);
    std::vector<std::shared_ptr<UIImage>> glyphs;
    for (const char* ch : {"涨", "跌", "幅", "浦", "发"}) {
        glyphs.push_back(renderLine(ch, *font));
        int ink = countInk(*glyphs.back(), kWhite);
        EXPECT_GT(ink, 60) << ch;
        EXPECT_GT(countDifferent(*glyphs.back(), *box), ink / 3) << ch;
    }
    for (size_t i = 1; i < glyphs.size(); ++i) EXPECT_GT(countDifferent(*glyphs[i], *glyphs[i - 1]), 50);
}

TEST(Text, MeasuredSizeMatchesDrawnInk) {
    auto font = UIFont::systemFontOfSize(14);
    for (const std::string& text : {std::string("12.34 浦发银行"), std::string("600000"), kChinese}) {
        CGSize measured = sizeWithFont(text, *font);
        EXPECT_DOUBLE_EQ(measured.height, font->lineHeight());
        Canvas c(240, 40, 2, true);
        c.ctx().setFillColor(0, 0, 0, 1);
        CGSize drawn = drawStringAtPoint(text, CGPointMake(10, 10), *font);
        EXPECT_EQ(drawn, measured) << text;
        CGRect ink = inkBounds(*c.image(), kWhite, 60);
        double x0 = ink.origin.x / 2, x1 = CGRectGetMaxX(ink) / 2;
        double y0 = ink.origin.y / 2, y1 = CGRectGetMaxY(ink) / 2;
        EXPECT_NEAR(x0, 10, 1.5) << text;
        EXPECT_NEAR(x1, 10 + measured.width, 1.5) << text;
        EXPECT_GE(y0, 10 - 0.5) << text;
        EXPECT_LE(y1, 10 + measured.height + 0.5) << text;
        EXPECT_GT(y1 - y0, measured.height / 2) << text;
    }
}

TEST(Text, LayoutDoesNotDependOnTheScale) {
    auto font = UIFont::systemFontOfSize(13);
    auto one = inkBounds(*renderLine("浦发银行 10.52 -0.33%", *font, 1), kWhite, 80);
    auto two = inkBounds(*renderLine("浦发银行 10.52 -0.33%", *font, 2), kWhite, 80);
    EXPECT_NEAR(one.size.width, two.size.width / 2, 1.5);
    EXPECT_NEAR(one.origin.x, two.origin.x / 2, 1.0);
}

TEST(Text, ShrinkToFitPicksASmallerSize) {
    auto font = UIFont::systemFontOfSize(16);
    const std::string longName = "上海浦东发展银行股份有限公司";
    double actual = 0;
    CGSize s = sizeWithFont(longName, *font, 8, &actual, 120, UILineBreakMode::TailTruncation);
    EXPECT_LT(actual, 16);
    EXPECT_GE(actual, 8);
    EXPECT_LE(s.width, 120.01);
    EXPECT_LE(sizeWithFont(longName, *font->fontWithSize(actual)).width, 120.01);
    // Half a point more would not have fitted.
    if (actual + 0.5 <= 16) {
        EXPECT_GT(sizeWithFont(longName, *font->fontWithSize(actual + 0.5)).width, 120);
    }

    double shortSize = 0;
    sizeWithFont("600000", *font, 8, &shortSize, 120, UILineBreakMode::TailTruncation);
    EXPECT_EQ(shortSize, 16);

    // Past the minimum the rest is truncated; the draw agrees with the measure.
    Canvas c(200, 30, 2, true);
    double drawnSize = 0;
    CGSize drawn =
        drawStringAtPoint(longName, CGPointMake(0, 0), 40, *font, 12, &drawnSize, UILineBreakMode::TailTruncation);
    EXPECT_EQ(drawnSize, 12);
    EXPECT_LE(drawn.width, 40.01);
    EXPECT_LE(CGRectGetMaxX(inkBounds(*c.image(), kWhite)) / 2, 41);
}

TEST(Text, TruncationPutsTheEllipsisWhereTheModeSays) {
    auto font = UIFont::systemFontOfSize(14);
    const std::string text = "浦发银行 600000 上海浦东发展银行";
    std::string tail = truncatedString(text, *font, 80, UILineBreakMode::TailTruncation);
    EXPECT_TRUE(endsWith(tail, kEllipsis)) << tail;
    EXPECT_TRUE(startsWith(tail, "浦发")) << tail;
    EXPECT_LE(sizeWithFont(tail, *font).width, 80.01);
    EXPECT_EQ(sizeWithFont(text, *font, 80, UILineBreakMode::TailTruncation).width, sizeWithFont(tail, *font).width);

    std::string head = truncatedString(text, *font, 80, UILineBreakMode::HeadTruncation);
    EXPECT_TRUE(startsWith(head, kEllipsis)) << head;
    EXPECT_TRUE(endsWith(head, "银行")) << head;
    std::string middle = truncatedString(text, *font, 80, UILineBreakMode::MiddleTruncation);
    EXPECT_TRUE(startsWith(middle, "浦")) << middle;
    EXPECT_TRUE(endsWith(middle, "行")) << middle;
    EXPECT_NE(middle.find(kEllipsis), std::string::npos) << middle;

    EXPECT_EQ(truncatedString("600000", *font, 80, UILineBreakMode::TailTruncation), "600000");
    // Nothing fits: only the ellipsis is left.
    EXPECT_EQ(truncatedString(text, *font, 2, UILineBreakMode::TailTruncation), kEllipsis);
    // Clipping keeps the text and limits the width drawn.
    EXPECT_EQ(sizeWithFont(text, *font, 80, UILineBreakMode::Clip).width, 80);
}

TEST(Text, WrapsIntoLinesThatFitTheRect) {
    auto font = UIFont::systemFontOfSize(14);
    double lh = font->lineHeight();
    const std::string text = "The quick brown fox jumps over the lazy dog 今日 涨幅 最大 的 股票 是 浦发银行";
    CGSize all = sizeWithFont(text, *font, CGSizeMake(100, 1000), UILineBreakMode::WordWrap);
    EXPECT_LE(all.width, 100.01);
    int lines = static_cast<int>(std::lround(all.height / lh));
    EXPECT_GE(lines, 4);
    EXPECT_DOUBLE_EQ(all.height, lines * lh);

    Canvas c(120, 200, 2, true);
    c.ctx().setFillColor(0, 0, 0, 1);
    CGSize two = drawString(text, CGRectMake(0, 0, 100, 2.5 * lh), *font, UILineBreakMode::TailTruncation);
    EXPECT_DOUBLE_EQ(two.height, 2 * lh);
    EXPECT_EQ(two, sizeWithFont(text, *font, CGSizeMake(100, 2.5 * lh), UILineBreakMode::TailTruncation));
    CGRect ink = inkBounds(*c.image(), kWhite);
    EXPECT_LE(CGRectGetMaxY(ink) / 2, 2 * lh + 0.5);
    EXPECT_LE(CGRectGetMaxX(ink) / 2, 101);
    saveScreenshot(c.image(), "wrapped");

    // Character wrapping breaks inside a long word.
    CGSize chars = sizeWithFont("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", *font, CGSizeMake(60, 1000),
                                UILineBreakMode::CharacterWrap);
    EXPECT_GT(chars.height, 2 * lh);
    EXPECT_LE(chars.width, 60.01);

    // Explicit newlines start lines; a single line shows them as spaces.
    EXPECT_DOUBLE_EQ(sizeWithFont("a\nb", *font, CGSizeMake(1000, 1000), UILineBreakMode::WordWrap).height, 2 * lh);
    EXPECT_DOUBLE_EQ(sizeWithFont("a\nb", *font).height, lh);
}

TEST(Text, WrappedChineseFollowsTheLineBreakingRules) {
    auto font = UIFont::systemFontOfSize(15);
    const std::string text =
        "一、本软件提供的行情、资讯等信息仅供参考，不构成任何投资建议。投资者据此操作，风险自担。\n"
        "二、本软件所提供的行情数据来源于证券交易所及相关信息服务商，我公司力求准确可靠，但对其准确性、"
        "完整性及及时性不作任何保证。\n"
        "三、请妥善保管您的交易帐号（含密码）及手机；因密码泄露造成的损失由投资者自行承担！";
    // Marks that never start a line, and those that never end one.
    const std::vector<std::string> closing = {"，", "。", "、", "；", "：", "？", "！", "）", "”", "》"};
    const std::vector<std::string> opening = {"（", "“", "《"};
    int checked = 0;
    for (auto mode : {UILineBreakMode::WordWrap, UILineBreakMode::CharacterWrap}) {
        for (double width = 150; width <= 320; width += 1) {
            auto lines = wrappedLines(text, *font, width, mode);
            ASSERT_GE(lines.size(), 5u);
            std::string joined;
            for (const auto& line : lines) {
                for (const auto& mark : closing)
                    EXPECT_FALSE(startsWith(line, mark)) << "width " << width << ": \"" << line << "\"";
                for (const auto& mark : opening)
                    EXPECT_FALSE(endsWith(line, mark)) << "width " << width << ": \"" << line << "\"";
                EXPECT_LE(sizeWithFont(line, *font).width, width + 0.01) << line;
                joined += line;
                ++checked;
            }
            std::string flat = text;
            std::erase(flat, '\n');
            EXPECT_EQ(joined, flat) << "nothing lost or repeated";
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(Text, AlignmentAndColour) {
    auto font = UIFont::boldSystemFontOfSize(14);
    auto inkFor = [&](UITextAlignment align) {
        Canvas c(100, 20, 1, true);
        c.ctx().setFillColor(1, 0, 0, 1);
        drawString("12.34", CGRectMake(0, 0, 100, 20), *font, UILineBreakMode::TailTruncation, align);
        auto img = c.image();
        // Text takes the fill colour.
        CGRect ink = inkBounds(*img, kWhite, 100);
        Pixel p = pixelOf(*img, int(CGRectGetMidX(ink)), int(CGRectGetMidY(ink)));
        for (int y = int(ink.origin.y); y < CGRectGetMaxY(ink); ++y)
            for (int x = int(ink.origin.x); x < CGRectGetMaxX(ink); ++x) {
                Pixel q = pixelOf(*img, x, y);
                if (q.g < p.g) p = q;
            }
        EXPECT_GT(p.r, 200);
        EXPECT_LT(p.g, 60);
        return ink;
    };
    EXPECT_LE(inkFor(UITextAlignment::Left).origin.x, 3);
    EXPECT_GE(CGRectGetMaxX(inkFor(UITextAlignment::Right)), 97);
    EXPECT_NEAR(CGRectGetMidX(inkFor(UITextAlignment::Center)), 50, 2);
}

TEST(Text, FontNamesMapToFacesThatCoverChinese) {
    EXPECT_TRUE(UIFont::fontWithName("Helvetica-Bold", 12)->isBold());
    EXPECT_TRUE(UIFont::fontWithName("ArialRoundedMTBold", 12)->isBold());
    EXPECT_FALSE(UIFont::fontWithName("Arial", 12)->isBold());
    EXPECT_FALSE(UIFont::fontWithName("Helvetica Neue", 12)->isBold());
    EXPECT_FALSE(UIFont::fontWithName("STHeitiSC-Light", 12)->isBold());
    auto unknown = UIFont::fontWithName("NoSuchFont", 12);
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->families(), UIFont::systemFontOfSize(12)->families());
    EXPECT_DOUBLE_EQ(UIFont::fontWithName("Arial", 0)->pointSize(), 12);  // nonsense size: default

    for (const char* name : {"Arial", "ArialRoundedMTBold", "Helvetica-Bold", "Helvetica Neue", "STHeitiSC-Light",
                             "Helvetica", "Courier"}) {
        auto f = UIFont::fontWithName(name, 15);
        PangoLayoutPtr layout = makePangoLayout(kChinese + " 12.34", *f, 15);
        EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout.get()), 0) << name;
        EXPECT_GT(f->lineHeight(), 15) << name;
        EXPECT_NEAR(f->ascender() - f->descender(), f->lineHeight(), 1e-9);
    }
    // Courier is monospaced; bold draws heavier strokes.
    auto courier = UIFont::fontWithName("Courier", 14);
    EXPECT_NEAR(sizeWithFont("iiii", *courier).width, sizeWithFont("MMMM", *courier).width, 0.01);
    auto regular = UIFont::systemFontOfSize(16), bold = UIFont::boldSystemFontOfSize(16);
    EXPECT_GT(countInk(*renderLine("浦发 600000", *bold), kWhite),
              countInk(*renderLine("浦发 600000", *regular), kWhite) * 11 / 10);
}

// A face at a size is one shared object, whose metrics any thread may read first.
TEST(Text, OneFontObjectPerFaceAndSize) {
    auto f = UIFont::systemFontOfSize(13.5);
    EXPECT_EQ(UIFont::systemFontOfSize(13.5), f);
    EXPECT_EQ(UIFont::fontWithName("Helvetica", 13.5), f);
    EXPECT_EQ(UIFont::systemFontOfSize(20)->fontWithSize(13.5), f);
    EXPECT_NE(UIFont::boldSystemFontOfSize(13.5), f);
    EXPECT_NE(UIFont::systemFontOfSize(14), f);

    std::vector<double> heights(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < heights.size(); ++i)
        threads.emplace_back([&heights, i] { heights[i] = UIFont::systemFontOfSize(17.5)->lineHeight(); });
    for (auto& t : threads) t.join();
    for (double h : heights) EXPECT_EQ(h, UIFont::systemFontOfSize(17.5)->lineHeight());
    EXPECT_GT(heights[0], 17.5);

    // Kept layouts are told apart by face and size: measured in turns, each
    // text keeps its own width.
    const std::shared_ptr<UIFont> faces[] = {UIFont::systemFontOfSize(12), UIFont::systemFontOfSize(24),
                                             UIFont::boldSystemFontOfSize(12), UIFont::fontWithName("Courier", 12)};
    double first[4];
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 4; ++i) {
            double w = sizeWithFont("浦发 bold 600000", *faces[i]).width;
            if (round == 0)
                first[i] = w;
            else
                EXPECT_EQ(w, first[i]) << i;
        }
    EXPECT_NEAR(first[1], 2 * first[0], 0.5);
    EXPECT_GT(first[2], first[0]);
    EXPECT_NE(first[3], first[0]);
}

TEST(Text, BadTextAndNoContextAreHarmless) {
    auto font = UIFont::systemFontOfSize(12);
    EXPECT_GT(sizeWithFont("\xff\xfe"
                           "abc\xe6\xb5",
                           *font)
                  .width,
              0);
    EXPECT_EQ(truncatedString("", *font, 10, UILineBreakMode::TailTruncation), "");
    EXPECT_DOUBLE_EQ(sizeWithFont("", *font).width, 0);
    ASSERT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    CGSize s = drawString("浦发银行", CGRectMake(0, 0, 100, 20), *font);
    EXPECT_EQ(s, sizeWithFont("浦发银行", *font, CGSizeMake(100, 20), UILineBreakMode::WordWrap));
    EXPECT_GT(sizeWithFont("x", *font, CGSizeMake(0, 0), UILineBreakMode::TailTruncation).width, 0);
}
