#include "tests/net/NetTestSupport.h"

#include <httplib.h>

#include <filesystem>

#include "core/security/Digests.h"
#include "net/HTTPRequest.h"
#include "net/ImageDownload.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "sim/SimImages.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class ImageDownloadTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        clearImageCache();
    }
    std::string image(const std::string& name) { return sim->url() + "/img/" + name + ".png"; }
    static Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

    // Asks for a URL and runs the loop until the answer came.
    std::optional<Bytes> fetch(const std::string& url) {
        bool answered = false;
        std::optional<Bytes> got;
        downloadImageData(url, [&](std::optional<Bytes> b) {
            answered = true;
            got = std::move(b);
        });
        EXPECT_FALSE(answered);  // never from inside the call
        EXPECT_TRUE(waitFor([&] { return answered; }));
        return got;
    }
};

TEST_F(ImageDownloadTest, DownloadsOnceThenServesFromTheDiskCache) {
    const std::string url = image("logo");
    const std::string path = imageCachePath(url);
    EXPECT_EQ(path, documentsPath("ImageCache") + "/" + md5Hex(url));
    auto first = fetch(url);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, bytesOf(*simImagePNG("logo")));
    EXPECT_EQ(sim->imageRequestCount(), 1u);
    ASSERT_TRUE(waitFor([&] { return fs::exists(path); }));
    EXPECT_EQ(readWholeFile(path), first);

    auto second = fetch(url);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, *first);
    EXPECT_EQ(sim->imageRequestCount(), 1u);

    // Whatever the cache file holds is the answer: the server is not asked.
    const std::string other = image("banner");
    fs::create_directories(documentsPath("ImageCache"));
    ASSERT_TRUE(writeFileAtomically(imageCachePath(other), {1, 2, 3}));
    EXPECT_EQ(fetch(other), (Bytes{1, 2, 3}));
    EXPECT_EQ(sim->imageRequestCount(), 1u);

    // After the cache is cleared the image is fetched again.
    clearImageCache();
    EXPECT_EQ(fetch(url), first);
    EXPECT_EQ(sim->imageRequestCount(), 2u);
}

TEST_F(ImageDownloadTest, CallersOfTheSameURLShareOneFetch) {
    const std::string url = image("ad");
    std::vector<std::optional<Bytes>> answers;
    for (int i = 0; i < 3; ++i) downloadImageData(url, [&](std::optional<Bytes> b) { answers.push_back(b); });
    EXPECT_EQ(imageDownloadsInFlight(), 1u);
    ASSERT_TRUE(waitFor([&] { return answers.size() == 3; }));
    for (auto& a : answers) EXPECT_EQ(a, bytesOf(*simImagePNG("ad")));
    EXPECT_EQ(sim->imageRequestCount(), 1u);
    EXPECT_EQ(imageDownloadsInFlight(), 0u);
}

TEST_F(ImageDownloadTest, FailuresAnswerNothingAndCacheNothing) {
    // No such image: 404.
    const std::string missing = image("nothere");
    EXPECT_EQ(fetch(missing), std::nullopt);
    EXPECT_EQ(sim->imageRequestCount(), 1u);
    // A text page with status 200 (a captive portal would do that) is not an image.
    const std::string page = sim->url() + "/vta";
    EXPECT_EQ(fetch(page), std::nullopt);
    // Nothing that is not http(s) is read: no local files through a server-given URL.
    EXPECT_EQ(fetch("file:///etc/passwd"), std::nullopt);
    EXPECT_EQ(fetch(""), std::nullopt);
    EXPECT_EQ(fetch("http://exa mple.com/a.png"), std::nullopt);
    // Nothing refused above reaches the cache; a later good fetch still works.
    EXPECT_FALSE(fs::exists(imageCachePath(missing)));
    EXPECT_FALSE(fs::exists(imageCachePath(page)));
    EXPECT_TRUE(fetch(image("logo")));
}

TEST_F(ImageDownloadTest, RemoveAllRequestEndsAFetchInFlightWithNothing) {
    NetworkActivityIndicator::shared().reset();
    bool answered = false;
    std::optional<Bytes> got = Bytes{9};
    downloadImageData(image("logo"), [&](std::optional<Bytes> b) {
        answered = true;
        got = std::move(b);
    });
    // The disk has been checked and the fetch is queued.
    ASSERT_TRUE(waitFor([] { return NetworkManager::manager().queue().operationCount() > 0; }));
    EXPECT_TRUE(NetworkActivityIndicator::shared().isVisible());
    NetworkManager::manager().removeAllRequest();
    EXPECT_FALSE(answered);
    ASSERT_TRUE(waitFor([&] { return answered; }));
    EXPECT_EQ(got, std::nullopt);
    EXPECT_EQ(imageDownloadsInFlight(), 0u);
    EXPECT_EQ(NetworkActivityIndicator::shared().runningCount(), 0);
    // Asked again, it comes.
    EXPECT_TRUE(fetch(image("logo")));
}

// The reply-size cap of a request: a reply longer than the cap fails the
// request instead of being taken.
TEST_F(ImageDownloadTest, ReplyLongerThanTheCapFailsTheRequest) {
    auto run = [&](int64_t cap) {
        auto r = HTTPRequest::requestWithURL(image("logo"));
        r->setMaxResponseBytes(cap);
        bool done = false;
        r->setCompletionBlock([&](HTTPRequest&) { done = true; });
        NetworkManager::manager().queue().addOperation(r);
        EXPECT_TRUE(waitFor([&] { return done; }));
        return r;
    };
    auto small = run(10);
    EXPECT_TRUE(small->failed());
    EXPECT_TRUE(small->responseData().size() <= 10);
    auto enough = run(static_cast<int64_t>(simImagePNG("logo")->size()));
    EXPECT_FALSE(enough->failed());
    EXPECT_EQ(enough->responseData(), bytesOf(*simImagePNG("logo")));
}

}  // namespace

namespace {

TEST_F(ImageDownloadTest, RepliesUpToTheCapAreKeptAndOnePastItIsRefused) {
    LoopbackServer server;
    server.Get(R"(/img/(\d+)\.png)", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(std::string(std::stoul(req.matches[1].str()), 'p'), "image/png");
    });
    ASSERT_TRUE(server.startServing());
    auto url = [&](int64_t size) { return server.url("/img/" + std::to_string(size) + ".png"); };
    auto largest = fetch(url(kMaxImageBytes));
    auto tooLarge = fetch(url(kMaxImageBytes + 1));
    ASSERT_TRUE(largest);
    EXPECT_EQ(int64_t(largest->size()), kMaxImageBytes);
    EXPECT_FALSE(tooLarge);
    EXPECT_FALSE(fs::exists(imageCachePath(url(kMaxImageBytes + 1))));
}

}  // namespace
