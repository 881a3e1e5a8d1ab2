#pragma once
// The fixed initial sub-keys of Blowfish (digits of pi), shared by every key schedule.
#include <cstdint>

namespace blowfish_tables {
extern const uint32_t kInitialP[18];
extern const uint32_t kInitialS[4][256];
}  // namespace blowfish_tables
