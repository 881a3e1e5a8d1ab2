#pragma once
// Images downloaded by address, kept on disk in Documents/"ImageCache": the
// file name is the lower-case MD5 hex of the address, the content the image
// bytes as downloaded. A request is served from the disk when the file is
// there and decodes; otherwise the fetch function downloads it, the bytes are
// checked to be an image, written atomically and served. Requests for the
// same address while a download runs share it. Completions always come on the
// main run loop, never inside the call.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIImage;

class ImageCache {
public:
    using Bytes = std::vector<uint8_t>;
    // Downloads an address and calls `done` once (on any thread) with the
    // body, or nullopt on failure. The HTTP engine is plugged in here.
    using Fetch = std::function<void(const std::string& url, std::function<void(std::optional<Bytes>)> done)>;
    using Completion = std::function<void(std::shared_ptr<UIImage> image)>;

    ImageCache();
    static ImageCache& sharedCache();

    void setFetchFunction(Fetch fetch);
    // Calls completion with the image, or null when it cannot be had.
    void loadImage(const std::string& url, Completion completion);
    // The image from the disk only (null when not cached).
    std::shared_ptr<UIImage> cachedImage(const std::string& url) const;
    static std::string cachePathForURL(const std::string& url);
    // Removes every cached file.
    void clear();
    // Downloads started so far (tests).
    int fetchCount() const { return fetches_; }

private:
    void finish(const std::string& url, std::optional<Bytes> bytes);
    struct Pending;
    Fetch fetch_;
    std::vector<std::pair<std::string, std::vector<Completion>>> pending_;
    int fetches_ = 0;
};
