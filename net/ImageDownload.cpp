#include "net/ImageDownload.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>

#include "core/security/Digests.h"
#include "net/HTTPRequest.h"
#include "net/NetworkActivityIndicator.h"
#include "net/NetworkManager.h"
#include "net/ServiceProtocol.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/NSOperationQueue.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/TextHelpers.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

bool isFetchableURL(const std::string& url) {
    std::string l = lowercasedText(url.substr(0, 8));
    bool scheme = l.rfind("http://", 0) == 0 || l.rfind("https://", 0) == 0;
    bool clean = std::none_of(url.begin(), url.end(), [](unsigned char c) { return c <= ' ' || c == 0x7f; });
    return scheme && clean && url.size() > 8;
}

bool isImageReply(const HTTPRequest& r) {
    if (r.failed() || r.responseStatusCode() != 200 || r.responseData().empty()) return false;
    auto type = r.responseHeader("Content-Type");
    if (!type) return true;
    std::string t = lowercasedText(*type);
    return t.rfind("image/", 0) == 0 || t.rfind("application/octet-stream", 0) == 0;
}

std::string cacheFolder() { return documentsPath(kImageCacheFolder); }

class ImageDownloader {
public:
    static ImageDownloader& shared() {
        static ImageDownloader d;
        return d;
    }

    void download(const std::string& url, ImageDataCompletion done) {
        if (!done) return;
        if (!isFetchableURL(url)) {
            RunLoop::main().post([done = std::move(done)] { done(std::nullopt); });
            return;
        }
        if (auto it = writing_.find(url); it != writing_.end()) {
            RunLoop::main().post([done = std::move(done), bytes = it->second] { done(*bytes); });
            return;
        }
        auto [it, fresh] = entries_.try_emplace(url);
        it->second.waiters.push_back(std::move(done));
        if (!fresh) return;  // on its way already: shares the answer
        std::string path = imageCachePath(url);
        disk_.addOperation([url, path] {
            auto bytes = readWholeFile(path, kMaxImageBytes);
            if (bytes && bytes->empty()) bytes.reset();
            RunLoop::main().post([url, bytes = std::move(bytes)]() mutable {
                ImageDownloader::shared().diskChecked(url, std::move(bytes));
            });
        });
    }

    void clear() {
        writing_.clear();
        // On the disk thread, so that it is ordered with the writes already queued.
        std::string folder = cacheFolder();
        disk_.addOperation([folder] {
            std::error_code ec;
            fs::remove_all(folder, ec);
        });
    }

    size_t inFlight() const { return entries_.size(); }

private:
    struct Entry {
        std::vector<ImageDataCompletion> waiters;
        std::shared_ptr<HTTPRequest> http;  // set while fetching
    };

    ImageDownloader() {
        NetworkManager::manager().addRemoveAllObserver(this, [this] { fetchesCancelled(); });
    }
    ~ImageDownloader() { NetworkManager::manager().removeRemoveAllObserver(this); }

    void diskChecked(const std::string& url, std::optional<Bytes> bytes) {
        auto it = entries_.find(url);
        if (it == entries_.end()) return;
        if (bytes) {
            finish(url, std::move(bytes));
            return;
        }
        auto& manager = NetworkManager::manager();
        auto http = HTTPRequest::requestWithURL(url);
        http->setUserAgent(ServiceProtocol::kUserAgent);
        http->setTimeOutSeconds(manager.timeOutSeconds());
        http->setMaxResponseBytes(kMaxImageBytes);
        http->setCompletionBlock([url](HTTPRequest& r) { ImageDownloader::shared().fetched(url, r); });
        it->second.http = http;
        NetworkActivityIndicator::shared().requestStarted();
        manager.queue().addOperation(http);
    }

    void fetched(const std::string& url, HTTPRequest& r) {
        auto it = entries_.find(url);
        if (it == entries_.end() || it->second.http.get() != &r) return;
        NetworkActivityIndicator::shared().requestEnded();
        NetworkManager::manager().addTraffic(r.bytesSent(), r.bytesReceived());
        if (!isImageReply(r)) {
            finish(url, std::nullopt);
            return;
        }
        auto bytes = std::make_shared<const Bytes>(r.responseData());
        writing_[url] = bytes;
        std::string path = imageCachePath(url);
        std::string folder = cacheFolder();
        disk_.addOperation([url, path, folder, bytes] {
            createPrivateDirectories(folder);
            // A cache: a failed write only means the next call fetches again.
            writeFileAtomically(path, *bytes);
            RunLoop::main().post([url, bytes] {
                auto& self = ImageDownloader::shared();
                auto w = self.writing_.find(url);
                if (w != self.writing_.end() && w->second == bytes) self.writing_.erase(w);
            });
        });
        finish(url, *bytes);
    }

    // removeAllRequest has cancelled the fetches of the shared queue.
    void fetchesCancelled() {
        std::vector<ImageDataCompletion> waiters;
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (!it->second.http) {
                ++it;
                continue;
            }
            NetworkActivityIndicator::shared().requestEnded();
            for (auto& w : it->second.waiters) waiters.push_back(std::move(w));
            it = entries_.erase(it);
        }
        if (waiters.empty()) return;
        RunLoop::main().post([waiters = std::move(waiters)] {
            for (auto& w : waiters) w(std::nullopt);
        });
    }

    void finish(const std::string& url, std::optional<Bytes> bytes) {
        auto it = entries_.find(url);
        if (it == entries_.end()) return;
        auto waiters = std::move(it->second.waiters);
        entries_.erase(it);  // a waiter may ask for the same URL again
        for (auto& w : waiters) w(bytes);
    }

    std::map<std::string, Entry> entries_;  // URL -> disk check or fetch in progress
    std::map<std::string, std::shared_ptr<const Bytes>> writing_;
    NSOperationQueue disk_{1};
};

}  // namespace

void downloadImageData(const std::string& url, ImageDataCompletion done) {
    ImageDownloader::shared().download(url, std::move(done));
}

std::string imageCachePath(const std::string& url) { return cacheFolder() + "/" + md5Hex(url); }

void clearImageCache() { ImageDownloader::shared().clear(); }

size_t imageDownloadsInFlight() { return ImageDownloader::shared().inFlight(); }
