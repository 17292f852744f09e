// The window's state for port search, connection and upload: the serial
// component ComPort1 and what the reactions remember between clicks.
#pragma once

#include "CPort.h"
#include "TForm1.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace kmp {

struct TForm1::UploadState {
    UploadState();
    ~UploadState();
    UploadState(const UploadState&) = delete;
    UploadState& operator=(const UploadState&) = delete;

    TComPort ComPort1;
    // True while a click on Button2 does nothing: no port found, the search
    // failed, or the selected port failed to open.
    bool PortBlocked = true;
    // The port name whose opening failed last.
    QString LastFailedPort;
    // The port names of the last search; released when the window closes.
    std::unique_ptr<QStringList> PortNames;
    // Fills a list with the port names, sorted; raises EComPort when there is
    // no list of serial ports. ListSerialPorts by default; tests put their own.
    std::function<void(QStringList&)> ListPorts;
};

// Configures `port` as the window describes ComPort1: 300 baud, 8N2, no flow
// control, the long time-outs, all ten events, reactions on the main thread.
void DescribeComPort1(TComPort& port);

}  // namespace kmp
