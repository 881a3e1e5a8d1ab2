// Test screenshots land in the folder the environment names, under the test's
// own name, and nowhere when no folder is named.
#include "UIKitTestSupport.h"

#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// Sets RD_SCREENSHOT_DIR for one test and puts the previous value back.
class ScopedScreenshotDir {
public:
    explicit ScopedScreenshotDir(const char* dir) {
        if (const char* old = std::getenv("RD_SCREENSHOT_DIR")) previous_ = old;
        if (dir)
            setenv("RD_SCREENSHOT_DIR", dir, 1);
        else
            unsetenv("RD_SCREENSHOT_DIR");
    }
    ~ScopedScreenshotDir() {
        if (previous_)
            setenv("RD_SCREENSHOT_DIR", previous_->c_str(), 1);
        else
            unsetenv("RD_SCREENSHOT_DIR");
    }

private:
    std::optional<std::string> previous_;
};

}  // namespace

TEST_F(UIKitTest, ScreenshotsAreNamedAfterTheTestInTheNamedFolder) {
    TempDir dir;
    std::string folder = dir.file("shots");  // made on the first shot
    ScopedScreenshotDir env(folder.c_str());
    auto view = std::make_shared<UIView>(CGRectMake(0, 0, 20, 10));
    view->setBackgroundColor(UIColor::redColor());
    auto image = saveScreenshot(*view, "red");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 40) << "two pixels per point";
    std::string expected = folder + "/UIKitTest.ScreenshotsAreNamedAfterTheTestInTheNamedFolder-red.png";
    EXPECT_EQ(screenshotPath("red"), expected);
    auto back = UIImage::imageWithContentsOfFile(expected);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixelHeight(), 20);

    auto screen = saveScreenshot("screen");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->pixelWidth(), 640);
    EXPECT_EQ(screen->pixelHeight(), 960);
    EXPECT_TRUE(std::filesystem::exists(screenshotPath("screen")));
}

TEST_F(UIKitTest, WithoutTheFolderNothingIsWrittenButTheRenderIsMade) {
    ScopedScreenshotDir env(nullptr);
    EXPECT_EQ(screenshotPath("x"), "");
    auto image = saveScreenshot("screen");
    ASSERT_TRUE(image) << "the test can still look at the pixels";
    EXPECT_EQ(image->pixelWidth(), 640);
}
