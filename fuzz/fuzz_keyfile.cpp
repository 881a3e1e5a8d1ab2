// The bundle's key file and Base64 under arbitrary bytes. A key file that
// reads is exactly the file its key writes; a Base64 text that decodes is the
// one encoding of its bytes, and any bytes encode to a text that decodes back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/security/Base64.h"
#include "core/security/RSAKeyFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    if (auto der = publicKeyDerFromKeyFile(bytes)) {
        if (makeKeyFile(*der) != bytes) std::abort();
    }
    const std::string text(bytes.begin(), bytes.end());
    if (auto decoded = base64Decode(text)) {
        if (base64Encode(*decoded) != text) std::abort();
    }
    auto back = base64Decode(base64Encode(bytes));
    if (!back || *back != bytes) std::abort();
    return 0;
}
