#pragma once
// The errors of the request road (NSError itself is the foundation's).
//
// Service errors (domain "QZNetworkService") have the codes and texts (the
// customer reads them, so they are Chinese as every text of the client):
//   101 "服务器返回数据格式错误"  the reply carried no readable "Etag" flags
//   102 "会话已超时，请稍后再试"  the server no longer knows our session
//                                 (after the silent re-login failed, or again after a
//                                 replay, or for a request that is never replayed)
//   103 "服务器返回数据异常"      the server refused the request or the reply is unusable
//   104 "数据解密错误"            an enciphered reply did not decipher
//   105 "数据解压错误"            a compressed reply did not inflate
// Network errors (domain "NSURLErrorDomain"): transport failures, with a Chinese text
// (-1001 timed out, -1004 could not connect, -1005 connection lost, -999 a request
// of another queue whose silent re-login was cancelled, an HTTP status otherwise).
#include <string>

#include "platform/foundation/NSError.h"

namespace ServiceErrors {
inline constexpr const char* kServiceDomain = "QZNetworkService";
inline constexpr const char* kNetworkDomain = "NSURLErrorDomain";
inline constexpr int kNoFlag = 101;
inline constexpr int kSessionTimeout = 102;
inline constexpr int kResponseDataException = 103;
inline constexpr int kDecryptDataError = 104;
inline constexpr int kDecompressionDataError = 105;
inline constexpr int kCancelled = -999;
inline constexpr int kTimedOut = -1001;
inline constexpr int kCannotConnect = -1004;
inline constexpr int kConnectionLost = -1005;

// The service error of a code of 101 to 105 with its fixed text.
NSError serviceError(int code);

// Whether the server may have carried out a request that ended with this
// error: the request left and no readable answer came back (a time-out, a
// connection lost or an HTTP error after sending, an answer without flags or
// that does not decipher or inflate). No for a connection never made, a
// request cancelled before it was sent again, and the server's own refusals
// (session time-out, request refused), which it answers without acting.
bool mayHaveBeenTaken(const NSError& error);
}  // namespace ServiceErrors
