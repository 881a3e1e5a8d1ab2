#pragma once
// The one-record result set that many functions answer (own stocks, messages,
// registration, feedback, push token): whether it was done and the text to show.
namespace ResultContract {
namespace Col {                                   // reply columns
inline constexpr const char* kResult = "result";  // 1 done, 0 refused
inline constexpr const char* kMessage = "message";
inline constexpr const char* kCode = "code";  // the function's own result text, where it has one
}  // namespace Col
}  // namespace ResultContract
