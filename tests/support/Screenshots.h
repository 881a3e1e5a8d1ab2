#pragma once
// Screenshots of tests, for a developer to look at after a run. They go to the
// folder named by RD_SCREENSHOT_DIR (scripts/test sets it to
// build/<preset>/screenshots); without it nothing is written. Each file is
// named after the running test, "<Suite>.<Test>-<name>.png", so no two tests
// write the same file. The render is made either way, so a test drawing a
// screen behaves the same whether or not the folder is set, and is returned
// for pixel checks.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"

// The file a screenshot of the running test called `name` goes to; empty when
// RD_SCREENSHOT_DIR is unset or empty.
inline std::string screenshotPath(const std::string& name) {
    const char* dir = std::getenv("RD_SCREENSHOT_DIR");
    if (!dir || !*dir) return {};
    std::string test;
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        test = std::string(info->test_suite_name()) + "." + info->name() + "-";
    std::string file = test + name + ".png";
    for (char& c : file)
        if (c == '/' || c == '\\' || c == ' ') c = '_';  // parameterised tests name themselves "Suite/Test/0"
    return (std::filesystem::path(dir) / file).string();
}

// Writes the image under the running test's name (when the folder is named).
inline void saveScreenshot(const UIImage& image, const std::string& name) {
    std::string path = screenshotPath(name);
    if (path.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    EXPECT_TRUE(image.writePNG(path)) << "cannot write " << path;
}

// The same for a render that may be missing; the image is handed back.
inline std::shared_ptr<UIImage> saveScreenshot(std::shared_ptr<UIImage> image, const std::string& name) {
    if (image) saveScreenshot(*image, name);
    return image;
}

// The view (and what it holds) at 2 pixels per point.
inline std::shared_ptr<UIImage> saveScreenshot(UIView& view, const std::string& name) {
    return saveScreenshot(view.renderToImage(2), name);
}

// The key window as the phone shows it (status bar included) at 2 pixels per
// point; null without a key window.
inline std::shared_ptr<UIImage> saveScreenshot(const std::string& name) {
    UIWindow* window = UIApplication::sharedApplication().keyWindow();
    if (!window) return nullptr;
    window->layoutIfNeeded();
    return saveScreenshot(window->renderScreenToImage(2), name);
}
