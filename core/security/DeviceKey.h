#pragma once
// Keys bound to this installation on this device, for files the client
// enciphers for itself (the soft-token file). Nothing stored beside the file
// is enough to rebuild such a key: it needs the device's identity as well.
//
// key = HKDF-SHA-256(input = "roduvede-device:" + device identity,
//                    salt = the installation salt, info = purpose)
// Installation salt: Documents/"deviceSalt.bin", 32 random bytes made on first
// use (mode 0600). A salt file of another size (emptied, cut short) is kept
// aside as "deviceSalt.bin.damaged-N" and a new salt made: whatever the old one
// keyed no longer reads, and its owner sets that file aside and tells.
// Device identity: the first line of /etc/machine-id, else of
// /var/lib/dbus/machine-id, else the empty text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// nullopt when the salt cannot be read or made, or the derivation fails.
std::optional<std::vector<uint8_t>> deviceBoundKey(const std::string& purpose, size_t size);

// Tests: stand in for the machine's identity (nullopt: back to the machine's own).
void setDeviceIdentityForTesting(std::optional<std::string> identity);
