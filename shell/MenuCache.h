#pragma once
// The cached menu and configuration: the reply of function 100/2 as it came
// from the server, kept so that the next start builds the same menu tree
// before it has logged in.
//
// File Documents/"menudb.plist": a keyed archive (NSKeyedArchiver, written
// atomically) whose root is a Dict:
//   "format"   Integer  1 (the layout below)
//   "menuver"  Integer  the server's menu version of that reply (>= 1)
//   "data"     Data     the reply bytes: record sets "sys.menu" and "sys.conf"
//                       (fields in core/MenuFunctions.h)
// A file that is missing, not a keyed archive, of another format, without
// data, or whose data holds no readable "sys.menu" set counts as no cache:
// the built-in default menu is installed and the cached version reads 0, so
// the next login downloads the server's menu again.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class MenuCache {
public:
    static constexpr const char* kFileName = "menudb.plist";
    static constexpr int kFormat = 1;

    struct Entry {
        int menuVersion = 0;
        std::vector<uint8_t> data;
    };

    // The stored entry, or nullopt when there is no usable file.
    static std::optional<Entry> load();
    // Writes the entry (atomically); false when it cannot be written or the
    // version is below 1.
    static bool save(int menuVersion, const std::vector<uint8_t>& data);
    static std::string filePath();

    // Installs the cached menu (tree and "commomdSettingForHQ"); when there is
    // no usable cache, installs the built-in default menu. Answers the menu
    // version now in use: the cached one, or 0 for the default.
    static int installCachedMenu();
    // The version of the menu installed last by this class (0: the default).
    static int installedMenuVersion();
    static void setInstalledMenuVersion(int v);

    // The built-in menu: record sets in the 100/2 layout with the quote, trade
    // and message entries every installation has.
    static std::vector<uint8_t> defaultMenuData();
    static void installDefaultMenu();
};
