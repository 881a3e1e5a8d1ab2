// Where a request ends in what a connection received: whole, not yet, too
// large, or no request at all, however the bytes come.
#include <gtest/gtest.h>

#include <string>

#include "sim/SimHttpFraming.h"

namespace {

using State = SimHttpFraming::State;

struct Case {
    const char* what;
    std::string bytes;
    State state;
    size_t length = 0;    // of the whole request
    bool closes = false;  // the connection closes after the answer
};

constexpr size_t kHeaderLimit = 200;
constexpr size_t kBodyLimit = 10;

}  // namespace

TEST(SimHttpFramingTest, FindsTheEndOfOneRequest) {
    const std::string get = "GET /vta HTTP/1.1\r\nHost: sim\r\n\r\n";
    const std::string post = "POST /vta HTTP/1.1\r\ncontent-length: 5\r\n\r\n";
    const std::string chunked = "POST /vta HTTP/1.1\r\nTransfer-Encoding:  Chunked \r\nContent-Length: 99\r\n\r\n";
    const std::string chunksAlone = "POST /vta HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n";
    auto coding = [](const std::string& value) {
        return "POST / HTTP/1.1\r\nTransfer-Encoding: " + value + "\r\nContent-Length: 2\r\n\r\n2\r\nok\r\n0\r\n\r\n";
    };
    const Case cases[] = {
        {"headers not ended", "GET /vta HTTP/1.1\r\nHost: sim\r\n", State::Incomplete},
        {"no body", get, State::Complete, get.size()},
        {"a second request after it", get + get, State::Complete, get.size()},
        {"body short of its length", post + "abcd", State::Incomplete},
        {"body of its length", post + "abcde", State::Complete, post.size() + 5},
        {"the next request begun", post + "abcdeGET", State::Complete, post.size() + 5},
        {"the body limit exactly", "POST / HTTP/1.1\r\nContent-Length: 10\r\n\r\n", State::Incomplete},
        {"a length past the limit, refused before the body",
         "POST / HTTP/1.1\r\nContent-Length: 11\r\n\r\n", State::BodyTooLarge},
        {"an absurd length", "POST / HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n", State::Malformed},
        {"a length that is no number", "POST / HTTP/1.1\r\nContent-Length: 5x\r\n\r\n", State::Malformed},
        {"two lengths that differ", "POST / HTTP/1.1\r\nContent-Length: 5\r\ncontent-length: 6\r\n\r\nabcdef",
         State::Malformed},
        {"two lengths that differ, with chunks",
         "POST / HTTP/1.1\r\nContent-Length: 1\r\nTransfer-Encoding: chunked\r\nContent-Length: 2\r\n\r\n0\r\n\r\n",
         State::Malformed},
        {"three lengths, the last two the same",
         "POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\nContent-Length: 6\r\n\r\nabcdef",
         State::Malformed},
        {"a length with a space before its colon", "POST / HTTP/1.1\r\nContent-Length : 2\r\n\r\nok", State::Malformed},
        {"chunks named with a space before the colon",
         "POST / HTTP/1.1\r\nTransfer-Encoding : chunked\r\nContent-Length: 2\r\n\r\nok", State::Malformed},
        {"a name folded onto its line", "POST / HTTP/1.1\r\nHost: sim\r\n Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
         State::Malformed},
        {"a value folded onto the next line", "POST / HTTP/1.1\r\nX-A: a\r\n b\r\nContent-Length: 0\r\n\r\n",
         State::Malformed},
        {"a length folded onto the next line",
         "POST / HTTP/1.1\r\nContent-Length: 74\r\n 0\r\n\r\n" + std::string(74, 'x'), State::Malformed},
        {"the first header line folded onto the request line", "GET / HTTP/1.1\r\n\tx\r\nHost: sim\r\n\r\n",
         State::Malformed},
        {"a header line without a colon", "GET / HTTP/1.1\r\nX-A b\r\nHost: sim\r\n\r\n", State::Malformed},
        {"a length without its colon beside a real one",
         "POST / HTTP/1.1\r\nContent-Length 5\r\nContent-Length: 2\r\n\r\nok", State::Malformed},
        {"a NUL in a header name", std::string("GET / HTTP/1.1\r\nX-\0A: b\r\nHost: sim\r\n\r\n", 38),
         State::Malformed},
        {"a CR alone in a header value", "POST / HTTP/1.1\r\nX-A: a\rContent-Length: 2\r\n\r\nok", State::Malformed},
        {"a NUL in a header value", std::string("GET / HTTP/1.1\r\nX-A: b\0c\r\nHost: sim\r\n\r\n", 39),
         State::Malformed},
        {"one length said twice", "POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\nabcde",
         State::Complete, 62},
        {"headers past their limit", "GET / HTTP/1.1\r\nX: " + std::string(kHeaderLimit, 'x'), State::HeadersTooLarge},
        {"chunks (the length is ignored, the connection closed)", chunked + "3\r\nabc\r\n2;x=y\r\nde\r\n0\r\n\r\n",
         State::Complete, chunked.size() + 24, true},
        {"chunks alone", chunksAlone + "1\r\na\r\n0\r\n\r\n", State::Complete, chunksAlone.size() + 11},
        {"chunks with a trailer", chunked + "1\r\na\r\n0\r\nT: v\r\n\r\n", State::Complete, chunked.size() + 17, true},
        {"chunks after another coding", coding("gzip, chunked"), State::UnknownCoding},
        {"chunks after identity", coding("identity, chunked"), State::UnknownCoding},
        {"a coding that only ends in chunked", coding("xchunked"), State::UnknownCoding},
        {"a coding that is not chunks", coding("gzip"), State::UnknownCoding},
        {"chunks of chunks", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
         State::UnknownCoding},
        {"a chunk not all here", chunked + "5\r\nab", State::Incomplete},
        {"the last chunk without the blank line", chunked + "0\r\n", State::Incomplete},
        {"chunks past the body limit", chunked + "6\r\nabcdef\r\n5\r\n", State::BodyTooLarge},
        {"a chunk size that is no number", chunked + "zz\r\n", State::Malformed},
        {"a chunk without its line end", chunked + "1\r\nab\r\n", State::Malformed},
        {"a chunk-size line without end", chunked + std::string(2000, '1'), State::Malformed},
        {"a chunk-size line past its bound, whole", chunked + "1;x=" + std::string(2000, 'y') + "\r\na\r\n0\r\n\r\n",
         State::Malformed},
    };
    for (const auto& c : cases) {
        SimHttpFraming whole(kHeaderLimit, kBodyLimit);
        EXPECT_EQ(whole.look(c.bytes), c.state) << c.what;
        if (c.state == State::Complete) {
            EXPECT_EQ(whole.requestBytes(), c.length) << c.what;
            EXPECT_EQ(whole.closesAfter(), c.closes) << c.what;
        }
        // Byte by byte, the same answer in the end, and nothing earlier than that.
        SimHttpFraming trickled(kHeaderLimit, kBodyLimit);
        State seen = State::Incomplete;
        size_t at = 0;
        while (at < c.bytes.size() && seen == State::Incomplete)
            seen = trickled.look(std::string_view(c.bytes).substr(0, ++at));
        EXPECT_EQ(seen, c.state) << c.what << " (trickled)";
        if (c.state == State::Complete) {
            EXPECT_EQ(at, c.length) << c.what << " (trickled)";
        }
    }
}

TEST(SimHttpFramingTest, AnExpectedContinueIsSeenAndTheNextRequestStartsAfresh) {
    SimHttpFraming f(kHeaderLimit, kBodyLimit);
    const std::string head = "POST / HTTP/1.1\r\nExpect: 100-Continue\r\nContent-Length: 2\r\n\r\n";
    EXPECT_EQ(f.look(head), State::Incomplete);
    EXPECT_TRUE(f.expectsContinue());
    EXPECT_EQ(f.headerBytes(), head.size());
    EXPECT_EQ(f.look(head + "ok"), State::Complete);
    f.reset();
    EXPECT_FALSE(f.expectsContinue());
    EXPECT_EQ(f.look("GET / HTTP/1.1\r\n\r\n"), State::Complete);
}
