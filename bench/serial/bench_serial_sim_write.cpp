// Duration of one 130-byte Write to the virtual controller against the line
// time 130 x 11/300 s (4.767 s). Target: within 5 %.
#include <QCoreApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "CPort.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    auto board = std::make_shared<kmp::VirtualController>();
    kmp::TComPort port;
    port.SetVirtualController(board);
    port.SetPort("sim");
    port.Timeouts().SetWriteTotalMultiplier(10000);
    port.Timeouts().SetWriteTotalConstant(10000);
    port.Open();
    std::vector<std::uint8_t> frame(130, 0x55);
    const auto start = std::chrono::steady_clock::now();
    const int written = port.Write(frame.data(), 130);
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    port.Close();
    const double line = 130.0 * std::chrono::duration<double>(kmp::kLineByteTime).count();
    const double deviation = (took - line) / line * 100.0;
    std::printf(
        "serial sim write: %d bytes in %.3f s, line time %.3f s, deviation %+.2f %% (target within "
        "5 %%)\n",
        written, took, line, deviation);
    return written == 130 && std::fabs(deviation) <= 5.0 ? 0 : 1;
}
