#include "UITestSupport.h"
#include "tests/support/TestSupport.h"

#include "platform/foundation/Paths.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "ui/QuoteCells.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace {
struct Named {
    std::string name;
    double width, height;
};

// The table of the drawing tool, read from its source: what the bundle must hold.
std::vector<Named> drawnImages() {
    std::ifstream in(sourcePath("resources/images/DrawBundleImages.cpp"));
    EXPECT_TRUE(in.good()) << "the drawing tool's source (RD_SOURCE_DIR)";
    std::vector<Named> out;
    std::regex entry(R"re(^ *\{"([A-Za-z0-9_]+\.png)", ([0-9.]+), ([0-9.]+),)re");
    std::string line;
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_search(line, m, entry)) out.push_back({m[1], std::stod(m[2]), std::stod(m[3])});
    }
    return out;
}
}  // namespace

using BundleImagesTest = WidgetTest;

TEST_F(BundleImagesTest, EveryDrawnImageIsInTheBundleAtBothScales) {
    auto list = drawnImages();
    ASSERT_GE(list.size(), 40u);
    UIImage::clearImageCache();
    for (const auto& n : list) {
        auto img = UIImage::imageNamed(n.name);
        ASSERT_NE(img, nullptr) << n.name;
        EXPECT_DOUBLE_EQ(img->scale(), 2) << n.name << ": the 2x drawing is preferred";
        EXPECT_DOUBLE_EQ(img->size().width, n.width) << n.name;
        EXPECT_DOUBLE_EQ(img->size().height, n.height) << n.name;
        auto one = UIImage::imageWithContentsOfFile(bundlePath(n.name));
        ASSERT_NE(one, nullptr) << n.name << " at 1x";
        EXPECT_DOUBLE_EQ(one->size().width, n.width) << n.name;
    }
    // Names the screens use, present whatever the table says.
    for (const char* name : {"QuotesArrow.png", "cellbw.png", "cell.png", "QuotesPositionRed.png",
                             "QuotesPositionGreen.png", "QuotesPositionWhite.png", "checked.png", "unchecked.png"})
        EXPECT_NE(UIImage::imageNamed(name), nullptr) << name;
    EXPECT_EQ(UIImage::imageNamed("NoSuchImage.png"), nullptr);
}

TEST_F(BundleImagesTest, ImagesAreDrawnNotBlank) {
    // The rise and fall markers differ in colour where they are filled.
    auto rise = UIImage::imageNamed("QuotesPositionRed.png");
    auto fall = UIImage::imageNamed("QuotesPositionGreen.png");
    ASSERT_TRUE(rise && fall);
    uint32_t r = pixel(*rise, 43, 10), g = pixel(*fall, 43, 10);
    EXPECT_GT(red(r), green(r) + 60) << std::hex << r;
    EXPECT_GT(green(g), red(g) + 60) << std::hex << g;
    // The portfolio's pop-up menu covers quotes: inside its border nothing shows through.
    auto popup = UIImage::imageNamed("popupbg.png");
    ASSERT_TRUE(popup);
    for (CGPoint p : {CGPointMake(76, 30), CGPointMake(10, 85), CGPointMake(140, 60)})
        EXPECT_EQ(pixel(*popup, p.x, p.y) >> 24, 0xffu) << p.x << "," << p.y;
    // A contact sheet of every image for a look by eye.
    auto sheet = std::make_shared<UIView>(CGRectMake(0, 0, 320, 1400));
    sheet->setBackgroundColor(UIColor::colorWithWhite(0.55, 1));
    double x = 4, y = 4, rowH = 0;
    for (const auto& n : drawnImages()) {
        auto img = UIImage::imageNamed(n.name);
        double w = std::max(n.width, 56.0);
        if (x + w > 316) {
            x = 4;
            y += rowH + 12;
            rowH = 0;
        }
        auto iv = std::make_shared<UIImageView>(img);
        iv->setFrame(CGRectMake(x, y, n.width, n.height));
        sheet->addSubview(iv);
        auto l = std::make_shared<UILabel>(CGRectMake(x, y + n.height, w, 11));
        l->setText(n.name.substr(0, n.name.size() - 4));
        l->setFont(UIFont::systemFontOfSize(7));
        l->setBackgroundColor(UIColor::clearColor());
        sheet->addSubview(l);
        x += w + 4;
        rowH = std::max(rowH, n.height);
    }
    sheet->setFrame(CGRectMake(0, 0, 320, y + rowH + 14));
    saveScreenshot(*sheet, "images");
}

TEST_F(BundleImagesTest, PercentButtonOfTheQuoteRowUsesTheRedOrGreenImage) {
    auto cell = std::make_shared<HQTableCell>(UITableViewCellStyle::Default, "HQ");
    cell->setZDF("+1.00%", nullptr, true);
    EXPECT_EQ(cell->zdfButton()->currentBackgroundImage(), UIImage::imageNamed("ZDFRedBtn.png"));
    cell->setZDF("-1.00%", nullptr, false);
    EXPECT_EQ(cell->zdfButton()->currentBackgroundImage(), UIImage::imageNamed("ZDFGreenBtn.png"));
}
