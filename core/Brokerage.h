#pragma once
// Facts about the brokerage that the client's screens and its server's pages
// both state, kept in one place so that they cannot disagree.

// The customer-service hot line (about, customer service, the help page).
inline constexpr const char* kBrokerageHotline = "4008888888";
