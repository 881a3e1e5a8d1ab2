#include "net/HTTPEngine.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/foundation/RunLoop.h"

namespace {

struct Transfer {
    std::shared_ptr<HTTPRequest> request;
    HTTPEngine::Done done;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    std::string body;  // kept alive for libcurl (POSTFIELDS does not copy)
    // To the private origin (HTTPEngine::setPrivateOrigin): its "Name: value"
    // and its socket ("" the URL's host and port).
    bool toPrivateOrigin = false;
    std::string originHeader, originSocket;
    HTTPRequest::Result result;
};

// Scheme, host and port of a URL as libcurl reads it when it connects (the
// port spelt out when the URL leaves it to the scheme); "" when it is no URL.
std::string originOf(const std::string& url) {
    CURLU* u = curl_url();
    std::string origin;
    if (u && curl_url_set(u, CURLUPART_URL, url.c_str(), CURLU_GUESS_SCHEME) == CURLUE_OK) {
        auto part = [u](CURLUPart which, unsigned flags) {
            char* text = nullptr;
            std::string out;
            if (curl_url_get(u, which, &text, flags) == CURLUE_OK && text) out = text;
            curl_free(text);
            std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
            return out;
        };
        const std::string scheme = part(CURLUPART_SCHEME, 0), host = part(CURLUPART_HOST, 0),
                          port = part(CURLUPART_PORT, CURLU_DEFAULT_PORT);
        if (!scheme.empty() && !host.empty() && !port.empty()) origin = scheme + "://" + host + ":" + port;
    }
    curl_url_cleanup(u);
    return origin;
}

size_t writeBody(char* ptr, size_t size, size_t n, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const int64_t limit = t->request->maxResponseBytes();
    if (limit > 0 && static_cast<int64_t>(t->result.data.size() + size * n) > limit) return 0;  // aborts: write error
    t->result.data.insert(t->result.data.end(), reinterpret_cast<uint8_t*>(ptr),
                          reinterpret_cast<uint8_t*>(ptr) + size * n);
    return size * n;
}

std::string trim(std::string s) {
    auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    return s;
}

size_t writeHeader(char* ptr, size_t size, size_t n, void* user) {
    auto* t = static_cast<Transfer*>(user);
    std::string line(ptr, size * n);
    if (isStatusLine(line))
        t->result.headers.clear();
    else if (auto header = parseReplyHeaderLine(line))
        t->result.headers.push_back(std::move(*header));
    return size * n;
}

}  // namespace

bool isStatusLine(const std::string& line) { return line.rfind("HTTP/", 0) == 0; }

std::optional<std::pair<std::string, std::string>> parseReplyHeaderLine(const std::string& line) {
    if (isStatusLine(line)) return std::nullopt;
    auto colon = line.find(':');
    if (colon == std::string::npos) return std::nullopt;
    std::string name = trim(line.substr(0, colon));
    if (name.empty()) return std::nullopt;
    return std::make_pair(std::move(name), trim(line.substr(colon + 1)));
}

struct HTTPEngine::Impl {
    std::mutex mutex;
    std::deque<std::unique_ptr<Transfer>> incoming;
    // Held weakly: a request cancelled after its transfer ended may be gone
    // before the network thread reads the cancel, and a new request may live
    // at its address by then; only a request still alive is the one meant.
    std::vector<std::weak_ptr<HTTPRequest>> cancels;
    std::vector<std::weak_ptr<HTTPRequest>> timeOuts;  // held weakly for the same reason
    std::unordered_map<CURL*, std::unique_ptr<Transfer>> running;
    // Transfers started whose answer the main loop has not taken yet. Shared
    // with the answers posted, which count down once the loop has run them
    // (or dropped them unrun).
    std::shared_ptr<std::atomic<size_t>> active = std::make_shared<std::atomic<size_t>>(0);
    CURLM* multi = nullptr;
    std::atomic<bool> stopping{false};
    std::thread thread;
    std::string privateOrigin;  // originOf the url given to setPrivateOrigin ("" none)
    std::string originHeader;   // its "Name: value"
    std::string originSocket;   // its socket ("" none)

    void loop();
    void addTransfer(std::unique_ptr<Transfer> t);
    void finish(CURL* easy, CURLcode code);
    // Ends a running transfer before libcurl does: cancelled, or out of time.
    void drop(CURL* easy, bool timedOut);
    void dropEach(const std::vector<std::weak_ptr<HTTPRequest>>& meant, bool timedOut);
    void deliver(std::unique_ptr<Transfer> t);
};

HTTPEngine& HTTPEngine::shared() {
    // The main loop is made first so that it outlives the engine's thread.
    RunLoop::main();
    static HTTPEngine engine;
    return engine;
}

HTTPEngine::HTTPEngine() : impl_(std::make_unique<Impl>()) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    impl_->multi = curl_multi_init();
    impl_->thread = std::thread([this] { impl_->loop(); });
}

HTTPEngine::~HTTPEngine() {
    impl_->stopping = true;
    curl_multi_wakeup(impl_->multi);
    if (impl_->thread.joinable()) impl_->thread.join();
    for (auto& [easy, t] : impl_->running) {
        curl_multi_remove_handle(impl_->multi, easy);
        curl_easy_cleanup(easy);
        curl_slist_free_all(t->headerList);
    }
    impl_->running.clear();
    curl_multi_cleanup(impl_->multi);
}

void HTTPEngine::start(const std::shared_ptr<HTTPRequest>& request, Done done) {
    auto t = std::make_unique<Transfer>();
    t->request = request;
    t->done = std::move(done);
    t->body = request->postBody();
    const std::string origin = originOf(request->url());
    ++*impl_->active;
    {
        std::lock_guard lock(impl_->mutex);
        if (!origin.empty() && origin == impl_->privateOrigin) {
            t->toPrivateOrigin = true;
            t->originHeader = impl_->originHeader;
            t->originSocket = impl_->originSocket;
        }
        impl_->incoming.push_back(std::move(t));
    }
    curl_multi_wakeup(impl_->multi);
}

void HTTPEngine::cancel(HTTPRequest* request) {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->cancels.push_back(request->weak_from_this());
    }
    curl_multi_wakeup(impl_->multi);
}

void HTTPEngine::timeOut(HTTPRequest* request) {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->timeOuts.push_back(request->weak_from_this());
    }
    curl_multi_wakeup(impl_->multi);
}

size_t HTTPEngine::activeCount() const { return impl_->active->load(); }

void HTTPEngine::setPrivateOrigin(const PrivateOrigin& origin) {
    std::lock_guard lock(impl_->mutex);
    impl_->privateOrigin = origin.url.empty() ? std::string() : originOf(origin.url);
    const bool set = !impl_->privateOrigin.empty();
    impl_->originHeader = set && !origin.headerName.empty() ? origin.headerName + ": " + origin.headerValue : "";
    impl_->originSocket = set ? origin.socketPath : "";
}

void HTTPEngine::Impl::addTransfer(std::unique_ptr<Transfer> t) {
    const HTTPRequest& r = *t->request;
    CURL* easy = curl_easy_init();
    t->easy = easy;
    curl_easy_setopt(easy, CURLOPT_URL, r.url().c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, t.get());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, writeHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, t.get());
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");  // every coding libcurl can inflate
    // Credentials never come from a file of the user's (~/.netrc).
    curl_easy_setopt(easy, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
    if (r.isRepeatable()) {
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    } else {
        // Sent once: a connection of its own, which libcurl never re-sends on,
        // gone after it, and a redirect is an answer, not a second sending.
        curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    }
    if (!r.userAgent().empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, r.userAgent().c_str());
    if (r.maxBytesPerSecond() > 0)
        curl_easy_setopt(easy, CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(r.maxBytesPerSecond()));
    if (r.maxResponseBytes() > 0)  // refused at once when the announced length is already too long
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(r.maxResponseBytes()));
    if (r.isPost()) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, t->body.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(t->body.size()));
        t->headerList = curl_slist_append(t->headerList, "Content-Type: application/x-www-form-urlencoded");
    }
    t->headerList = curl_slist_append(t->headerList, "Expect:");
    for (const auto& [name, value] : r.requestHeaders())
        t->headerList = curl_slist_append(t->headerList, (name + ": " + value).c_str());
    if (t->toPrivateOrigin) {
        // Straight to the origin (through its socket when it has one),
        // whatever proxy the environment names, and not followed elsewhere:
        // the header is for it alone.
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        if (!t->originSocket.empty()) curl_easy_setopt(easy, CURLOPT_UNIX_SOCKET_PATH, t->originSocket.c_str());
        if (!t->originHeader.empty()) t->headerList = curl_slist_append(t->headerList, t->originHeader.c_str());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, t->headerList);
    curl_multi_add_handle(multi, easy);
    running.emplace(easy, std::move(t));
}

// Every transfer is answered exactly once on the main loop, cancelled ones
// too, so that their queue frees the slot; the queue skips their completion.
// The transfer stops counting only once the loop is done with its answer, so
// that whoever waits for the count to reach nought (with nothing left on the
// loop) never sees a transfer that has ended and an answer not yet posted.
void HTTPEngine::Impl::deliver(std::unique_ptr<Transfer> t) {
    struct Counted {
        explicit Counted(std::shared_ptr<std::atomic<size_t>> c) : count(std::move(c)) {}
        Counted(const Counted&) = delete;
        Counted& operator=(const Counted&) = delete;
        ~Counted() { --*count; }
        std::shared_ptr<std::atomic<size_t>> count;
    };
    auto request = t->request;
    auto done = std::move(t->done);
    auto result = std::make_shared<HTTPRequest::Result>(std::move(t->result));
    // Made in the task alone: no copy on this thread may outlive the task.
    RunLoop::main().post([request, done, result, counted = std::make_shared<Counted>(active)] {
        done(std::move(*result));
    });
}

void HTTPEngine::Impl::drop(CURL* easy, bool timedOut) {
    auto it = running.find(easy);
    if (it == running.end()) return;
    std::unique_ptr<Transfer> t = std::move(it->second);
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(t->headerList);
    running.erase(it);
    if (timedOut) {
        t->result.errorCode = CURLE_OPERATION_TIMEDOUT;
        t->result.error = curl_easy_strerror(CURLE_OPERATION_TIMEDOUT);
        t->result.timedOut = true;
    } else {
        t->result.error = "cancelled";
    }
    deliver(std::move(t));
}

void HTTPEngine::Impl::dropEach(const std::vector<std::weak_ptr<HTTPRequest>>& meant, bool timedOut) {
    for (const auto& m : meant) {
        const auto r = m.lock();
        if (!r) continue;
        for (auto& [easy, t] : running) {
            if (t->request == r) {
                drop(easy, timedOut);
                break;
            }
        }
    }
}

void HTTPEngine::Impl::finish(CURL* easy, CURLcode code) {
    auto it = running.find(easy);
    if (it == running.end()) return;
    std::unique_ptr<Transfer> t = std::move(it->second);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    t->result.status = static_cast<int>(status);
    long requestSize = 0, headerSize = 0;
    curl_off_t downloaded = 0;
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &requestSize);
    curl_easy_getinfo(easy, CURLINFO_HEADER_SIZE, &headerSize);
    curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &downloaded);
    t->result.sent = requestSize;  // request line, headers and body as sent
    t->result.received = headerSize + downloaded;
    if (code != CURLE_OK) {
        t->result.errorCode = code;
        t->result.error = curl_easy_strerror(code);
        t->result.timedOut = code == CURLE_OPERATION_TIMEDOUT;
        t->result.couldNotConnect =
            code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_RESOLVE_PROXY;
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(t->headerList);
    running.erase(it);
    deliver(std::move(t));
}

void HTTPEngine::Impl::loop() {
    while (!stopping) {
        std::deque<std::unique_ptr<Transfer>> added;
        std::vector<std::weak_ptr<HTTPRequest>> cancelled, outOfTime;
        {
            std::lock_guard lock(mutex);
            added.swap(incoming);
            cancelled.swap(cancels);
            outOfTime.swap(timeOuts);
        }
        for (auto& t : added) {
            if (t->request->isCancelled()) {
                t->result.error = "cancelled";
                deliver(std::move(t));
                continue;
            }
            addTransfer(std::move(t));
        }
        dropEach(cancelled, false);
        dropEach(outOfTime, true);
        int stillRunning = 0;
        curl_multi_perform(multi, &stillRunning);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg == CURLMSG_DONE) finish(msg->easy_handle, msg->data.result);
        }
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
}
