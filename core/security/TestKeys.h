#pragma once
// Where the simulated server finds the private half of the TEST key pair whose
// public half is the bundle's "pubkey.bin". Test data only (see testkeys/README.md):
// never a key for a real server.
#include <string>

// $RD_SIM_KEY_PATH when set, else core/security/testkeys/simkey.pem of the source tree.
std::string simPrivateKeyPath();
