// A reply's header block under arbitrary bytes, read as the HTTP engine reads
// it line by line, then the reply flags read from its "Etag" as the request
// service reads them. Flags that read must write and read back the same; and
// the request-text reader shared with the server takes the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/HTTPEngine.h"
#include "net/HTTPRequest.h"
#include "net/ServiceProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string block(reinterpret_cast<const char*>(data), size);
    HTTPRequest::Result result;
    for (size_t start = 0; start < block.size();) {
        size_t end = block.find('\n', start);
        end = end == std::string::npos ? block.size() : end + 1;
        const std::string line = block.substr(start, end - start);
        start = end;
        if (isStatusLine(line)) {
            result.headers.clear();
        } else if (auto header = parseReplyHeaderLine(line)) {
            if (header->first.empty() || header->first.find(':') != std::string::npos) std::abort();
            result.headers.push_back(std::move(*header));
        }
    }
    HTTPRequest request("http://127.0.0.1/vta");
    request.applyResult(std::move(result));
    request.contentEncoding();
    if (auto flags = ServiceProtocol::parseEtag(request.responseHeader("Etag"))) {
        if (flags->package.find(',') == std::string::npos && !flags->package.empty()) {
            auto again = ServiceProtocol::parseEtag(
                ServiceProtocol::formatEtag(flags->status, flags->package, flags->compressed, flags->enciphered));
            if (!again || again->status != flags->status || again->package != flags->package ||
                again->compressed != flags->compressed || again->enciphered != flags->enciphered)
                std::abort();
        }
    }
    for (const auto& field : ServiceProtocol::parseFields(block))
        if (field.key.empty() && !field.hasValue) std::abort();
    ServiceProtocol::functionNumbers(block);
    return 0;
}
