#include "UITestSupport.h"

#include "core/security/Digests.h"
#include "platform/foundation/Paths.h"
#include "platform/graphics/CGContext.h"
#include "tests/support/TestSupport.h"
#include "ui/ImageCache.h"

#include <filesystem>

namespace {
std::vector<uint8_t> pngBytes() {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), false, 1);
    UIGraphicsGetCurrentContext()->setFillColor(1, 0, 0, 1);
    UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 4, 4));
    auto img = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return img->pngData();
}
}  // namespace

class ImageCacheTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        cache.setFetchFunction(
            [this](const std::string& url, std::function<void(std::optional<std::vector<uint8_t>>)> done) {
                fetched.push_back(url);
                // The body arrives later, as a network reply would.
                RunLoop::main().post([this, url, done] {
                    done(url.find("bad") != std::string::npos ? std::optional(std::vector<uint8_t>{1, 2, 3})
                                                              : std::optional(pngBytes()));
                });
            });
    }
    void TearDown() override {
        cache.setFetchFunction(nullptr);
        WidgetTest::TearDown();
    }
    std::shared_ptr<UIImage> load(const std::string& url) {
        std::shared_ptr<UIImage> got;
        bool called = false;
        cache.loadImage(url, [&](std::shared_ptr<UIImage> i) {
            got = i;
            called = true;
        });
        EXPECT_FALSE(called) << "never inside the call";
        RunLoop::main().runUntil([&] { return called; }, 1, kHangSeconds);
        EXPECT_TRUE(called);
        return got;
    }
    ScopedDocuments docs;
    ImageCache cache;
    std::vector<std::string> fetched;
};

TEST_F(ImageCacheTest, SecondRequestIsServedFromDisk) {
    const std::string url = "http://127.0.0.1/icons/zxhq.png";
    auto first = load(url);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(fetched.size(), 1u);
    std::string path = documentsPath("ImageCache") + "/" + md5Hex(url);
    EXPECT_EQ(ImageCache::cachePathForURL(url), path);
    EXPECT_TRUE(std::filesystem::exists(path));
    auto second = load(url);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(fetched.size(), 1u) << "no second download";
    EXPECT_EQ(second->pixelWidth(), 4);
}

TEST_F(ImageCacheTest, ConcurrentRequestsShareOneDownload) {
    int answers = 0;
    for (int i = 0; i < 3; ++i)
        cache.loadImage("http://h/a.png", [&](std::shared_ptr<UIImage> img) { answers += img ? 1 : 0; });
    RunLoop::main().runUntil([&] { return answers == 3; }, 1, kHangSeconds);
    EXPECT_EQ(answers, 3);
    EXPECT_EQ(fetched.size(), 1u);
}

TEST_F(ImageCacheTest, BodiesThatAreNotImagesAreNeitherServedNorStored) {
    EXPECT_EQ(load("http://h/bad.png"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(ImageCache::cachePathForURL("http://h/bad.png")));
    EXPECT_EQ(load("http://h/bad.png"), nullptr);
    EXPECT_EQ(fetched.size(), 2u) << "a failure is tried again next time";
}

TEST_F(ImageCacheTest, CorruptCacheFileIsDownloadedAgain) {
    const std::string url = "http://h/b.png";
    std::filesystem::create_directories(documentsPath("ImageCache"));
    FILE* f = fopen(ImageCache::cachePathForURL(url).c_str(), "wb");
    fputs("garbage", f);
    fclose(f);
    EXPECT_NE(load(url), nullptr);
    EXPECT_EQ(fetched.size(), 1u);
    EXPECT_NE(cache.cachedImage(url), nullptr) << "the good copy replaced the bad one";
}

TEST_F(ImageCacheTest, WithoutAFetchFunctionMissesFail) {
    cache.setFetchFunction(nullptr);
    EXPECT_EQ(load("http://h/c.png"), nullptr);
}
