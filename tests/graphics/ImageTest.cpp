#include "platform/foundation/Paths.h"
#include "tests/graphics/Canvas.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <fstream>

namespace {

// A w x h point image at `scale`: red with a blue 1-point frame.
std::shared_ptr<UIImage> framedImage(double w, double h, double scale) {
    Canvas c(w, h, scale);
    c.ctx().setFillColor(0, 0, 1, 1);
    c.ctx().fillRect(CGRectMake(0, 0, w, h));
    c.ctx().setFillColor(1, 0, 0, 1);
    c.ctx().fillRect(CGRectMake(1, 1, w - 2, h - 2));
    return c.image();
}

class BundleDir {
public:
    BundleDir() : previous_(bundleDirectory()) {
        setBundleDirectory(dir_.path());
        UIImage::clearImageCache();
    }
    ~BundleDir() {
        setBundleDirectory(previous_);
        UIImage::clearImageCache();
    }
    std::string file(const std::string& name) const { return dir_.file(name); }

private:
    TempDir dir_;
    std::string previous_;
};

}  // namespace

TEST(Image, PngRoundTripKeepsPixels) {
    auto img = framedImage(6, 4, 1);
    std::vector<uint8_t> png = img->pngData();
    ASSERT_GT(png.size(), 8u);
    auto back = UIImage::imageWithData(png);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixelWidth(), 6);
    EXPECT_EQ(back->pixelHeight(), 4);
    EXPECT_EQ(countDifferent(*img, *back, 0), 0);

    TempDir dir;
    ASSERT_TRUE(img->writePNG(dir.file("x@2x.png")));
    auto file = UIImage::imageWithContentsOfFile(dir.file("x@2x.png"));
    ASSERT_TRUE(file);
    EXPECT_DOUBLE_EQ(file->scale(), 2);
    EXPECT_DOUBLE_EQ(file->size().width, 3);
    EXPECT_FALSE(img->writePNG(dir.file("missing/dir/x.png")));
}

TEST(Image, BadBytesGiveNoImage) {
    EXPECT_FALSE(UIImage::imageWithData({}));
    EXPECT_FALSE(UIImage::imageWithData({'G', 'I', 'F', '8', '9', 'a'}));
    std::vector<uint8_t> png = framedImage(8, 8, 1)->pngData();
    for (size_t cut : {size_t(8), size_t(20), png.size() / 2, png.size() - 5}) {
        std::vector<uint8_t> part(png.begin(), png.begin() + static_cast<long>(cut));
        EXPECT_FALSE(UIImage::imageWithData(part)) << cut;
    }
    std::vector<uint8_t> corrupt = png;
    for (size_t i = 40; i < corrupt.size() - 12; ++i) corrupt[i] ^= 0x5a;
    EXPECT_FALSE(UIImage::imageWithData(corrupt));
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/nonexistent/file.png"));
}

TEST(Image, NamedImagesPreferTwoXAndAreCached) {
    BundleDir bundle;
    framedImage(10, 10, 1)->writePNG(bundle.file("btn.png"));
    framedImage(10, 10, 2)->writePNG(bundle.file("btn@2x.png"));
    framedImage(7, 7, 1)->writePNG(bundle.file("plain.png"));

    auto btn = UIImage::imageNamed("btn");
    ASSERT_TRUE(btn);
    EXPECT_DOUBLE_EQ(btn->scale(), 2);
    EXPECT_EQ(btn->pixelWidth(), 20);
    EXPECT_EQ(btn->size(), CGSizeMake(10, 10));
    EXPECT_EQ(UIImage::imageNamed("btn"), btn);  // cached
    auto withExt = UIImage::imageNamed("btn.png");
    ASSERT_TRUE(withExt);
    EXPECT_DOUBLE_EQ(withExt->scale(), 2);

    auto plain = UIImage::imageNamed("plain.png");
    ASSERT_TRUE(plain);
    EXPECT_DOUBLE_EQ(plain->scale(), 1);
    EXPECT_FALSE(UIImage::imageNamed("absent"));
    EXPECT_FALSE(UIImage::imageNamed(""));

    std::ofstream(bundle.file("broken.png")) << "not a png";
    EXPECT_FALSE(UIImage::imageNamed("broken"));
}

TEST(Image, StretchableImageKeepsItsCaps) {
    auto frame = framedImage(10, 10, 2);
    auto stretch = frame->stretchableImageWithLeftCapWidth(4, 4);
    ASSERT_TRUE(stretch);
    EXPECT_TRUE(stretch->isStretchable());
    EXPECT_EQ(stretch->leftCapWidth(), 4);
    EXPECT_DOUBLE_EQ(stretch->capInsets().right, 5);

    Canvas c(100, 40, 2);
    stretch->drawInRect(CGRectMake(0, 0, 100, 40));
    auto img = c.image();
    // The 1-point frame stays 1 point thick on every side instead of growing.
    Pixel edge = pixelOf(*img, 100, 1), inside = pixelOf(*img, 100, 4);
    EXPECT_GT(edge.b, 240);
    EXPECT_GT(inside.r, 240);
    EXPECT_LT(inside.b, 15);
    EXPECT_GT(pixelOf(*img, 198, 40).b, 240);
    EXPECT_GT(pixelOf(*img, 100, 78).b, 240);
    EXPECT_GT(pixelOf(*img, 194, 74).r, 240);

    // Plain scaling would have made the frame ten times thicker.
    Canvas s(100, 40, 2);
    frame->drawInRect(CGRectMake(0, 0, 100, 40));
    EXPECT_GT(pixelOf(*s.image(), 10, 40).b, 240);
}

TEST(Image, SidesUpToTheCapReadAndOnePastItIsRefusedBeforeDecoding) {
    for (int side : {UIImage::kMaxPixelSide, UIImage::kMaxPixelSide + 1}) {
        for (bool wide : {true, false}) {
            cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, wide ? side : 1, wide ? 1 : side);
            std::vector<uint8_t> png = UIImage(s, 1).pngData();
            auto image = UIImage::imageWithData(png);
            EXPECT_EQ(image != nullptr, side <= UIImage::kMaxPixelSide) << side << (wide ? " wide" : " high");
        }
    }
    // A header declaring a huge image over a few bytes of data: refused at once.
    std::vector<uint8_t> png = framedImage(2, 2, 1)->pngData();
    png[16] = png[20] = 0x7f;
    EXPECT_FALSE(UIImage::imageWithData(png));
}
