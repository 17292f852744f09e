// The lines and the progress of one send as the user reads them, shared by
// the window, kmpc and the page: no port involved.
#pragma once

#include "WriteOutcome.h"

#include <string>

namespace kmp {

// The one log line of a send that did not write the whole frame ("...N z M
// bajtov..."), saying why: cancelled, the write time limit (the board's CTS
// with `handshake`) or a failure of the line. Empty for a completed send.
std::string SendEndLine(const WriteOutcome& outcome, bool handshake);

// A running send as the user sees it.
struct SendProgress {
    bool running = false;
    int written = 0;
    int total = 0;
    int percent = 0;             // 0..100
    double secondsLeft = 0;      // the rest at the line's pace (300 baud, 11 bits a byte)
    bool boardNotReady = false;  // CTS has held the sending back for over a second
};
SendProgress ProgressOf(const WriteStatus& status,
                        WriteStatus::Clock::time_point now = WriteStatus::Clock::now());

// "37 z 132 bajtov, zostáva 3,5 s" while running, "Doska nie je pripravená
// (CTS vypnuté): 37 z 132 bajtov" while the board holds the sending back,
// "37 z 132 bajtov" after the end.
std::string ProgressText(const SendProgress& progress);

}  // namespace kmp
