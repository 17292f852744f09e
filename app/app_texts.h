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

// Filter text of both file dialogs, and the default extension for saving.
inline constexpr const char* kProgramFileFilter =
    "Krokový Motor Program - kmp |*.kmp|všetky súbory - all|*.*";
inline constexpr const char* kProgramFileExtension = "kmp";

}  // namespace kmp
