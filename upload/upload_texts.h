// The texts of the port and upload messages (source texts of the window's
// translation lookup) and the upload's log lines.
#pragma once

namespace kmp {

inline constexpr const char* kPortsFoundCaption = "Našiel som tieto sériové porty!";
inline constexpr const char* kNoPortCaption = "Nenašiel sa sériový port!";
inline constexpr const char* kNoPortText =
    "Nenašiel som vhodný sériový port na vašom počítači!!! Ak ide o laptot, tak sa uistite, že "
    "USB prevodník na COM sériový port je správne pripojený k laptopu. ";
inline constexpr const char* kNoPortEntry = "n/a";
inline constexpr const char* kListSeparator = ", ";

inline constexpr const char* kErrorCaption = "Chyba!";
inline constexpr const char* kCannotConnectText = "Nemôžem sa pripojiť cez PORT ";
inline constexpr const char* kCannotConnectTextEnd =
    ". Tento port je obsadený iným programom alebo to nie je sériový port!!! Skúste vybrať iný "
    "port.";
inline constexpr const char* kLostOnDisconnectText =
    "COM port bol náhle odpojený. Je možné, že ste vytiahli prevodník z USB na Sériový port "
    "skôr ako ste tento program odpojili z portu. ";
inline constexpr const char* kLostOnCloseText =
    "COM port bol náhle odpojený. Je možné, že ste vytiahli prevodník z USB na Sériový port "
    "skôr ako ste ukončili tento program. ";

inline constexpr const char* kLineOpenLampTip = "Linka otvorená";
inline constexpr const char* kBoardReadyLampTip = "Doska pripravená (DSR)";
// The lamps' names for a screen reader while they are off.
inline constexpr const char* kLineClosedLampName = "Linka zatvorená";
inline constexpr const char* kBoardNotReadyLampName = "Doska nepripravená";

// What a screen reader is told when a compile or a send ends (%1: the count
// of errors; the send's progress text).
inline constexpr const char* kCompiledOkAnnouncement = "Preklad prebehol úspešne.";
inline constexpr const char* kCompileFailedOneAnnouncement = "Preklad zlyhal: %1 chyba.";
inline constexpr const char* kCompileFailedFewAnnouncement = "Preklad zlyhal: %1 chyby.";
inline constexpr const char* kCompileFailedManyAnnouncement = "Preklad zlyhal: %1 chýb.";
inline constexpr const char* kSendDoneAnnouncement = "Odosielanie skončilo: %1.";

inline constexpr const char* kConnectCaption = "Pripojiť";
inline constexpr const char* kDisconnectCaption = "Odpojiť";

inline constexpr const char* kChangedCaption = "Program bol zmenený a nepreložený";
inline constexpr const char* kChangedText = "Chcete nahrať posledný preložený binárny výstup?";
inline constexpr const char* kNotCompiledCaption = "Nemôžem odoslať program";
inline constexpr const char* kNotCompiledText =
    "Najprv treba preložiť program a potom sa môže odoslať!";

// Log lines (UTF-8).
inline constexpr const char* kSendingLine = " Odosielam dáta...";
inline constexpr const char* kReturnedBytePrefix = "Odosielam : ";
inline constexpr const char* kSendEndLine = "Koniec odosielania!";
// A send that did not write the whole frame: "... 37 z 132 bajtov ...".
inline constexpr const char* kShortWritePrefix = "Odoslaných bolo len ";
inline constexpr const char* kShortWriteByBoard = "doska v čase odosielania nepustila dáta (CTS).";
inline constexpr const char* kShortWriteByLine = "linka neprevzala dáta v časovom limite zápisu.";
inline constexpr const char* kShortWriteByFailure = "linka zlyhala.";
inline constexpr const char* kSendCancelledPrefix = "Odosielanie zrušené: odoslaných bolo ";
inline constexpr const char* kBoardNotReadyPrefix = "Doska nie je pripravená (CTS vypnuté): ";
// The open line's adapter vanished: "...portu ttyUSB0 bol odpojený."
inline constexpr const char* kLineLostPrefix = "Spojenie sa prerušilo: prevodník portu ";
inline constexpr const char* kLineLostEnd = " bol odpojený.";

}  // namespace kmp
