#include "simulator_board.h"

#include <cstdlib>
#include <cstring>

namespace kmpc {
namespace {

// False only when the variable `name` is set to "0".
bool SwitchedOn(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || std::strcmp(value, "0") != 0;
}

}  // namespace

std::shared_ptr<kmp::VirtualController> SimulatorBoardFromEnvironment() {
    auto board = std::make_shared<kmp::VirtualController>();
    board->SetDSR(SwitchedOn("KMP_SIMULATOR_DSR"));
    board->SetCTS(SwitchedOn("KMP_SIMULATOR_CTS"));
    board->SetEcho(SwitchedOn("KMP_SIMULATOR_ECHO"));
    return board;
}

}  // namespace kmpc
