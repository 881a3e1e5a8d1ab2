#pragma once
// The few fixed images the simulator serves at GET /img/<name>.png, for the
// client's image downloads: 4x4 solid-colour PNGs "logo" (red), "banner"
// (blue) and "ad" (green).
#include <optional>
#include <string>
#include <vector>

// The PNG bytes of a served image, nullopt for an unknown name.
std::optional<std::string> simImagePNG(const std::string& name);
std::vector<std::string> simImageNames();
