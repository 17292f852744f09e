#include "returned_bytes.h"

#include "upload_texts.h"

#include <cstdint>

namespace kmp {

bool LogReturnedBytes(std::string_view bytes, UploadLog& log) {
    bool endSeen = false;
    for (const char byte : bytes) {
        const auto value = static_cast<std::uint8_t>(byte);
        log.AppendLine(kReturnedBytePrefix + std::to_string(value));
        if (value != 255) continue;
        log.AppendLine(kSendEndLine);
        endSeen = true;
    }
    return endSeen;
}

}  // namespace kmp
