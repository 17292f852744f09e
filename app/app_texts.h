// Fixed texts of the program: titles, the contact link, the file dialogs.
#pragma once

namespace kmp {

// Shown in the task bar and as the caption of the general error display.
inline constexpr const char* kApplicationTitle =
    "Prekladač programu na riadenie krokového motorčeka z HDD";

// The caption of the main window (with a full stop, unlike the title).
inline constexpr const char* kWindowCaption =
    "Prekladač programu na riadenie krokového motorčeka z HDD.";

inline constexpr const char* kContactAddress = "kmp@kmp.test";
inline constexpr const char* kContactSubject = "Riadenie krokového motorčeka";
inline constexpr const char* kContactBody = "Mám takúto otázku:";

// Filter text of the save dialog, and the default extension for saving.
inline constexpr const char* kProgramFileFilter =
    "Krokový Motor Program - kmp |*.kmp|všetky súbory - all|*.*";
// The open dialog offers text files too; program files stay the first filter.
inline constexpr const char* kProgramOpenFilter =
    "Krokový Motor Program - kmp |*.kmp|Textové súbory - txt |*.txt|všetky súbory - all|*.*";

// The question before text changed since the last open or save is lost.
inline constexpr const char* kUnsavedCaption = "Program nie je uložený";
inline constexpr const char* kUnsavedText =
    "Program sa od posledného uloženia zmenil. Chcete ho uložiť?";
// Asked at start when a window that did not end cleanly left unsaved text;
// %1 is the time of its last copy.
inline constexpr const char* kRecoverText = "Obnoviť neuložený program z %1?";
inline constexpr const char* kProgramFileExtension = "kmp";

}  // namespace kmp
