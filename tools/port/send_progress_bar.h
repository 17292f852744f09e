// kmpc --upload on a terminal: one line on standard error that shows the
// frame going out, redrawn in place and erased before every log line, so
// that the log lines stay whole.
#pragma once

#include "WriteOutcome.h"
#include "upload_port.h"

#include <QTimer>

#include <cstdio>
#include <functional>
#include <string>

namespace kmpc {

// The bar's line: "\r[#####---------------]  25 %  " and ProgressText.
std::string ProgressBarLine(const kmp::SendProgress& progress);

class SendProgressBar {
public:
    // `status` reads the running write's progress. Needs a QCoreApplication.
    SendProgressBar(std::FILE* err, std::function<kmp::WriteStatus()> status);

    // Draws the bar every 150 ms from now on.
    void Start();
    // Erases the bar and draws it no more.
    void Stop();
    // Writes one log line (and its line end) with the bar erased first.
    void PrintLine(const std::string& line);

private:
    void Draw();
    void Erase();

    std::FILE* err_;
    std::function<kmp::WriteStatus()> status_;
    QTimer timer_;
    bool drawn_ = false;
};

}  // namespace kmpc
