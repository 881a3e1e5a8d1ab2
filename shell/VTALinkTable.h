#pragma once
// The menu links the dispatcher knows before their screens are built: for each
// link command (the link up to its first "?") the class of the screen it makes
// and how that screen is set up before use. The table is the single place that
// knows which links lead to trading, funds or margin (the trade gate holds for
// them from the start, whether their screens exist yet or not).
//
// A step that builds a screen class registers a maker for the class name
// (ScreenRegistry::addScreenClass); the dispatcher then makes the screen of
// every link of that class and applies the set-up below: the maker receives the
// resolved LinkSetup and performs the call `setter` names with `value` (or
// `textValue`); the dispatcher sets the title (the menu's, or the table's fixed
// one) and hands the menu item unless `withoutMenu`.
//
// Links whose set-up depends on the item:
//   "buysale"     TradeViewController initWithTradeDirection: when the system
//                 version is not lower than "4.1", else VTATradeController
//                 initWithType:; the value is 0 when the query key "MMLB" reads
//                 0 (or is missing), else 1.
//   "banktransfer" VTATransferController initWithDirection: 2 when the item is
//                 titled "证券转银行", else 1.
//   "rzrq_rzmr"   "creditflag" "0": direction 0 titled "融资买入"; "1": direction 1
//                 titled "融券卖出"; any other value makes no screen. From "4.1"
//                 MarginTradeViewController initWithTradeDirection:, before it
//                 VTARZRQTradeViewController initWithTradeSide: "B" / "S".
#include <optional>
#include <string>
#include <vector>

class VTAMenu;

struct LinkSetup {
    std::string command;      // the link command
    std::string screenClass;  // the class of the screen
    std::string setter;       // the set-up call before use ("" for plain init)
    int value = 0;            // its integer argument
    std::string textValue;    // its text argument (initWithTradeSide:)
    bool fixedTitle = false;  // the screen's title is `title`, not the menu's ("" = no title)
    std::string title;
    bool withoutMenu = false;  // the screen is not handed the menu item
    bool trade = false;        // behind the trade gate
};

class VTALinkTable {
public:
    // Every entry of the table as written (the item-dependent links with
    // their plain values: "buysale" direction 0 on the newer screen,
    // "banktransfer" direction 1, "rzrq_rzmr" creditflag 0 on the newer screen).
    static const std::vector<LinkSetup>& entries();
    // The entry of a command (the item-independent part); nullopt when unknown.
    static std::optional<LinkSetup> entryForCommand(const std::string& command);
    // The resolved set-up of a menu item: query, title and system version
    // applied; nullopt for an unknown link or one whose parameters make no
    // screen ("rzrq_rzmr" with another creditflag).
    static std::optional<LinkSetup> setupForMenu(const VTAMenu& menu);
    // Whether the command (a link's query is ignored) leads to trading, funds or margin.
    static bool isTradeCommand(const std::string& link);
};
