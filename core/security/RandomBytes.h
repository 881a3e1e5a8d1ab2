#pragma once
// Bytes from the cryptographic random source (OpenSSL's generator, the
// kernel's when that fails to seed): for keys, session ids and token seeds,
// never for anything that must repeat. Without any source the process stops:
// there is no safe secret to hand out then.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

void fillRandomBytes(std::vector<uint8_t>& bytes);
// Lower-case hex text of `count` random bytes (twice as many characters).
std::string randomHex(size_t count);
