#pragma once
// Where one HTTP/1.1 request ends in the bytes a connection has received:
// the request line and headers up to the blank line, then a body of its
// "Content-Length" or in chunks ("Transfer-Encoding: chunked", which wins).
// Two "Content-Length" headers that differ make no request at all, and so
// does any transfer coding other than chunks alone: the handlers' parser
// reads a body as chunks only when the header says exactly "chunked", so a
// request framed by another rule here would reach them with chunk lines in
// its body, or never end. A request with both headers is answered and its
// connection closed: a proxy before us may have framed it by its length.
// The server's connection road reads every connection into a buffer and
// hands a request to a worker only once it is whole, so that slow clients
// hold no thread. Incremental: each look goes on from where the last stopped
// (a body sent one byte a chunk costs no more than sent at once).
#include <cstddef>
#include <string_view>

class SimHttpFraming {
public:
    enum class State {
        Incomplete,       // more bytes are needed
        Complete,         // requestBytes() bytes are one whole request
        HeadersTooLarge,  // no blank line within the header limit
        BodyTooLarge,     // the body is (or says it will be) over the body limit
        Malformed,        // a length or chunk size that is no number, two lengths that differ,
                          // a header line without a colon or whose name is no token (whitespace,
                          // a NUL), a header line folded (starting with a space or a tab), a
                          // chunk-size line of more than 1,024 bytes
        UnknownCoding,    // a Transfer-Encoding other than "chunked" alone
    };

    SimHttpFraming(size_t maxHeaderBytes, size_t maxBodyBytes)
        : maxHeaderBytes_(maxHeaderBytes), maxBodyBytes_(maxBodyBytes) {}

    // Looks at the bytes received so far (the same buffer, grown, each time;
    // the request starts at its first byte).
    State look(std::string_view received);
    // Valid once Complete: the request's length in the buffer.
    size_t requestBytes() const { return end_; }
    // Valid once Complete: the connection must close after the answer (chunks
    // and a length both said).
    bool closesAfter() const { return chunked_ && hasLength_; }
    // The headers ask for "100 Continue" before the body is sent.
    bool expectsContinue() const { return expectsContinue_; }
    // Where the headers end (after the blank line); 0 while not known.
    size_t headerBytes() const { return headerEnd_; }
    // The whole request's length as its headers tell it (headers and a body
    // of its Content-Length); 0 while not known, and for chunks.
    size_t expectedBytes() const { return headerEnd_ && !chunked_ ? headerEnd_ + contentLength_ : 0; }
    // For the next request on the connection.
    void reset() { *this = SimHttpFraming(maxHeaderBytes_, maxBodyBytes_); }

private:
    State readHeaders(std::string_view received);
    State readChunks(std::string_view received);

    size_t maxHeaderBytes_, maxBodyBytes_;
    size_t scanned_ = 0;  // looked through for the blank line
    size_t headerEnd_ = 0;
    bool chunked_ = false;
    bool hasLength_ = false;
    size_t contentLength_ = 0;
    bool expectsContinue_ = false;
    // Chunks: where the next chunk-size line (or the trailer) starts, the body so far.
    size_t chunkAt_ = 0;
    size_t bodySoFar_ = 0;
    bool inTrailer_ = false;
    size_t end_ = 0;
};
