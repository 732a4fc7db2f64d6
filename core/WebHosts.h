// Every web host the program names. All lie under the reserved .example domain until the real
// sites are decided, so that no test or build can reach a real site by mistake.
#pragma once

namespace web {

inline constexpr const char* kPuzzleSite = "http://puzzles.orvanel.example";
inline constexpr const char* kCorporateSite = "http://www.orvanel.example";
inline constexpr const char* kLatticorSite = "http://latticor.orvanel.example";
inline constexpr const char* kHuntgridSite = "http://huntgrid.orvanel.example";
// The platform vendor's site, named where the help viewer is missing.
inline constexpr const char* kPlatformVendorSite = "http://www.microsoft.example";

inline constexpr const char* kJavaDownloadPath = "/gridlark/jre.htm";

}  // namespace web
