#include "returned_bytes.h"

#include "ComPort.h"

namespace kmp {

// More than 128 waiting are read on at once: the port reports new arrivals
// only, so bytes left in the queue would otherwise wait there until the next
// byte comes.
bool ReadReturnedBytes(TComPort& port, UploadLog& log, std::string* taken) {
    bool endSeen = false;
    std::string bytes;
    do {
        port.ReadString(bytes, kLargestReturnedRead);
        if (taken) *taken += bytes;
        if (LogReturnedBytes(bytes, log)) endSeen = true;
    } while (bytes.size() == kLargestReturnedRead && port.BytesWaiting() > 0);
    return endSeen;
}

}  // namespace kmp
