// The bytes that come back from the controller and their log lines.
#pragma once

#include "upload_log.h"

#include <string>
#include <string_view>

namespace kmp {

class TComPort;

// The largest count of one read of returned bytes.
inline constexpr int kLargestReturnedRead = 128;

// Logs "Odosielam : N" for each byte in order, and "Koniec odosielania!"
// right after each byte 255. Returns true when a 255 was among them.
bool LogReturnedBytes(std::string_view bytes, UploadLog& log);

// Takes the bytes that `port` has received, in reads of at most 128, and
// logs them. After a full read it reads on only while bytes still wait: a
// read finds only bytes already received, and with none there it would wait
// for the read time limit. Returns true when a 255 was among them. The bytes
// are also added to `taken` when given. Raises EComPort.
bool ReadReturnedBytes(TComPort& port, UploadLog& log, std::string* taken = nullptr);

}  // namespace kmp
