#include "core/security/RandomBytes.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <sys/random.h>

#include <cstdio>
#include <cstdlib>

#include "core/security/Digests.h"

void fillRandomBytes(std::vector<uint8_t>& bytes) {
    if (bytes.empty() || RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) == 1) return;
    size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = getrandom(bytes.data() + got, bytes.size() - got, 0);
        if (n <= 0) {
            std::fputs("no cryptographic random source\n", stderr);
            std::abort();
        }
        got += static_cast<size_t>(n);
    }
}

std::string randomHex(size_t count) {
    std::vector<uint8_t> bytes(count);
    fillRandomBytes(bytes);
    std::string hex = toHex(bytes);
    OPENSSL_cleanse(bytes.data(), bytes.size());
    return hex;
}
