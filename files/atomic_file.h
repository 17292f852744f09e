// Replaces a file's content so that a failure leaves the earlier file intact.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// Writes `bytes` to a new file in the folder of `path`, flushes it to disk and
// renames it over `path`. An existing target keeps its permissions. On
// failure the target is unchanged, the new file is removed, and FileError
// with the "Cannot create file" message is thrown.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace kmp
