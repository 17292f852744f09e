// What a screen reader is told at the end of a compile, for the window and
// the page alike.
#pragma once

namespace kmp {

// The untranslated sentence for a compile's end, with %1 for the count of
// errors: "1 chyba", "2 chyby" … "4 chyby", "5 chýb" (a failed run has at
// least one).
const char* CompileAnnouncement(bool ok, int errorCount);

}  // namespace kmp
