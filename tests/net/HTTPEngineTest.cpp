#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/HTTPEngine.h"
#include "net/HTTPRequest.h"
#include "platform/foundation/RunLoop.h"
#include "tests/net/NetTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(ReplyHeaders, LinesReadAsNameAndValue) {
    auto h = parseReplyHeaderLine("Etag:  0,12,18,36 \r\n");
    ASSERT_TRUE(h);
    EXPECT_EQ(h->first, "Etag");
    EXPECT_EQ(h->second, "0,12,18,36");
    h = parseReplyHeaderLine("Location: http://127.0.0.1:1/a:b\r\n");  // the first colon separates
    ASSERT_TRUE(h);
    EXPECT_EQ(h->second, "http://127.0.0.1:1/a:b");
    EXPECT_TRUE(parseReplyHeaderLine("Empty:\r\n"));
    for (const char* none : {"\r\n", "", "no colon here\r\n", ": no name\r\n", "HTTP/1.1 200 OK\r\n"})
        EXPECT_FALSE(parseReplyHeaderLine(none)) << none;
    EXPECT_TRUE(isStatusLine("HTTP/1.1 302 Found\r\n"));
    EXPECT_FALSE(isStatusLine("X-HTTP/1.1: 1\r\n"));
}

// Restores an environment variable when the test ends.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The status of a GET of the url through the engine (0: no answer).
int fetchStatus(const std::string& url) {
    auto request = std::make_shared<HTTPRequest>(url);
    bool done = false;
    HTTPEngine::shared().start(request, [&](HTTPRequest::Result r) {
        request->applyResult(std::move(r));
        done = true;
    });
    RunLoop::main().runUntil([&] { return done; }, kHangSeconds, kHangSeconds);
    return done ? request->responseStatusCode() : 0;
}

TEST(HTTPEngineCredentials, TheUsersNetrcIsNeverRead) {
    TempDir home;
    {
        std::ofstream netrc(home.file(".netrc"));
        netrc << "machine 127.0.0.1 login someone password secret\n";
    }
    ScopedEnv env("HOME", home.path());
    LoopbackServer server;
    std::string authorization = "(no request)";
    server.Get("/probe", [&](const httplib::Request& req, httplib::Response& res) {
        authorization = req.get_header_value("Authorization");
        res.set_content("ok", "text/plain");
    });
    ASSERT_TRUE(server.startServing());
    EXPECT_EQ(fetchStatus(server.url("/probe")), 200);
    server.stopServing();
    EXPECT_EQ(authorization, "");
}

// The header given for an origin (the client's secret for the server it
// embeds) reaches that origin and nothing else: not another port of the
// host, not a proxy the environment names, not the place a redirect names.
TEST(HTTPEngineCredentials, AnOriginsHeaderReachesItAlone) {
    LoopbackServer origin, other;
    std::mutex seenLock;
    std::vector<std::string> seenElsewhere;  // the header of every request `other` gets, as its proxy too
    other.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(seenLock);
        seenElsewhere.push_back(req.get_header_value("Authorization"));
        res.set_content("ok", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });
    std::string seenAtOrigin = "(no request)";
    origin.Get("/probe", [&](const httplib::Request& req, httplib::Response& res) {
        seenAtOrigin = req.get_header_value("Authorization");
        res.set_content("ok", "text/plain");
    });
    origin.Get("/away", [&](const httplib::Request&, httplib::Response& res) { res.set_redirect(other.url("/away")); });
    ASSERT_TRUE(other.startServing());
    ASSERT_TRUE(origin.startServing());
    HTTPEngine::shared().setPrivateOrigin({origin.url(""), "", "Authorization", "Bearer s3cret"});
    {
        ScopedEnv proxy("http_proxy", other.url("")), noProxy("no_proxy", "example.invalid"),
            noProxyUpper("NO_PROXY", "example.invalid");
        EXPECT_EQ(fetchStatus(origin.url("/probe")), 200);
    }
    EXPECT_EQ(seenAtOrigin, "Bearer s3cret") << "straight to the origin, past the proxy";
    EXPECT_EQ(fetchStatus(origin.url("/away")), 302) << "a redirect is the origin's answer";
    EXPECT_EQ(fetchStatus(other.url("/elsewhere")), 200);
    HTTPEngine::shared().setPrivateOrigin({});
    EXPECT_EQ(fetchStatus(origin.url("/probe")), 200);
    EXPECT_EQ(seenAtOrigin, "") << "forgotten";
    origin.stopServing();
    other.stopServing();
    std::lock_guard lock(seenLock);
    EXPECT_EQ(seenElsewhere, std::vector<std::string>{""}) << "only the request meant for it, without the header";
}

// The origin of a server on a Unix-domain socket (the client's embedded
// one, which listens on no port) is reached through the socket, its header
// with it, past a proxy, by a request sent once as by any other: whatever
// listens at the host and port its URL names gets none of it. Forgotten, the
// URL is an ordinary one again.
TEST(HTTPEngineCredentials, AnOriginOnASocketIsReachedThroughItAlone) {
    TempDir dir;
    LoopbackServer onSocket, atPort;
    std::mutex seenLock;
    std::vector<std::string> seenOnSocket, seenAtPort;  // the header of each request each gets
    for (auto [server, seen] : {std::pair{&onSocket, &seenOnSocket}, std::pair{&atPort, &seenAtPort}}) {
        server->set_pre_routing_handler([&seenLock, seen = seen](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(seenLock);
            seen->push_back(req.get_header_value("Authorization"));
            res.set_content("ok", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        });
    }
    ASSERT_TRUE(onSocket.startServingAt(dir.file("s")));
    ASSERT_TRUE(atPort.startServing());
    HTTPEngine::shared().setPrivateOrigin({atPort.url(""), dir.file("s"), "Authorization", "Bearer s3cret"});
    {
        ScopedEnv proxy("http_proxy", atPort.url("")), noProxy("no_proxy", "example.invalid"),
            noProxyUpper("NO_PROXY", "example.invalid");
        EXPECT_EQ(fetchStatus(atPort.url("/probe")), 200);
        auto once = std::make_shared<HTTPRequest>(atPort.url("/vta"));
        once->setPostBody("a=1");
        once->setRepeatable(false);
        bool done = false;
        HTTPEngine::shared().start(once, [&](HTTPRequest::Result r) {
            once->applyResult(std::move(r));
            done = true;
        });
        RunLoop::main().runUntil([&] { return done; }, kHangSeconds, kHangSeconds);
        EXPECT_EQ(once->responseStatusCode(), 200);
    }
    HTTPEngine::shared().setPrivateOrigin({});
    EXPECT_EQ(fetchStatus(atPort.url("/probe")), 200);
    onSocket.stopServing();
    atPort.stopServing();
    std::lock_guard lock(seenLock);
    EXPECT_EQ(seenOnSocket, (std::vector<std::string>{"Bearer s3cret", "Bearer s3cret"}));
    EXPECT_EQ(seenAtPort, std::vector<std::string>{""}) << "only the request after the origin was forgotten";
}

}  // namespace
