#include "ui/ImageCache.h"

#include "net/ImageDownload.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/UIImage.h"

#include <filesystem>

namespace fs = std::filesystem;

ImageCache& ImageCache::sharedCache() {
    static ImageCache cache;
    return cache;
}

// Downloads go through the HTTP engine's image download, which keeps the same
// files in the same folder; tests put a fake fetch in its place.
ImageCache::ImageCache() : fetch_(downloadImageData) {}

void ImageCache::setFetchFunction(Fetch fetch) { fetch_ = std::move(fetch); }

std::string ImageCache::cachePathForURL(const std::string& url) { return imageCachePath(url); }

std::shared_ptr<UIImage> ImageCache::cachedImage(const std::string& url) const {
    auto bytes = readWholeFile(cachePathForURL(url), kMaxImageBytes);
    if (!bytes) return nullptr;
    return UIImage::imageWithData(*bytes);
}

void ImageCache::clear() { clearImageCache(); }

void ImageCache::loadImage(const std::string& url, Completion completion) {
    if (url.empty()) {
        RunLoop::main().post([completion] {
            if (completion) completion(nullptr);
        });
        return;
    }
    if (auto image = cachedImage(url)) {
        RunLoop::main().post([completion, image] {
            if (completion) completion(image);
        });
        return;
    }
    for (auto& [u, waiting] : pending_) {
        if (u == url) {
            waiting.push_back(std::move(completion));
            return;
        }
    }
    if (!fetch_) {
        RunLoop::main().post([completion] {
            if (completion) completion(nullptr);
        });
        return;
    }
    pending_.push_back({url, {std::move(completion)}});
    ++fetches_;
    fetch_(url, [this, url](std::optional<Bytes> bytes) {
        performOnMainThread([this, url, bytes = std::move(bytes)]() mutable { finish(url, std::move(bytes)); });
    });
}

void ImageCache::finish(const std::string& url, std::optional<Bytes> bytes) {
    std::vector<Completion> waiting;
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it->first == url) {
            waiting = std::move(it->second);
            pending_.erase(it);
            break;
        }
    }
    std::shared_ptr<UIImage> image;
    if (bytes && bytes->size() <= kMaxImageBytes) image = UIImage::imageWithData(*bytes);
    if (image) {
        createPrivateDirectories(fs::path(cachePathForURL(url)).parent_path().string());
        writeFileAtomically(cachePathForURL(url), *bytes);  // a failed write only costs a later download
    }
    for (auto& c : waiting)
        if (c) c(image);
}
