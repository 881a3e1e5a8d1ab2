#pragma once
// The request protocol between the client's request service and the brokerage
// server (the simulator reads it the same way). Written down here once.
//
// Request: HTTP POST to "<host>/vta", user agent "VTA-IPhone 1.0",
// Content-Type application/x-www-form-urlencoded, body of UTF-8 text, never
// URL-encoded (values travel as the screens wrote them; a reader splits the
// body at "&" and each pair at its FIRST "=" only, because Base64 values hold "=").
//
//   body   = header [ "&" clear ] | header "&TC_REQLENGTH=" n "&TC_REQDATA=" cipher
//   header = "tc_service=300&tc_isunicode=1&TC_ENCRYPT=" e { "&" tcfield } "&TC_SESSION={" session "}"
//
// - The fields of the screen's request text are taken in their order; a field
//   whose first three characters, lower-cased, are "tc_" is a header field
//   (tcfield, in clear, e.g. "tc_mfuncno=31000", "TC_SFUNCNO=4"); every other
//   field is a body field. Empty pieces ("&&") are dropped.
// - e (TC_ENCRYPT) = 36 when the body fields are enciphered + 18 when the
//   reply is to be compressed: 0, 18, 36 or 54 by request type (see RequestType).
// - clear: the body fields joined by "&" (not enciphered types).
// - Enciphered types: plain = the body fields joined by "&"; n = its length in
//   bytes; cipher = VTACoder::encryptString(plain) (Base64 of the Blowfish
//   frame under the session key), also when plain is empty.
// - session: the service session "loginSession" (empty before the login).
// - Session login (tc_mfuncno=100, tc_sfuncno=1) carries the header field
//   "TC_KEY=" + VTACoder::sessionKeyExchangeText() (the RSA-enciphered session
//   key in Base64): the server opens a session under that key and answers the
//   session text in the field "session" of the first record set; every later
//   request names it in TC_SESSION and is deciphered with its key.
// - The HTTP header "X-VTA-Package" carries the package id (NetworkManager's counter).
//
// Reply: the body is record-set bytes, compressed (Compression: 4-byte
// little-endian length + zlib) when flagged, then enciphered (FrameCodec under
// the session key) when flagged; the reader deciphers first, then inflates.
// The HTTP body itself may also be gzip-coded (Content-Encoding), which the
// HTTP engine inflates before anything here.
// Flags: HTTP header "Etag" = status "," package "," compressed "," enciphered
//   status      0 success, 1 request refused (unreadable, bad session key),
//               2 session timed out or unknown
//   package     the package id of the request ("0" when none)
//   compressed  "18" when the body is compressed, else "0"
//   enciphered  "36" when the body is enciphered, else "0"
// Business errors (wrong password, no such stock) are status 0 with an error
// record set, whose text the screens show.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ServiceProtocol {

inline constexpr int kServiceNumber = 300;
inline constexpr int kEncipherFlag = 36;
inline constexpr int kCompressFlag = 18;
inline constexpr const char* kPath = "/vta";
inline constexpr const char* kUserAgent = "VTA-IPhone 1.0";
inline constexpr const char* kPackageHeader = "X-VTA-Package";

enum Status { kStatusOK = 0, kStatusRefused = 1, kStatusSessionTimeout = 2 };

// What a request type asks for.
struct RequestType {
    bool enciphered = false;       // body fields enciphered
    bool compressedReply = false;  // reply compressed
    bool retryOnce = false;        // type 2: one retry after a transport failure
    // Type 4 carries every order, cancel, transfer and other change of the
    // brokerage's books: the transport never sends it again by itself
    // (HTTPEngine.h); the request service never replays an order either
    // (QZNetworkService.h).
    bool repeatable = true;
    int encryptFlag() const { return (enciphered ? kEncipherFlag : 0) + (compressedReply ? kCompressFlag : 0); }
};
// 1, 5, 7 enciphered with a compressed reply; 2 neither, one retry;
// 3, 6 compressed reply; 4 enciphered, reply not compressed, never repeated;
// others neither.
RequestType requestType(int type);

// One "key=value" piece of a request text; hasValue is false for a piece without "=".
struct Field {
    std::string key;
    std::string value;
    bool hasValue = true;
    std::string text() const { return hasValue ? key + "=" + value : key; }
};
// Splits at "&" and each piece at its first "="; empty pieces are dropped.
std::vector<Field> parseFields(const std::string& text);
bool isHeaderField(const std::string& key);  // first three characters lower-cased are "tc_"
// Value of the first field with that key (compared without regard to case).
std::optional<std::string> fieldValue(const std::vector<Field>& fields, const std::string& key);
// The main and sub function numbers of a request text (0 when absent or not a number).
std::pair<int, int> functionNumbers(const std::string& text);

struct Body {
    std::string text;   // the HTTP body
    std::string plain;  // the enciphered part before enciphering ("" when none)
    bool enciphered = false;
    bool compressedReply = false;
};
// Builds the body of a request text. `encipher` turns the plain body fields
// into the TC_REQDATA text (VTACoder::encryptString in the client).
Body buildBody(const std::string& text, int type, const std::string& session,
               const std::function<std::string(const std::string&)>& encipher);

struct ReplyFlags {
    int status = 0;
    std::string package;
    bool compressed = false;
    bool enciphered = false;
};
// nullopt when the header is missing or not four fields with a numeric status.
std::optional<ReplyFlags> parseEtag(const std::optional<std::string>& etag);
std::string formatEtag(int status, const std::string& package, bool compressed, bool enciphered);

}  // namespace ServiceProtocol
