// Where the upload's lines go: the window's compile log, or kmpc's
// standard error.
#pragma once

#include <string_view>

namespace kmp {

class UploadLog {
public:
    virtual ~UploadLog() = default;
    // Appends one line (UTF-8, without its line end).
    virtual void AppendLine(std::string_view line) = 0;
};

}  // namespace kmp
