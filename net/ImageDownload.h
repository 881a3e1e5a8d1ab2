#pragma once
// Downloads of images by URL with a cache on disk, for the image cache of the
// user-interface toolkit (whose fetch function has the shape of
// downloadImageData) and screens that show pictures from the server.
//
// - Cache: the folder Documents/"ImageCache", one file per URL named
//   md5Hex(url) (lower-case hex, no extension), holding the reply body as it
//   came (after any gzip coding was undone). A URL found there is answered
//   from the file and never fetched again; nothing expires by itself
//   (clearImageCache() empties the folder).
// - Fetch: HTTP GET through NetworkManager's shared queue (user agent
//   "VTA-IPhone 1.0", the manager's time-out), replies up to kMaxImageBytes.
//   Only a 200 reply with a body, whose Content-Type (when given) is an image
//   or "application/octet-stream", is delivered and cached: an error page or a
//   captive portal's HTML never poisons the cache. Only http:// and https://
//   URLs are fetched (a server-given URL must not read local files).
// - Completion: always later on the main loop, never from inside the call;
//   bytes, or nullopt when the image could not be had. Callers of the same URL
//   while it is on its way share one fetch. NetworkManager::removeAllRequest
//   ends the fetches in flight with nullopt (they may be asked again).
// - Disk reads and writes run on a worker thread; a file being written is
//   served from memory meanwhile.
// Main thread only.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using ImageDataCompletion = std::function<void(std::optional<std::vector<uint8_t>>)>;

void downloadImageData(const std::string& url, ImageDataCompletion done);

// The cache file of a URL (whether or not it exists).
std::string imageCachePath(const std::string& url);
// Removes every cached file.
void clearImageCache();
// Fetches started and not yet ended (tests).
size_t imageDownloadsInFlight();

inline constexpr int64_t kMaxImageBytes = 8 << 20;
inline constexpr const char* kImageCacheFolder = "ImageCache";
