#pragma once
// Reads record sets from bytes (server replies, the menu cache file).
//
// The record-set bytes
// ====================
// All integers little-endian. A buffer holds zero or more sets back to back,
// without padding. Every text is UTF-8.
//
// Set header (40 bytes):
//   off len
//     0  16  information string: the set's name ("sys.menu", "sys.conf"; all zero
//            for none), UTF-8, NUL-padded; 16 bytes long names have no NUL
//    16   4  magic "TCRS"
//    20   1  format version, 1
//    21   1  flags: bit 0 = error set (the server's error answer); other bits 0
//    22   2  field count F (at most 4096)
//    24   4  total length T of this set in bytes, header included
//    28   4  record count N (at most 2^31 - 1)
//    32   4  record length R in bytes (at most 1 MiB; at least 1 when N > 0)
//    36   4  length V of the variable-data area
//    40      F field descriptors, then N * R record bytes, then V bytes of
//            variable data; T must equal the sum exactly.
//
// Field descriptor (16 bytes + name + descriptor text):
//     0   1  type: 1 integer, 2 packed number, 3 fixed text, 4 variable text
//     1   1  reserved, 0
//     2   2  name length n
//     4   2  descriptor text length d
//     6   2  reserved, 0
//     8   4  field length L in the record: 4 or 8 for numbers, 8 for a variable
//            text, 1..65535 for a fixed text
//    12   4  field offset O in the record; O + L <= R; fields do not overlap
//    16   n  name, then d bytes of descriptor text (the column title)
//
// Field values inside a record:
//   integer      signed, L bytes; 999999999 and above mean no value
//   packed       signed, L bytes: value * 4 + unit (VTAFloat); 999999999 and
//                above mean no value
//   fixed text   L bytes of UTF-8, ending at the first NUL (or at L)
//   variable     u32 offset and u32 length of the text inside the variable-data
//                area; offset + length <= V (length 0: the empty text)
//
// The error set: flag bit 0, and one record with the fields "errcode" (integer)
// and "errmsg" (text); VTATCRS::getError reads "errmsg". Servers send it as set 0
// (named "sys.error" by our writer; readers go by the flag, not the name).
//
// Checks: every length and offset is checked against the buffer before it is
// read (64-bit arithmetic, no overflow), as are the magic, version, flags, field
// types and lengths, field layout, every variable-text slot and every text's UTF-8.
// A set failing any check is not read, nor anything after it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/VTATCRS.h"

class TCRSReader {
public:
    // All sets of the buffer; see VTATCRS::buildMuTableTCRSWithData for the answers.
    static std::optional<VTATCRS::TCRSArray> readAll(const uint8_t* data, size_t size);
    // The set starting at `offset`; on success `offset` moves past it. nullptr when
    // the bytes there are not a valid set (offset unchanged).
    static std::shared_ptr<VTATCRS> readSet(const uint8_t* data, size_t size, size_t& offset);
};
