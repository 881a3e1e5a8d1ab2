#pragma once
// Market sectors (plates): the list of sectors (100/32) and the member stocks
// of a sector (100/31). A sector is named by two keys that the list's rows
// carry in their columns 0 and 1 (field name and value each) and that the
// members request sends back; column 2 is the sector's name.
#include "core/contracts/FunctionId.h"
namespace SectorContract {
inline constexpr FunctionId kMembers{100, 31};
inline constexpr FunctionId kList{100, 32};
namespace Key {                                 // request keys
inline constexpr const char* kType = "bktype";  // list: only that kind (all without); members: every
                                                // sector of that kind when no "bkcode" is given
inline constexpr const char* kCode = "bkcode";  // members: the sector
inline constexpr const char* kField = "field";  // members: snapshot column numbers (QuoteContract)
}  // namespace Key
namespace Type {  // kinds of sectors
inline constexpr int kIndustry = 1;
inline constexpr int kConcept = 2;
inline constexpr int kRegion = 3;
}  // namespace Type
namespace Col {                                 // list columns, in this order
inline constexpr const char* kType = "bktype";  // integer
inline constexpr const char* kCode = "bkcode";
inline constexpr const char* kName = "bkname";
}  // namespace Col
}  // namespace SectorContract
