#include "core/security/TestKeys.h"

#include <cstdlib>

std::string simPrivateKeyPath() {
    const char* over = std::getenv("RD_SIM_KEY_PATH");
    if (over && *over) return over;
    return std::string(RD_SOURCE_DIR) + "/core/security/testkeys/simkey.pem";
}
