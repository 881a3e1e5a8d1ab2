#pragma once
// The client's own name and version, stated once: the login screen, the about
// and update pages and the invitation show them, and the session login tells
// the server the version. The name is the one the phone's notification
// settings texts give the application.
inline constexpr const char* kClientName = "翠岚星";
inline constexpr const char* kClientVersion = "2.3.0";
