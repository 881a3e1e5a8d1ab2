#pragma once
// The client's codec: one-time codes of the soft token, the run-time session
// key and its RSA exchange, enciphering of request texts, deciphering and
// decompressing of replies.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class VTACoder {
public:
    // HOTP (RFC 4226: HMAC-SHA-1, dynamic truncation) of the seed's bytes and the
    // counter as 8 big-endian bytes: 6 digits, zero-padded. The empty text when
    // the seed is empty or not hex.
    static std::string createSjKlWithSeed(const std::string& hexSeed, int64_t counter);

    // The run-time session key: 16 bytes from the cryptographic random source,
    // made on first use, kept for the process (in memory only).
    static const std::vector<uint8_t>& sessionKey();
    // A new random key (a new login). Replaces the bytes in place: a reference
    // from sessionKey() stays valid and then holds the new key.
    static void resetSessionKey();
    static constexpr size_t kSessionKeySize = 16;

    // Base64 of the session key enciphered under the bundle's "pubkey.bin";
    // nullopt when the key file is missing or unusable.
    static std::optional<std::string> sessionKeyExchangeText();

    // Base64 of encipherFrame(the text's UTF-8 bytes, sessionKey()).
    static std::string encryptString(const std::string& plain);
    // decipherFrame(reply, sessionKey()); nullopt for any inconsistent frame.
    static std::optional<std::vector<uint8_t>> decryptData(const std::vector<uint8_t>& reply);
    // uncompressWithLengthPrefix(reply); nullopt for a broken or oversized one.
    static std::optional<std::vector<uint8_t>> uncompressData(const std::vector<uint8_t>& reply);

    // Objects to and from bytes: keyed-archive property lists (NSKeyedArchiver).
    static std::vector<uint8_t> archiveData(const Value& root);                    // empty when not archivable
    static std::optional<Value> unarchiveData(const std::vector<uint8_t>& bytes);  // nullopt when corrupt

private:
    static std::vector<uint8_t> currentKey();
};
