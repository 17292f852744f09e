// What a program link that cannot be read is told with (a log line, and
// kmpc's message).
#pragma once

namespace kmp {

inline constexpr char kLinkUnreadable[] = "Odkaz na program sa nedá prečítať: ";
inline constexpr char kLinkNoProgram[] = "chýba v ňom program (p=).";
inline constexpr char kLinkNotBase64[] = "program v ňom nie je zapísaný v base64url.";
inline constexpr char kLinkNotDeflate[] = "program v ňom nie je platne skomprimovaný (deflate).";
inline constexpr char kLinkNotUtf8[] = "text programu nie je v UTF-8.";
inline constexpr char kLinkTooLong[] = "program má po rozbalení viac ako 64 KiB.";
inline constexpr char kLinkBadValues[] =
    "hodnoty c= musia byť delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535.";

}  // namespace kmp
