// Replaces a file's content so that a failure leaves the earlier file intact.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// Writes `bytes` to `path` as editors save a file:
// - a regular file (or a new one) is replaced atomically: the bytes go to a
//   new file in the same folder, which is flushed to disk and renamed over
//   it, keeping the permissions of the file that it replaces;
// - a symbolic link keeps being a link: the file at the end of its chain is
//   replaced in that way (created when the chain ends at nothing);
// - a device, FIFO or socket is never replaced: the bytes are written into
//   it (a FIFO without a reader fails at once), as is a file reached through
//   a descriptor link such as /dev/stdout;
// - a directory is refused.
// Returns 0, or the system's error number; on failure a replaced target is
// unchanged and no temporary file is left.
int WriteFileReplacing(const std::string& path, std::string_view bytes);

// WriteFileReplacing that throws FileError with the "Cannot create file"
// message on failure.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace kmp
