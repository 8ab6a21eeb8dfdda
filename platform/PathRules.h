#pragma once
// How this system writes paths, and what a user picks a folder from.

namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Every ready drive letter (C:\, D:\, ...) is offered as it is.
inline constexpr bool kDriveLetters = true;
#else
inline constexpr char kPathSeparator = '/';
// One tree: the mounted file systems a user would pick from are selected.
inline constexpr bool kDriveLetters = false;
#endif

}  // namespace platform
