// Writing the program image file.
#pragma once

#include <string>
#include <string_view>

namespace kmpc {

// Replaces `path` atomically with `bytes`: they go to a temporary file in the
// same folder, which is then renamed over `path`. On failure nothing is
// replaced, the temporary file is removed, and the result is the system's
// error number (0 on success).
int WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace kmpc
