#pragma once
// Who makes the program and where to reach them: shown in the status bar, the About window and
// the desktop files.
#include <string>

namespace velorra::product {

inline constexpr const char* Name = "Velorra";
inline constexpr const char* WebSite = "https://velorra.org/";
inline constexpr const char* Mail = "team@velorra.org";
inline constexpr int VersionMajor = VELORRA_VERSION_MAJOR;
inline constexpr int VersionMinor = VELORRA_VERSION_MINOR;

}  // namespace velorra::product
