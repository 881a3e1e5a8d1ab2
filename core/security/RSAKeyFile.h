#pragma once
// The server's RSA public key as the client's bundle carries it ("pubkey.bin"),
// and RSA enciphering of the session key under it.
//
// Key file layout (integers little-endian):
//   offset 0   6 bytes    magic "VTAKEY"
//   offset 6   uint16     format version, 1
//   offset 8   uint32     N: length of the key
//   offset 12  N bytes    the public key, DER SubjectPublicKeyInfo (X.509), RSA of 2048 bits or more
// Nothing may follow the key. A file that breaks any of this is refused.
//
// Padding: RSA-OAEP with SHA-256 (and MGF1 with SHA-256), no label. So at most
// 190 plain bytes under a 2048-bit key; the session key is 16.
//
// The private key (the server's side; the simulator's test key) is a PEM file
// ("BEGIN PRIVATE KEY" or "BEGIN RSA PRIVATE KEY").
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr char kKeyFileMagic[] = "VTAKEY";
constexpr uint16_t kKeyFileVersion = 1;
constexpr int kMinRSAKeyBits = 2048;

// Builds the key file bytes around a DER public key (the tools that make the bundle's file use it).
std::vector<uint8_t> makeKeyFile(const std::vector<uint8_t>& publicKeyDer);
// The DER public key held by key file bytes; nullopt when the layout is broken
// or the key is not an RSA key of at least 2048 bits.
std::optional<std::vector<uint8_t>> publicKeyDerFromKeyFile(const std::vector<uint8_t>& fileBytes);

// nullopt: file missing or unreadable, bad layout, or the plain text too long for the key.
std::optional<std::vector<uint8_t>> rsaEncryptWithPublicKeyFile(const std::vector<uint8_t>& plain,
                                                                const std::string& path);
// nullopt: key file missing or unreadable, or a cipher text that does not decipher.
std::optional<std::vector<uint8_t>> rsaDecryptWithPrivateKeyFile(const std::vector<uint8_t>& cipher,
                                                                 const std::string& path);
