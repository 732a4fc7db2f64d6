// The rules of the program's web links that need no window: the referral suffix taken from the
// installer's file name, and the update page of a version.
#pragma once
#include <string>

namespace settings {

// "?ID=" and the text after the first "-" of the installer's file name (extension removed, at most
// 260 characters); empty without a dash.
std::string ReferralSuffix(const std::string& installFile);

// The update page's address for a short version text such as "v 1.0b": the site, then
// "/gridlark/upd/gl", the version with its first "v " closed up and blanks and dots made "_",
// then ".htm", the letters A to Z lowered.
std::string UpdatePageAddress(const std::string& site, const std::string& shortVersion);

}  // namespace settings
