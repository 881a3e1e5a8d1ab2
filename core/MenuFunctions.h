#pragma once
// The menu and configuration the server sends at login (function 100/2) and
// that is cached in "menudb.plist": record sets "sys.menu" and "sys.conf".
//
// "sys.menu": one record per menu item, fields (by name; order free):
//   "id"     integer  the item's id in the tree (not -1; unique)
//   "pid"    integer  the parent's id; -1 (or 0 when no item has id 0) the root
//   "title"  text     the title shown
//   "link"   text     "command" or "command?key=value&key=value"
//   "icon"   text     icon image name, "" for none
//   "show"   integer  1 visible, 0 hidden (absent field: visible)
//   "order"  integer  place among its siblings, ascending; ties keep record order
//                     (absent field: record order)
// Items are placed from the root down; an item whose parent is missing, an
// item whose id repeats an earlier one, and anything deeper than
// kMaxMenuDepth levels are left out (so a bad menu can never form a loop).
//
// "sys.conf": one record per configuration entry, text fields "key" and
// "value"; it becomes the Dict "commomdSettingForHQ" of VTAParamter (a later
// record replaces an earlier one of the same key). Keys in use: "iplist",
// "maxmsg" ("a^b": b the message limit), "interval" (trading windows, see
// QZUtil.h), "HKtime" (Hong Kong sessions, see QZUtil.h), "market", "type",
// "sort" ("code^name#code^name...").
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/VTAMenu.h"
#include "core/VTATree.h"
#include "platform/foundation/Value.h"

class VTATCRS;

constexpr int kMaxMenuDepth = 16;

// One item and one configuration entry as the writer below takes them.
struct MenuItemRecord {
    int id = 0;
    int pid = -1;
    std::string title;
    std::string link;
    std::string icon;
    bool show = true;
};
using MenuConfigEntry = std::pair<std::string, std::string>;

// The "sys.menu" set of the items (ordered as given) and the "sys.conf" set
// of the entries, back to back: the bytes of the 100/2 reply and of the menu
// cache. The server and the client's built-in menu both write them here.
std::vector<uint8_t> menuRecordSetsData(const std::vector<MenuItemRecord>& items,
                                        const std::vector<MenuConfigEntry>& config);

// The tree of a "sys.menu" set (the set's cursor is left on its first record).
std::shared_ptr<VTATree> buildMenuTree(VTATCRS& sysMenu);
// The configuration Dict of a "sys.conf" set.
Value::Dict buildConfigDictionary(VTATCRS& sysConf);

// Installs the menu and configuration of the sets: the "sys.menu" set becomes
// the shared tree, the "sys.conf" set "commomdSettingForHQ". Returns false
// (changing nothing) when there is no "sys.menu" set.
bool installMenuSets(const std::vector<std::shared_ptr<VTATCRS>>& sets);
// The same from the reply bytes (as cached in "menudb.plist"); false when the
// bytes hold no readable "sys.menu" set.
bool installMenuFromData(const std::vector<uint8_t>& bytes);

// The direct children of the node (-1 the root) whose link, without its
// query, equals the command, in tree order; nullopt when there is none.
std::optional<std::vector<std::shared_ptr<VTAMenu>>> menusWithLink(const std::string& link, int nodeId);
std::optional<std::vector<std::shared_ptr<VTAMenu>>> menusWithLink(const VTATree& tree, const std::string& link,
                                                                   int nodeId);
// The node's children whose visibility flag is set, in tree order.
std::vector<std::shared_ptr<VTAMenu>> visibleMenusOfNode(int nodeId);
std::vector<std::shared_ptr<VTAMenu>> visibleMenusOfNode(const VTATree& tree, int nodeId);
