#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

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
    auto request = std::make_shared<HTTPRequest>(server.url("/probe"));
    bool done = false;
    HTTPEngine::shared().start(request, [&](HTTPRequest::Result r) {
        request->applyResult(std::move(r));
        done = true;
    });
    RunLoop::main().runUntil([&] { return done; }, kHangSeconds, kHangSeconds);
    server.stopServing();
    ASSERT_TRUE(done);
    EXPECT_EQ(request->responseStatusCode(), 200);
    EXPECT_EQ(authorization, "");
}

}  // namespace
