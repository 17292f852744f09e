// Bytes that come back from the controller: ComPort1RxChar logs each one.
#include "memo_pane.h"
#include "ui_TForm1.h"
#include "upload_state.h"
#include "upload_texts.h"

#include <string>

namespace kmp {

namespace {

constexpr int kLargestRead = 128;

void LogReturnedBytes(Pane& compileLog, const std::string& bytes) {
    for (const char byte : bytes) {
        const auto value = static_cast<std::uint8_t>(byte);
        compileLog.AppendLine(kReturnedBytePrefix + std::to_string(value));
        if (value == 255) compileLog.AppendLine(kSendEndLine);
    }
}

}  // namespace

// Takes the received bytes in reads of at most 128. More than 128 waiting
// are read on at once: the port reports new arrivals only, so bytes left in
// the queue would otherwise wait there until the next byte comes.
void TForm1::ComPort1RxChar(int /*count*/) {
    TComPort& port = upload_->ComPort1;
    MemoPane compileLog(*ui->Memo1);
    std::string bytes;
    do {
        port.ReadString(bytes, kLargestRead);
        LogReturnedBytes(compileLog, bytes);
    } while (bytes.size() == kLargestRead && port.BytesWaiting() > 0);
}

}  // namespace kmp
