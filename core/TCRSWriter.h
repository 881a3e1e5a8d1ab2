#pragma once
// Builds record-set bytes (the reader's format, core/TCRSReader.h): the
// simulated server's replies, the menu cache file, test data.
//
//   auto bytes = TCRSWriter()
//       .beginSet("sys.conf").addField("key", TCRSFieldType::VarText).addField("value", TCRSFieldType::VarText)
//       .addRecord({"maxmsg", "1^30"})
//       .bytes();
//
// Values convert as VTATCRS::insertRecord says (a packed field takes "12.34").
// A call that cannot be honoured (a field after records, a record that does not
// convert, a record before any set) is skipped and clears ok().
#include <string>
#include <vector>

#include "core/VTATCRS.h"

class TCRSWriter {
public:
    TCRSWriter& beginSet(const std::string& name = "");
    TCRSWriter& addField(const std::string& name, TCRSFieldType type, int length = 0, const std::string& desc = "");
    TCRSWriter& addRecord(const std::vector<Value>& values);
    // A complete error set: fields "errcode" (integer) and "errmsg" (text), one record.
    TCRSWriter& errorSet(int code, const std::string& text);
    // Appends a copy of an existing set (its records, not its cursor).
    TCRSWriter& appendSet(const VTATCRS& set);

    std::vector<uint8_t> bytes() const;
    bool ok() const { return ok_; }
    int setCount() const { return int(sets_.size()); }

private:
    VTATCRS::TCRSArray sets_;
    bool ok_ = true;
};
