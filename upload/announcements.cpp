#include "announcements.h"

#include "upload_texts.h"

namespace kmp {

const char* CompileAnnouncement(bool ok, int errorCount) {
    if (ok) return kCompiledOkAnnouncement;
    if (errorCount <= 1) return kCompileFailedOneAnnouncement;
    return errorCount <= 4 ? kCompileFailedFewAnnouncement : kCompileFailedManyAnnouncement;
}

}  // namespace kmp
